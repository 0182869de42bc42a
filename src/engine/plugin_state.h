// The one process-wide record of the plug-in: its settings, what the current host session
// handed over, and the texts returned to the host.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/media_reader.h"
#include "core/substitution.h"
#include "settings/plugin_settings.h"

namespace sonavid {

struct PluginState {
  PluginSettings settings;

  std::u16string macroLetter;
  std::u16string dialogCaption;
  // The media-type dialog's starting choices, taken from the settings at initialisation and
  // kept across the dialog's openings within one session.
  int32_t lastCase = 0;
  int32_t lastNonTarget = 0;
  int32_t loadedFileNumber = 0;
  uint32_t helpCookie = 0;
  std::u16string paramResult;
  std::u16string macroResult;
  std::u16string mediaPath;  // the path of the file last loaded

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
