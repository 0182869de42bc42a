// The reference host end to end: a child process that loads the DLL from its own folder and
// prints UTF-8 to a redirected standard output.
#include <gtest/gtest.h>

#include "win/plugin_fixture.h"

namespace sonavid::test {
namespace {

// Runs sonavid-host.exe with `arguments` in `folder`, its output redirected to a file, and
// returns what it printed. A file rather than a pipe: helper processes that Wine starts for a
// GUI program could keep a pipe's write end open after the host has ended.
std::string runHost(const std::wstring& arguments, const std::wstring& folder) {
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
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
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

TEST(ReferenceHost, ExpandPrintsOneLinePerFile) {
  TempFolder folder;
  std::wstring media = L"Z:";
  for (char c : std::string(SONAVID_TEST_DATA "/media/")) media.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
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

}  // namespace
}  // namespace sonavid::test
