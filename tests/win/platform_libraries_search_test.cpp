// Where the installed libraries are looked for and what is chosen: folder order, full paths
// only, fallback to the built-in reader and substitution, and no DLL from the current
// directory or PATH.
#include <gtest/gtest.h>

#include "common/text.h"
#include "plugin/platform_libraries_win.h"
#include "plugin/platform_library_search.h"
#include "win/platform_libraries_support.h"
#include "win/plugin_fixture.h"

namespace sonavid::test {
namespace {

TEST(PlatformLibrarySearch, FoldersInOrderAbsoluteOnlyEachOnce) {
  EXPECT_EQ(
      librarySearchFolders(u"C:\\Plug", u"D:\\Host\\", u"C:\\Windows\\system32"),
      (std::vector<std::u16string>{u"C:\\Plug\\", u"D:\\Host\\", u"C:\\Windows\\system32\\"}));
  // The plug-in usually sits beside the host program: that folder is looked in once.
  EXPECT_EQ(librarySearchFolders(u"C:\\App\\", u"c:\\app\\", u"C:\\Windows\\system32\\"),
            (std::vector<std::u16string>{u"C:\\App\\", u"C:\\Windows\\system32\\"}));
  // Empty, relative and drive-relative folders would mean the current directory: left out.
  EXPECT_EQ(librarySearchFolders(u"", u"plugins\\", u"C:relative"), std::vector<std::u16string>{});
  EXPECT_EQ(librarySearchFolders(u".\\", u"\\rooted", u"\\\\server\\share\\"),
            std::vector<std::u16string>{u"\\\\server\\share\\"});
  EXPECT_FALSE(isAbsoluteFolder(std::u16string_view(u"C:\\a\0b", 6)));
  EXPECT_FALSE(isAbsoluteFolder(u"\\\\\\x"));
}

TEST(PlatformLibrarySearch, FirstFolderHoldingTheFileWins) {
  TempFolder first, second, third;
  CreateDirectoryW((first.path() + L"mp3infp.dll").c_str(), nullptr);  // a folder, not a file
  writeBytes(second.path() + L"mp3infp.dll", "x");
  writeBytes(third.path() + L"mp3infp.dll", "x");
  const std::vector<std::u16string> folders{u16(first.path()), u16(second.path()),
                                            u16(third.path())};
  auto exists = [](std::u16string_view path) {
    const DWORD attributes = GetFileAttributesW(std::wstring(path.begin(), path.end()).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  };
  EXPECT_EQ(findLibrary(folders, u"mp3infp.dll", exists), u16(second.path() + L"mp3infp.dll"));
  EXPECT_EQ(findLibrary(folders, u"bregonig.dll", exists), u"");
  RemoveDirectoryW((first.path() + L"mp3infp.dll").c_str());
  // Relative folders are passed over even when handed in directly; a missing separator is added.
  auto anything = [](std::u16string_view) { return true; };
  EXPECT_EQ(findLibrary({u"", u".\\", u"sub", u"C:sub"}, u"mp3infp.dll", anything), u"");
  EXPECT_EQ(findLibrary({u"C:\\x"}, u"mp3infp.dll", anything), u"C:\\x\\mp3infp.dll");
  EXPECT_EQ(describeLibraryChoice(u"mp3infp.dll", u""), u"built-in");
  EXPECT_EQ(describeLibraryChoice(u"mp3infp.dll", u"C:\\a\\mp3infp.dll"),
            u"mp3infp.dll (C:\\a\\mp3infp.dll)");
}

TEST(PlatformLibraryChoice, FoundLibrariesServeAndAreFreedOnRelease) {
  TempFolder empty;
  const std::wstring doubles = doublesFolder(L"complete");
  PluginState state;
  choosePlatformLibraries(state, {u16(empty.path()), u16(doubles)});
  EXPECT_TRUE(isLoaded(doubles + L"mp3infp.dll"));
  EXPECT_TRUE(isLoaded(doubles + L"bregonig.dll"));
  EXPECT_EQ(describePlatformLibraries(state), u"reader: mp3infp.dll (" + u16(doubles) +
                                                  u"mp3infp.dll)\nsubstitution: bregonig.dll (" +
                                                  u16(doubles) + u"bregonig.dll)");
  EXPECT_EQ(state.substitution->subst(u"upper", u"ok").output, u"OK");
  // A second initialisation frees what the first one chose before choosing again.
  choosePlatformLibraries(state, {u16(empty.path())});
  EXPECT_FALSE(isLoaded(doubles + L"mp3infp.dll"));
  EXPECT_EQ(describePlatformLibraries(state), u"reader: built-in\nsubstitution: built-in");
  choosePlatformLibraries(state, {u16(doubles)});
  releasePlatformLibraries(state);
  EXPECT_EQ(state.reader, nullptr);
  EXPECT_EQ(state.substitution, nullptr);
  EXPECT_FALSE(isLoaded(doubles + L"mp3infp.dll"));
  EXPECT_FALSE(isLoaded(doubles + L"bregonig.dll"));
}

TEST(PlatformLibraryChoice, LibraryLackingAFunctionOrDamagedIsFreedAndTheBuiltInServes) {
  const std::wstring incomplete = doublesFolder(L"incomplete");
  PluginState state;
  // The first library found decides, even when a later folder holds a complete one.
  choosePlatformLibraries(state, {u16(incomplete), u16(doublesFolder(L"complete"))});
  EXPECT_EQ(describePlatformLibraries(state), u"reader: built-in\nsubstitution: built-in");
  EXPECT_FALSE(isLoaded(incomplete + L"mp3infp.dll"));
  EXPECT_FALSE(isLoaded(incomplete + L"bregonig.dll"));
  ASSERT_NE(state.reader, nullptr);
  EXPECT_EQ(state.substitution->subst(u"s/a/b/", u"a").output, u"b");

  TempFolder damaged;
  writeBytes(damaged.path() + L"mp3infp.dll", "MZ this is no library");
  writeBytes(damaged.path() + L"bregonig.dll", "");
  choosePlatformLibraries(state, {u16(damaged.path())});
  EXPECT_EQ(describePlatformLibraries(state), u"reader: built-in\nsubstitution: built-in");
  releasePlatformLibraries(state);
}

TEST(PlatformLibraryChoice, ThisProgramsFolderComesFirst) {
  const std::vector<std::u16string> folders = platformLibraryFolders();
  ASSERT_FALSE(folders.empty());
  // Statically linked into the test program, "the plug-in's folder" is the program's folder,
  // which is also the host's; the system folder comes last.
  EXPECT_TRUE(equalsIgnoreAsciiCase(folders.front(), u16(programFolder())));
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_TRUE(equalsIgnoreAsciiCase(folders.back(), u16(std::wstring(system, length) + L"\\")));
  EXPECT_EQ(folders.size(), 2u);
}

}  // namespace
}  // namespace sonavid::test
