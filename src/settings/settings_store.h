// The plug-in's settings: its keys in the host's settings file and the user items in the data
// file "mac_Sonavid.dat" beside it. Every operation opens the file it needs, and a change is
// written back before the operation ends; nothing is cached between operations.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/ini_form.h"
#include "settings/plugin_settings.h"

namespace sonavid {

inline constexpr std::u16string_view kDataFileName = u"mac_Sonavid.dat";
// Appended to the data file's path to name a complete data file placed there by an installer.
inline constexpr std::u16string_view kShippedDataSuffix = u".___";
inline constexpr int32_t kDataFormatVersion = 52;

// Most user items loaded per media type. A hand-edited "Count" beyond this is cut to it, so a
// damaged data file cannot make the plug-in allocate without bound; the setup dialog never
// writes more than a few dozen.
inline constexpr int32_t kMaxItemsPerType = 10000;

// ---- Host values read at start-up and written at the end --------------------------------

// def01, def02, def11, def12 := "Def01", "Def02", "Def11", "Def12" of the host section (0 each
// when missing or not a number).
void loadHostValues(PluginSettings& s);
// Each writer below returns whether its file was written; a file that is read-only, locked,
// could not be read faithfully or whose disk is full stays as it was.

// "Def11" := def11, then "Def12" := def12; the host settings file is written back.
bool saveHostValues(const PluginSettings& s);

// ---- The dialogs' host keys ----------------------------------------------------------------

inline constexpr int kSetupColumnCount = 4;
inline constexpr int32_t kDefaultSetupHeight = 360;
inline constexpr int32_t kDefaultSetupWidth = 460;
inline constexpr std::array<int32_t, kSetupColumnCount> kDefaultColumnWidths = {50, 50, 120, 200};

// The setup dialog's window size, list column widths per media type and sample folder.
struct SetupWindowSettings {
  int32_t height = kDefaultSetupHeight;
  int32_t width = kDefaultSetupWidth;
  std::array<std::array<int32_t, kSetupColumnCount>, kMediaTypeCount> columnWidths = [] {
    std::array<std::array<int32_t, kSetupColumnCount>, kMediaTypeCount> widths{};
    widths.fill(kDefaultColumnWidths);
    return widths;
  }();
  std::u16string sampleDir;
};

// "Clm" + type name + "-" + column, e.g. "ClmMP3-0"; empty for an index out of range.
std::u16string columnWidthKey(int typeIndex, int column);

// "Height", "Width", the 32 "Clm" keys and "SampleDir", read in that order.
SetupWindowSettings readSetupWindowSettings(const PluginSettings& s);
// Writes the same keys in the same order, then writes the host settings file back.
bool writeSetupWindowSettings(const PluginSettings& s, const SetupWindowSettings& settings);

// "Def00": whether the media-type parameter dialog leaves default values out of its macro text.
bool readOmitDefaults(const PluginSettings& s);
bool writeOmitDefaults(const PluginSettings& s, bool omit);

// "Def01" := def01, then "Def02" := def02; written back at once.
bool saveMediaTypeDefaults(const PluginSettings& s);

// ---- The data file ---------------------------------------------------------------------------

// Directory part of the host settings path (up to its last separator) + "mac_Sonavid.dat".
std::u16string dataFilePathFor(std::u16string_view hostIniPath);

// Brings the data file up to the current format and loads the eight item lists:
// a shipped file takes the place of a missing or pre-50 data file, a file of version 50 or 51
// is rewritten as UTF-16LE and stamped 52, a shipped file left beside a current data file is
// deleted, and an old file without a shipped replacement is left untouched. Uses
// s.dataFilePath, derived from s.hostIniPath when empty; with neither, the lists are emptied.
void migrateAndLoadDataFile(PluginSettings& s);

// Loads the eight item lists from a data file's form (no migration); used at start-up.
void loadItemLists(const IniForm& dataFile, PluginSettings& s);

// For each (media type index, item list) pair: takes the list as that type's item list and
// rewrites the type's section of the data file ("Count", then "I"/"D"/"R" + k). The file is
// written once; the other types' sections are not touched, nor is "Version", except that a
// file without a current version (a new one included) is stamped with it. Indexes outside the
// media type table are ignored. The in-memory lists change even when the file cannot be
// written; the result says whether it was.
bool saveItemLists(PluginSettings& s, const std::vector<std::pair<int, ItemList>>& lists);

}  // namespace sonavid
