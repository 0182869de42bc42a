// names: the plug-in's name and version text, each macro's name and description, and which
// media reader and substitution the plug-in is using.
#include "commands.h"
#include "common/text.h"
#include "console_out.h"
#include "plugin/platform_library_search.h"

namespace sonavid::host {
namespace {

std::u16string folderOfModule(HMODULE module) {
  wchar_t path[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(module, path, static_cast<DWORD>(std::size(path)));
  if (n == 0 || n >= std::size(path)) return {};
  return std::u16string(directoryPart(std::u16string(reinterpret_cast<const char16_t*>(path), n)));
}

std::u16string systemFolder() {
  wchar_t folder[MAX_PATH + 1];
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(folder), n);
}

// The plug-in offers no way to ask it, so the host looks where the plug-in looks (same folders,
// same order) and reports the library found there if the plug-in holds it loaded: one it
// refused (lacking a function) was freed again, and then the built-in one serves.
std::u16string libraryInUse(std::u16string_view name) {
  const std::vector<std::u16string> folders =
      librarySearchFolders(folderOfModule(GetModuleHandleW(L"mac_Sonavid.dll")),
                           folderOfModule(nullptr), systemFolder());
  const std::u16string path = findLibrary(folders, name, [](std::u16string_view candidate) {
    const std::u16string text(candidate);
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(text.c_str()));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  });
  HMODULE module = nullptr;
  const bool loaded =
      !path.empty() && GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                          reinterpret_cast<const wchar_t*>(path.c_str()), &module);
  return describeLibraryChoice(name, loaded ? path : u"");
}

}  // namespace

int runNames(HostContext& context, const Arguments& /*args*/) {
  writeOut(u"name\t" + context.plugin.name() + u"\n");
  writeOut(u"version\t" + context.plugin.versionText() + u"\n");
  for (int32_t index = 0; index < 2; ++index) {
    std::u16string name(1024, u'\0');
    std::u16string description(1024, u'\0');
    MacroNameRecord record{index, name.data(), description.data()};
    context.plugin.descriptor().macGetName(&record);
    writeOut(u"macro " + std::u16string(1, static_cast<char16_t>(u'0' + index)) + u"\t" +
             std::u16string(name.c_str()) + u"\t" + std::u16string(description.c_str()) + u"\n");
  }
  writeOut(u"reader\t" + libraryInUse(kReaderLibraryName) + u"\n");
  writeOut(u"substitution\t" + libraryInUse(kSubstitutionLibraryName) + u"\n");
  return 0;
}

}  // namespace sonavid::host
