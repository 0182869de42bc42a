#include "file_checks.h"

#include <windows.h>

namespace sonavid::host {
namespace {

// The wording of the C library's messages, so the native tool and this host read alike.
std::string describeError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE:
      return "No such file or directory";
    case ERROR_ACCESS_DENIED:
      return "Permission denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "is in use by another program";
    default:
      return "cannot be opened (Windows error " + std::to_string(error) + ")";
  }
}

}  // namespace

std::string fileReadProblem(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return describeError(GetLastError());
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "is a directory";
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return describeError(GetLastError());
  CloseHandle(file);
  return "";
}

bool nameTaken(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring fullPathOf(const std::wstring& path) {
  std::wstring buffer(32768, L'\0');
  const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  if (n == 0 || n >= buffer.size()) return path;
  buffer.resize(n);
  return buffer;
}

}  // namespace sonavid::host
