#include "settings/settings_store.h"

#include <algorithm>

#include "common/platform.h"
#include "common/text.h"

namespace sonavid {
namespace {

constexpr std::u16string_view kVersionSection = u"Version";
constexpr std::u16string_view kVersionKey = u"No";
constexpr std::u16string_view kCountKey = u"Count";
// A data file without a version key predates versioning.
constexpr int32_t kUnversionedDataFile = 3;
// Versions from here on can be brought up to date by re-encoding; older ones need the
// shipped file.
constexpr int32_t kFirstConvertibleVersion = 50;
// What an old data file without a shipped replacement counts as: current, so it is kept as is.
constexpr int32_t kKeptOldDataFile = 99;

constexpr std::u16string_view kSampleDirKey = u"SampleDir";

std::u16string itemKey(char16_t letter, int32_t number) {
  std::u16string key(1, letter);
  key += toU16(number);
  return key;
}

}  // namespace

void loadHostValues(PluginSettings& s) {
  const IniForm host = IniForm::load(s.hostIniPath);
  const IniSectionReader keys = host.section(s.hostSection);
  s.def01 = keys.readInt(u"Def01", 0);
  s.def02 = keys.readInt(u"Def02", 0);
  s.def11 = keys.readInt(u"Def11", 0);
  s.def12 = keys.readInt(u"Def12", 0);
}

bool saveHostValues(const PluginSettings& s) {
  IniForm host = IniForm::load(s.hostIniPath);
  host.writeInt(s.hostSection, u"Def11", s.def11);
  host.writeInt(s.hostSection, u"Def12", s.def12);
  return host.save();
}

std::u16string columnWidthKey(int typeIndex, int column) {
  if (typeIndex < 0 || typeIndex >= kMediaTypeCount || column < 0 || column >= kSetupColumnCount) {
    return {};
  }
  std::u16string key = u"Clm";
  key += mediaTypeName(typeIndex);
  key += u'-';
  key += toU16(column);
  return key;
}

SetupWindowSettings readSetupWindowSettings(const PluginSettings& s) {
  const IniForm host = IniForm::load(s.hostIniPath);
  const IniSectionReader keys = host.section(s.hostSection);
  SetupWindowSettings settings;
  settings.height = keys.readInt(u"Height", kDefaultSetupHeight);
  settings.width = keys.readInt(u"Width", kDefaultSetupWidth);
  for (int type = 0; type < kMediaTypeCount; ++type) {
    for (int column = 0; column < kSetupColumnCount; ++column) {
      settings.columnWidths[type][column] =
          keys.readInt(columnWidthKey(type, column), kDefaultColumnWidths[column]);
    }
  }
  settings.sampleDir = keys.readText(kSampleDirKey);
  return settings;
}

bool writeSetupWindowSettings(const PluginSettings& s, const SetupWindowSettings& settings) {
  IniForm host = IniForm::load(s.hostIniPath);
  host.writeInt(s.hostSection, u"Height", settings.height);
  host.writeInt(s.hostSection, u"Width", settings.width);
  for (int type = 0; type < kMediaTypeCount; ++type) {
    for (int column = 0; column < kSetupColumnCount; ++column) {
      host.writeInt(s.hostSection, columnWidthKey(type, column),
                    settings.columnWidths[type][column]);
    }
  }
  host.writeText(s.hostSection, kSampleDirKey, settings.sampleDir);
  return host.save();
}

bool readOmitDefaults(const PluginSettings& s) {
  return IniForm::load(s.hostIniPath).readBool(s.hostSection, u"Def00", false);
}

bool writeOmitDefaults(const PluginSettings& s, bool omit) {
  IniForm host = IniForm::load(s.hostIniPath);
  host.writeBool(s.hostSection, u"Def00", omit);
  return host.save();
}

bool saveMediaTypeDefaults(const PluginSettings& s) {
  IniForm host = IniForm::load(s.hostIniPath);
  host.writeInt(s.hostSection, u"Def01", s.def01);
  host.writeInt(s.hostSection, u"Def02", s.def02);
  return host.save();
}

std::u16string dataFilePathFor(std::u16string_view hostIniPath) {
  std::u16string path(directoryPart(hostIniPath));
  path += kDataFileName;
  return path;
}

void migrateAndLoadDataFile(PluginSettings& s) {
  if (s.dataFilePath.empty() && !s.hostIniPath.empty()) {
    s.dataFilePath = dataFilePathFor(s.hostIniPath);
  }
  if (s.dataFilePath.empty()) {  // not initialised: no file to look for
    for (ItemList& list : s.itemLists) list.clear();
    return;
  }
  const std::u16string& path = s.dataFilePath;
  const std::u16string shipped = path + std::u16string(kShippedDataSuffix);
  const Platform& system = platform();

  // A first start: the shipped file becomes the data file. Renames and deletes are not
  // checked; the steps go on with whatever file is then present.
  if (!system.fileExists(path)) system.renameFile(shipped, path);

  IniForm data = IniForm::load(path);
  int32_t version = data.readInt(kVersionSection, kVersionKey, kUnversionedDataFile);

  if (version < kFirstConvertibleVersion) {
    if (system.fileExists(shipped)) {
      system.deleteFile(path);
      system.renameFile(shipped, path);
      data = IniForm::load(path);
      version = kFirstConvertibleVersion;
    } else {
      version = kKeptOldDataFile;
    }
  }

  // A shipped file left over beside a current data file is not read. While no data file
  // exists (a rename failed) it is the only copy of the items, so it stays for the next start.
  if (system.fileExists(shipped) && system.fileExists(path)) system.deleteFile(shipped);

  // Versions 50 and 51 may be in the ANSI code page. The form decoded the file by its mark;
  // writing it back gives UTF-16LE with FF FE, stamped with the current version in the same
  // write. No file is created when there is none.
  if (version < kDataFormatVersion && system.fileExists(path)) {
    data.writeInt(kVersionSection, kVersionKey, kDataFormatVersion);
    data.save();
  }

  loadItemLists(data, s);
}

void loadItemLists(const IniForm& dataFile, PluginSettings& s) {
  for (int type = 0; type < kMediaTypeCount; ++type) {
    ItemList& list = s.itemLists[type];
    list.clear();
    const IniSectionReader keys = dataFile.section(mediaTypeName(type));
    const int32_t count = std::min(keys.readInt(kCountKey, 0), kMaxItemsPerType);
    if (count <= 0) continue;
    list.reserve(static_cast<size_t>(count) * 3);
    for (int32_t k = 1; k <= count; ++k) {
      list.push_back(keys.readText(itemKey(u'I', k)));
      list.push_back(keys.readText(itemKey(u'D', k)));
      list.push_back(keys.readText(itemKey(u'R', k)));
    }
  }
}

bool saveItemLists(PluginSettings& s, const std::vector<std::pair<int, ItemList>>& lists) {
  // Without a data file path (not initialised) the lists change in memory only.
  IniForm data = IniForm::load(s.dataFilePath);
  // A file without a current version (a new one, or an old one kept as it was) would count as
  // version 3 at the next start, and a shipped file placed later would then replace it with
  // every item saved here.
  if (data.readInt(kVersionSection, kVersionKey, kUnversionedDataFile) < kDataFormatVersion) {
    data.writeInt(kVersionSection, kVersionKey, kDataFormatVersion);
  }
  for (const auto& [type, newList] : lists) {
    if (type < 0 || type >= kMediaTypeCount) continue;
    ItemList& list = s.itemLists[type];
    list = newList;
    list.resize(list.size() / 3 * 3);
    const int32_t count = static_cast<int32_t>(list.size() / 3);
    std::vector<std::pair<std::u16string, std::u16string>> keys;
    keys.reserve(1 + list.size());
    keys.emplace_back(kCountKey, toU16(count));
    for (int32_t k = 1; k <= count; ++k) {
      const size_t first = static_cast<size_t>(k - 1) * 3;
      keys.emplace_back(itemKey(u'I', k), list[first]);
      keys.emplace_back(itemKey(u'D', k), list[first + 1]);
      keys.emplace_back(itemKey(u'R', k), list[first + 2]);
    }
    data.replaceSection(mediaTypeName(type), keys);
  }
  return data.save();
}

}  // namespace sonavid
