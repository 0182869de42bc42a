// What the plug-in keeps in its settings files: where they are, the dialogs' remembered choices
// from the host's settings file, and the user items from the data file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/media_types.h"

namespace sonavid {

// A type's user items: three texts per item (item name, description, substitution).
using ItemList = std::vector<std::u16string>;

struct PluginSettings {
  std::u16string hostIniPath;
  std::u16string hostSection;
  std::u16string dataFilePath;
  // The host keys "Def01" and "Def02": the media-type macro's case choice (0 upper, else
  // lower) and what it returns for other files (0 nothing, else the file's extension).
  int32_t def01 = 0;
  int32_t def02 = 0;
  // The host keys "Def11" and "Def12": the media-info dialog's last type selector entry and
  // field entry.
  int32_t def11 = 0;
  int32_t def12 = 0;
  std::array<ItemList, kMediaTypeCount> itemLists;
};

}  // namespace sonavid
