// The reference host end to end: a child process that loads the DLL from its own folder and
// prints UTF-8 to a redirected standard output.
#include <gtest/gtest.h>

#include "win/plugin_fixture.h"

namespace sonavid::test {
namespace {

// Runs sonavid-host.exe with `arguments` in `folder` and returns what it printed.
std::string runHost(const std::wstring& arguments, const std::wstring& folder) {
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
  std::wstring commandLine = L"\"" + programFolder() + L"sonavid-host.exe\" " + arguments;
  const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, folder.c_str(), &startup, &process);
  CloseHandle(writeEnd);
  std::string output;
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(readEnd);
  return output;
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

}  // namespace
}  // namespace sonavid::test
