// Test double of the installed media reader: the three functions by ordinal with the standard
// Windows calling convention, and a log. A "media file" for it is a text of NAME=VALUE lines
// in the ANSI code page; the line "type=N" gives the type code, a name without a line has no
// value. Like a reader that holds its last file, a failed load keeps the previous values. A file
// whose name begins "refused" fails to load, as a format an installed reader does not know may.
#include <windows.h>

#include <cstring>
#include <map>
#include <string>

#include "fake_library_log.h"

namespace {

sonavid::test::FakeReaderLog readerLog;
std::map<std::string, std::string> values;
int32_t typeCode = 0;

void copyText(char* target, size_t size, const char* text) {
  std::strncpy(target, text ? text : "", size - 1);
  target[size - 1] = '\0';
}

bool isRefused(const char* path) {
  const char* name = std::strrchr(path, '\\');
  return std::strncmp(name ? name + 1 : path, "refused", 7) == 0;
}

bool readFile(const char* path, std::string& bytes) {
  HANDLE file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[65536];
  DWORD got = 0;
  const BOOL ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr);
  CloseHandle(file);
  if (!ok) return false;
  bytes.assign(buffer, got);
  return true;
}

}  // namespace

extern "C" {

DWORD __stdcall fakeReaderLoad(HWND owner, const char* path) {
  ++readerLog.loads;
  if (owner != nullptr) ++readerLog.nonNullOwners;
  copyText(readerLog.lastPath, sizeof readerLog.lastPath, path);
  std::string bytes;
  if (path == nullptr || isRefused(path) || !readFile(path, bytes)) return 1;
  values.clear();
  typeCode = 0;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t equals = line.find('=');
    if (equals != std::string::npos) {
      const std::string name = line.substr(0, equals);
      if (name == "type") {
        typeCode = std::atoi(line.c_str() + equals + 1);
      } else {
        values[name] = line.substr(equals + 1);
      }
    }
    start = end + 1;
  }
  return 0;
}

int32_t __stdcall fakeReaderType() {
  ++readerLog.typeCalls;
  return typeCode;
}

BOOL __stdcall fakeReaderValue(const char* name, char** value) {
  ++readerLog.valueCalls;
  copyText(readerLog.lastName, sizeof readerLog.lastName, name);
  if (value == nullptr) return FALSE;
  if (*value != nullptr) ++readerLog.nonNullValueSlots;
  const auto found = values.find(name ? name : "");
  *value = found == values.end() ? nullptr : found->second.data();
  return found != values.end();
}

sonavid::test::FakeReaderLog* __cdecl fakeLibraryLog() { return &readerLog; }

}  // extern "C"
