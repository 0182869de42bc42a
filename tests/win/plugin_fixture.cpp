#include "win/plugin_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "setup/setup_dialog_win.h"

namespace sonavid::test {

std::wstring programFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring full(path, n);
  return full.substr(0, full.find_last_of(L"\\/") + 1);
}

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  static int counter = 0;
  path_ = std::wstring(base) + L"sonavid-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(++counter) + L"\\";
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((path_ + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path_.c_str());
}

std::string readBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD got = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

void writeBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string utf16le(std::u16string_view text, bool withMark) {
  std::string bytes = withMark ? std::string("\xFF\xFE") : std::string();
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

LoadedPlugin::LoadedPlugin() {
  module_ = LoadLibraryW((programFolder() + L"mac_Sonavid.dll").c_str());
  if (module_ == nullptr) return;
  entry_ = reinterpret_cast<MacPluginFn>(reinterpret_cast<void*>(GetProcAddress(module_, "macPlugin")));
  if (entry_ == nullptr) return;
  std::u16string nameBuffer(256, u'\0'), versionBuffer(256, u'\0');
  descriptor_.nameBuffer = nameBuffer.data();
  descriptor_.versionBuffer = versionBuffer.data();
  entry_(&descriptor_);
  name = nameBuffer.c_str();
  version = versionBuffer.c_str();
  descriptor_.nameBuffer = descriptor_.versionBuffer = nullptr;
}

LoadedPlugin::~LoadedPlugin() {
  if (module_ != nullptr) FreeLibrary(module_);
}

}  // namespace sonavid::test

namespace sonavid::test {

void addRowAndSaveInSetup(const LoadedPlugin& plugin, int page) {
  auto* formSetup = reinterpret_cast<HWND*>(GetProcAddress(plugin.module(), "_FormSetup"));
  ASSERT_NE(formSetup, nullptr);
  std::thread driver([&] {
    HWND dialog = nullptr;
    for (int i = 0; i < 500 && !(dialog && IsWindowVisible(dialog)); ++i) {
      Sleep(20);
      dialog = *formSetup;
    }
    SendMessageW(GetDlgItem(dialog, setup::kIdPageControl), TCM_SETCURFOCUS, page, 0);
    SendMessageW(dialog, WM_COMMAND, setup::kIdMenuAdd, 0);
    SendMessageW(dialog, WM_COMMAND, setup::kIdMenuSave, 0);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  const HostRect rect{0, 0, 640, 480};
  plugin.descriptor().macSetup(&rect);
  driver.join();
}

}  // namespace sonavid::test
