#include "plugin/platform_libraries_win.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "common/text.h"
#include "plugin/bregonig_substitution_win.h"
#include "plugin/installed_reader_with_fallback.h"
#include "plugin/mp3infp_reader_win.h"
#include "plugin/platform_library_search.h"
#include "media/builtin_reader.h"
#include "regex/builtin_substitution.h"

namespace sonavid {
namespace {

// Longest module path asked for (the system's own limit for extended paths).
constexpr DWORD kMaxModulePathUnits = 32768;

std::u16string moduleFileName(HMODULE module) {
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = GetModuleFileNameW(module, reinterpret_cast<wchar_t*>(path.data()), size);
    if (length == 0) return {};
    if (length < size) {
      path.resize(length);
      return path;
    }
    // Cut short: try again with a larger buffer, up to the limit.
    if (size >= kMaxModulePathUnits) return {};
    path.resize(std::min<DWORD>(size * 2, kMaxModulePathUnits));
  }
}

std::u16string pluginFolder() {
  HMODULE self = nullptr;
  const auto* address = reinterpret_cast<const wchar_t*>(&pluginFolder);
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          address, &self)) {
    return {};
  }
  return std::u16string(directoryPart(moduleFileName(self)));
}

std::u16string hostFolder() { return std::u16string(directoryPart(moduleFileName(nullptr))); }

std::u16string systemFolder() {
  wchar_t folder[MAX_PATH + 1];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(folder), length);
}

bool isFile(std::u16string_view path) {
  const std::u16string text(path);
  const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(text.c_str()));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The first library of that name in `folders`, loaded by its full path; null when there is
// none or it does not load. The library's own imports are looked for beside it first.
HMODULE loadLibraryFrom(const std::vector<std::u16string>& folders, std::u16string_view name,
                        std::u16string& path) {
  path = findLibrary(folders, name, isFile);
  if (path.empty()) return nullptr;
  // A damaged or foreign file must not make the system show an error box over the host.
  DWORD previousMode = 0;
  const bool modeSet =
      SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode) != 0;
  HMODULE module = LoadLibraryExW(reinterpret_cast<const wchar_t*>(path.c_str()), nullptr,
                                  LOAD_WITH_ALTERED_SEARCH_PATH);
  if (modeSet) SetThreadErrorMode(previousMode, nullptr);
  return module;
}

std::unique_ptr<MediaReader> chooseReader(const std::vector<std::u16string>& folders) {
  std::u16string path;
  if (HMODULE module = loadLibraryFrom(folders, kReaderLibraryName, path)) {
    if (auto reader = Mp3infpReader::fromModule(module, path)) {
      return std::make_unique<InstalledReaderWithFallback>(
          std::move(reader), std::make_unique<media::BuiltinReader>());
    }
    FreeLibrary(module);
  }
  return std::make_unique<media::BuiltinReader>();
}

std::unique_ptr<Substitution> chooseSubstitution(const std::vector<std::u16string>& folders) {
  std::u16string path;
  if (HMODULE module = loadLibraryFrom(folders, kSubstitutionLibraryName, path)) {
    if (auto substitution = BregonigSubstitution::fromModule(module, path)) return substitution;
    FreeLibrary(module);
  }
  return std::make_unique<BuiltinSubstitution>();
}

}  // namespace

std::vector<std::u16string> platformLibraryFolders() {
  return librarySearchFolders(pluginFolder(), hostFolder(), systemFolder());
}

void choosePlatformLibraries(PluginState& state, const std::vector<std::u16string>& folders) {
  // The libraries chosen before (a second initialisation) are freed first.
  releasePlatformLibraries(state);
  state.reader = chooseReader(folders);
  state.substitution = chooseSubstitution(folders);
}

void choosePlatformLibraries(PluginState& state) {
  choosePlatformLibraries(state, platformLibraryFolders());
}

void releasePlatformLibraries(PluginState& state) {
  state.reader.reset();
  state.substitution.reset();
}

std::u16string describePlatformLibraries(const PluginState& state) {
  const auto* combined = dynamic_cast<const InstalledReaderWithFallback*>(state.reader.get());
  const auto* reader =
      combined ? dynamic_cast<const Mp3infpReader*>(&combined->installed()) : nullptr;
  const auto* substitution = dynamic_cast<const BregonigSubstitution*>(state.substitution.get());
  return u"reader: " +
         describeLibraryChoice(kReaderLibraryName, reader ? reader->libraryPath() : u"") +
         u"\nsubstitution: " +
         describeLibraryChoice(kSubstitutionLibraryName,
                               substitution ? substitution->libraryPath() : u"");
}

}  // namespace sonavid
