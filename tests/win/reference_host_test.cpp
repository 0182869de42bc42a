// The reference host end to end: a child process that loads the DLL from its own folder and
// prints UTF-8 to a redirected standard output.
#include <gtest/gtest.h>

#include "win/plugin_fixture.h"

namespace sonavid::test {
namespace {

// Runs sonavid-host.exe with `arguments` in `folder`, its output redirected to a file, and
// returns what it printed. A file rather than a pipe: helper processes that Wine starts for a
// GUI program could keep a pipe's write end open after the host has ended.
std::string runHost(const std::wstring& arguments, const std::wstring& folder,
                    DWORD* exitCode = nullptr) {
  const std::wstring outputPath = folder + L"host-output.txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                              CREATE_ALWAYS, 0, nullptr);
  if (output == INVALID_HANDLE_VALUE) return {};
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + programFolder() + L"sonavid-host.exe\" " + arguments;
  const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, folder.c_str(), &startup, &process);
  CloseHandle(output);
  if (!started) return {};
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
  if (exitCode != nullptr) GetExitCodeProcess(process.hProcess, exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return readBytes(outputPath);
}

TEST(ReferenceHost, NamesPrintsTheJapaneseTextsAsUtf8) {
  TempFolder folder;
  const std::string output = runHost(L"names", folder.path());
  EXPECT_NE(output.find("name\t\xE9\x9F\xB3\xE5\xA3\xB0/\xE5\x8B\x95\xE7\x94\xBB"), std::string::npos)
      << output;
  EXPECT_NE(output.find("macro 1\t\xE9\x9F\xB3\xE5\xA3\xB0/\xE5\x8B\x95\xE7\x94\xBB\xE6\x83\x85\xE5\xA0\xB1\t"),
            std::string::npos)
      << output;
  // The default settings file is sonavid-host.ini in the current folder, written at the end.
  EXPECT_EQ(readBytes(folder.path() + L"sonavid-host.ini").substr(0, 2), "\xFF\xFE");
}

std::wstring mediaFolder() {
  std::wstring media = L"Z:";
  for (char c : std::string(SONAVID_TEST_DATA "/media/")) media.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
  return media;
}

TEST(ReferenceHost, ExpandPrintsOneLinePerFile) {
  TempFolder folder;
  const std::wstring media = mediaFolder();
  const std::string output =
      runHost(L"expand --letter0 x --letter1 y /x /y<MP3,INAM_v2> \"/y<,AFMT>\" -- \"" + media +
                  L"mp3-id3v23-utf16.mp3\" \"" + media + L"tone.ogg\"",
              folder.path());
  EXPECT_EQ(output,
            "mp3-id3v23-utf16.mp3\tMP3\t\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE"
            "\xE3\x82\xBF\xE3\x82\xA4\xE3\x83\x88\xE3\x83\xAB\t"
            "MPEG1.0 Layer3 48Kbps 32000Hz J-Stereo 140frames\n"
            "tone.ogg\tOGG\t\tOgg Vorbis, 44100Hz, 21Kbps(VBR), 2ch\n")
      << output;
}

TEST(ReferenceHost, UnreadableFilesGiveAReasonAndExitStatusOne) {
  TempFolder folder;
  DWORD status = 0;
  const std::string output =
      runHost(L"expand /a -- missing.mp3 \"" + mediaFolder() + L"tone.ogg\"", folder.path(), &status);
  EXPECT_EQ(status, 1u);
  EXPECT_NE(output.find("missing.mp3: No such file or directory\n"), std::string::npos) << output;
  EXPECT_NE(output.find("missing.mp3\t\ntone.ogg\tOGG\n"), std::string::npos) << output;
  EXPECT_EQ(runHost(L"expand --help", folder.path(), &status).substr(0, 6), "usage:");
  EXPECT_EQ(status, 0u);
}

TEST(ReferenceHost, PreviewShowsTheNewNamesFlagsProblemsAndRenamesNothing) {
  TempFolder folder;
  for (const wchar_t* name : {L"mp3-id3v23-utf16.mp3", L"tone.ogg", L"mp3-cbr-info.mp3"}) {
    ASSERT_TRUE(CopyFileW((mediaFolder() + name).c_str(), (folder.path() + name).c_str(), FALSE));
  }
  DWORD status = 0;
  const std::string output =
      runHost(L"preview --letter1 i \"/i<,INAM>\" mp3-id3v23-utf16.mp3 tone.ogg mp3-cbr-info.mp3 gone.ogg",
              folder.path(), &status);
  EXPECT_EQ(status, 1u);
  EXPECT_NE(output.find("\nmp3-id3v23-utf16.mp3 \xE2\x86\x92 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"
                        "\xE3\x81\xAE\xE3\x82\xBF\xE3\x82\xA4\xE3\x83\x88\xE3\x83\xAB.mp3\n"
                        "tone.ogg \xE2\x86\x92 Ogg Title.ogg\n"
                        "mp3-cbr-info.mp3 \xE2\x86\x92 .mp3\n"
                        "    ! the template gives nothing before the extension\n"
                        "gone.ogg \xE2\x86\x92 (not renamed)\n"
                        "    ! cannot be read: No such file or directory\n"
                        "4 files: 2 to rename, 0 unchanged, 2 flagged."),
            std::string::npos)
      << output;
  EXPECT_FALSE(readBytes(folder.path() + L"tone.ogg").empty());
}

}  // namespace
}  // namespace sonavid::test
