// The one process-wide record of the plug-in and the tables built when the library loads.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/media_reader.h"
#include "engine/substitution.h"

namespace sonavid {

inline constexpr int kMediaTypeCount = 8;

// Media type names by media type index; they order the item lists, the data file's sections,
// the setup dialog's pages and the "Clm" keys.
inline constexpr std::array<std::u16string_view, kMediaTypeCount> kMediaTypeNames = {
    u"MP3", u"WAV", u"AVI", u"VQF", u"WMA", u"OGG", u"APE", u"MP4"};

// The reader's type code of each media type index.
inline constexpr std::array<int32_t, kMediaTypeCount> kMediaTypeCodes = {1, 2, 3, 4, 5, 7, 8, 9};

// A type's user items: three texts per item (item name, description, substitution).
using ItemList = std::vector<std::u16string>;

struct PluginState {
  std::u16string macroLetter;
  std::u16string dialogCaption;
  std::u16string hostIniPath;
  std::u16string hostSection;
  std::u16string dataFilePath;
  int32_t def01 = 0;
  int32_t def02 = 0;
  int32_t def11 = 0;
  int32_t def12 = 0;
  int32_t lastCase = 0;
  int32_t lastNonTarget = 0;
  int32_t loadedFileNumber = 0;
  std::array<ItemList, kMediaTypeCount> itemLists;
  std::u16string timeScratch;
  uint32_t helpCookie = 0;
  std::u16string paramResult;
  std::u16string macroResult;

  // Application-wide settings of the user-interface layer: the dialogs' owner window (the
  // host window, stored as an integer so portable code can carry it) and the help file path.
  uintptr_t ownerWindow = 0;
  std::u16string helpFilePath;

  // The media reader and the substitution chosen at initialisation. Never null once
  // macInitialize has run; the engine falls back to the built-in ones before that.
  std::unique_ptr<MediaReader> reader;
  std::unique_ptr<Substitution> substitution;
};

// The plug-in's state, created empty when the library loads.
PluginState& pluginState();

// Returns the state to what it is right after the library loads (used by tests).
void resetPluginState();

}  // namespace sonavid
