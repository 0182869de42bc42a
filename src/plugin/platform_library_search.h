// Where the installed media reader and regex libraries are looked for. Only by full path, in
// the plug-in's own folder, then the host program's folder, then the system folder; never the
// current directory or PATH: a file renamer's current folder is often a folder of downloaded
// media, and a DLL planted there must not run. Shared by the plug-in and the reference host,
// so that both name the same file.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sonavid {

inline constexpr std::u16string_view kReaderLibraryName = u"mp3infp.dll";
inline constexpr std::u16string_view kSubstitutionLibraryName = u"bregonig.dll";

// True for "C:\..." and "\\server\share\..." folders. Anything else (a relative or
// drive-relative folder, an empty one) would be resolved against the current directory.
bool isAbsoluteFolder(std::u16string_view folder);

// The folders to look in, in this order: plug-in, host, system. Folders that are not absolute
// are left out, each ends in a separator, and a folder named twice (compared without regard to
// ASCII case) is looked in once.
std::vector<std::u16string> librarySearchFolders(std::u16string_view pluginFolder,
                                                 std::u16string_view hostFolder,
                                                 std::u16string_view systemFolder);

// Full path of `fileName` in the first folder that holds it, or empty when none does. Folders
// that are not absolute are passed over.
std::u16string findLibrary(const std::vector<std::u16string>& folders, std::u16string_view fileName,
                           const std::function<bool(std::u16string_view path)>& fileExists);

// "built-in" when `path` is empty, else "mp3infp.dll (C:\...\mp3infp.dll)".
std::u16string describeLibraryChoice(std::u16string_view libraryName, std::u16string_view path);

}  // namespace sonavid
