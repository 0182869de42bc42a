// The plug-in end to end with installed libraries beside it: a copy of mac_Sonavid.dll in a
// folder of its own, next to a test double, loaded and driven as a host does; and the
// reference host reporting what is in use.
#include <gtest/gtest.h>

#include "engine/execute_request.h"
#include "win/platform_libraries_support.h"
#include "win/plugin_fixture.h"

namespace sonavid::test {
namespace {

// A copy of the plug-in loaded from `folder`, initialised with a settings file there.
class PluginCopy {
 public:
  explicit PluginCopy(const std::wstring& folder) : folder_(folder) {
    if (!copyInto(programFolder() + L"mac_Sonavid.dll", folder + L"mac_Sonavid.dll")) return;
    module_ = LoadLibraryW((folder + L"mac_Sonavid.dll").c_str());
    if (module_ == nullptr) return;
    auto entry = reinterpret_cast<MacPluginFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "macPlugin")));
    std::u16string name(256, u'\0'), version(256, u'\0');
    descriptor_.nameBuffer = name.data();
    descriptor_.versionBuffer = version.data();
    entry(&descriptor_);
    iniPath_ = u16(folder + L"host.ini");
    const PluginInitRecord record{nullptr, iniPath_.c_str(), u"mac_Sonavid"};
    descriptor_.macInitialize(&record);
  }
  ~PluginCopy() {
    finalize();
    if (module_ != nullptr) FreeLibrary(module_);
  }
  bool loaded() const { return module_ != nullptr; }
  void finalize() {
    if (module_ != nullptr && !finalized_) descriptor_.macFinalize();
    finalized_ = true;
  }
  std::u16string execute(int32_t macro, const char16_t* parameters, const std::wstring& file,
                         int32_t fileNumber, int32_t callNumber) {
    const std::u16string directory = u16(folder_);
    const std::u16string name = u16(file);
    const ExecuteRequest request{macro, parameters, directory.c_str(), name.c_str(), 0,
                                 0,     0,          fileNumber,        callNumber};
    return descriptor_.macExecute(&request);
  }
  void reset() { descriptor_.macExecute(nullptr); }

 private:
  std::wstring folder_;
  HMODULE module_ = nullptr;
  PluginDescriptor descriptor_{};
  std::u16string iniPath_;
  bool finalized_ = false;
};

TEST(PlatformLibrariesInPlugin, ReaderBesideThePluginServesUntilFinalize) {
  TempFolder folder;
  const std::wstring doubles = doublesFolder(L"complete");
  ASSERT_TRUE(copyInto(doubles + L"mp3infp.dll", folder.path() + L"mp3infp.dll"));
  writeBytes(folder.path() + L"song.mp3",
             "type=1\nINAM_v1=Title\nTIME=3:25 (205sec)\nAFMT=MPEG 128kbits/s\n");
  {
    PluginCopy plugin(folder.path());
    ASSERT_TRUE(plugin.loaded());
    const std::wstring readerPath = folder.path() + L"mp3infp.dll";
    EXPECT_TRUE(isLoaded(readerPath));
    // bregonig.dll is not there: the built-in substitution serves beside the installed reader.
    EXPECT_EQ(GetModuleHandleW(L"bregonig.dll"), nullptr);
    FakeReaderLog* log = logOf<FakeReaderLog>(GetModuleHandleW(readerPath.c_str()));
    ASSERT_NE(log, nullptr);

    plugin.reset();
    EXPECT_EQ(plugin.execute(1, u"MP3,INAM_v1", L"song.mp3", 0, 1), u"Title");
    EXPECT_EQ(plugin.execute(0, u"", L"song.mp3", 0, 2), u"MP3");
    EXPECT_EQ(plugin.execute(1, u",TIME", L"song.mp3", 0, 3), u"3'25 (205sec)");
    EXPECT_EQ(plugin.execute(1, u"MP3,AFMT", L"song.mp3", 0, 4), u"MPEG 128kbps");
    EXPECT_EQ(log->loads, 1);
    const std::wstring songPath = folder.path() + L"song.mp3";
    EXPECT_EQ(std::string(log->lastPath), std::string(songPath.begin(), songPath.end()));

    // A missing next file is not answered with the tags of the one before.
    EXPECT_EQ(plugin.execute(1, u"MP3,INAM_v1", L"gone.mp3", 1, 1), u"");
    EXPECT_EQ(plugin.execute(1, u"MP3,INAM_v1", L"gone.mp3", 1, 2), u"");
    EXPECT_EQ(plugin.execute(0, u"0,1", L"gone.mp3", 1, 3), u"mp3");

    // A type the installed reader does not know is read by the built-in reader.
    std::wstring flac = L"Z:";  // Wine maps the Unix root to drive Z:
    for (char c : std::string(SONAVID_TEST_DATA "/media/flac-tagged.flac")) flac.push_back(c == '/' ? L'\\' : c);
    ASSERT_TRUE(CopyFileW(flac.c_str(), (folder.path() + L"tagged.flac").c_str(), FALSE));
    EXPECT_EQ(plugin.execute(0, u"", L"tagged.flac", 2, 1), u"FLAC");
    EXPECT_EQ(plugin.execute(1, u"FLAC,IART", L"tagged.flac", 2, 2), u"FLAC Artist");

    plugin.finalize();
    EXPECT_FALSE(isLoaded(readerPath));
  }
}

TEST(PlatformLibrariesInPlugin, LibrariesInTheMediaFolderAreNotLoaded) {
  TempFolder pluginFolder, media;
  const std::wstring doubles = doublesFolder(L"complete");
  ASSERT_TRUE(copyInto(doubles + L"mp3infp.dll", media.path() + L"mp3infp.dll"));
  ASSERT_TRUE(copyInto(doubles + L"bregonig.dll", media.path() + L"bregonig.dll"));
  writeBytes(media.path() + L"song.mp3", "type=1\nINAM_v1=Planted\n");
  CurrentDirectoryAndPath planted(media.path(), media.path());
  PluginCopy plugin(pluginFolder.path());
  ASSERT_TRUE(plugin.loaded());
  EXPECT_EQ(GetModuleHandleW(L"mp3infp.dll"), nullptr);
  EXPECT_EQ(GetModuleHandleW(L"bregonig.dll"), nullptr);
  // Expanding a file of that folder does not load them either.
  plugin.reset();
  EXPECT_EQ(plugin.execute(1, u"MP3,INAM_v1", L"song.mp3", 0, 1), u"");
  EXPECT_EQ(GetModuleHandleW(L"mp3infp.dll"), nullptr);
}

// Runs the reference host copied into `folder` and returns what it printed.
std::string runHostIn(const std::wstring& folder, const std::wstring& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {};
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + folder + L"sonavid-host.exe\" " + arguments;
  const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, folder.c_str(), &startup, &process);
  CloseHandle(writeEnd);
  std::string output;
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      output.append(buffer, got);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(readEnd);
  return output;
}

TEST(PlatformLibrariesInPlugin, ReferenceHostNamesTheLibrariesInUse) {
  TempFolder folder;
  ASSERT_TRUE(copyInto(programFolder() + L"sonavid-host.exe", folder.path() + L"sonavid-host.exe"));
  ASSERT_TRUE(copyInto(programFolder() + L"mac_Sonavid.dll", folder.path() + L"mac_Sonavid.dll"));
  std::string output = runHostIn(folder.path(), L"names");
  EXPECT_NE(output.find("reader\tbuilt-in\n"), std::string::npos) << output;
  EXPECT_NE(output.find("substitution\tbuilt-in\n"), std::string::npos) << output;

  ASSERT_TRUE(
      copyInto(doublesFolder(L"complete") + L"mp3infp.dll", folder.path() + L"mp3infp.dll"));
  ASSERT_TRUE(
      copyInto(doublesFolder(L"incomplete") + L"bregonig.dll", folder.path() + L"bregonig.dll"));
  output = runHostIn(folder.path(), L"names");
  const std::wstring reader = folder.path() + L"mp3infp.dll";
  EXPECT_NE(
      output.find("reader\tmp3infp.dll (" + std::string(reader.begin(), reader.end()) + ")\n"),
      std::string::npos)
      << output;
  // Found but lacking a function: refused, so the built-in substitution serves.
  EXPECT_NE(output.find("substitution\tbuilt-in\n"), std::string::npos) << output;
}

}  // namespace
}  // namespace sonavid::test
