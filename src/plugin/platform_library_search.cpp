#include "plugin/platform_library_search.h"

#include <algorithm>

#include "common/text.h"

namespace sonavid {
namespace {

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool isAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

}  // namespace

bool isAbsoluteFolder(std::u16string_view folder) {
  // A NUL inside would cut the path short where the system reads it.
  if (folder.find(u'\0') != std::u16string_view::npos) return false;
  if (folder.size() >= 3 && isAsciiLetter(folder[0]) && folder[1] == u':' &&
      isSeparator(folder[2])) {
    return true;
  }
  // A UNC folder: two separators, then a server name.
  return folder.size() >= 3 && isSeparator(folder[0]) && isSeparator(folder[1]) &&
         !isSeparator(folder[2]);
}

std::vector<std::u16string> librarySearchFolders(std::u16string_view pluginFolder,
                                                 std::u16string_view hostFolder,
                                                 std::u16string_view systemFolder) {
  std::vector<std::u16string> folders;
  for (std::u16string_view candidate : {pluginFolder, hostFolder, systemFolder}) {
    if (!isAbsoluteFolder(candidate)) continue;
    std::u16string folder(candidate);
    if (!isSeparator(folder.back())) folder += u'\\';
    const bool seen = std::any_of(folders.begin(), folders.end(), [&](const std::u16string& f) {
      return equalsIgnoreAsciiCase(f, folder);
    });
    if (!seen) folders.push_back(std::move(folder));
  }
  return folders;
}

std::u16string findLibrary(const std::vector<std::u16string>& folders, std::u16string_view fileName,
                           const std::function<bool(std::u16string_view path)>& fileExists) {
  for (const std::u16string& folder : folders) {
    // Checked here too: a relative path would be looked up in the current directory.
    if (!isAbsoluteFolder(folder)) continue;
    std::u16string path = folder;
    if (!isSeparator(path.back())) path += u'\\';
    path += fileName;
    if (fileExists(path)) return path;
  }
  return {};
}

std::u16string describeLibraryChoice(std::u16string_view libraryName, std::u16string_view path) {
  if (path.empty()) return u"built-in";
  return std::u16string(libraryName) + u" (" + std::u16string(path) + u")";
}

}  // namespace sonavid
