// Windows platform: wide-character file APIs and the system ANSI code page.
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "common/platform.h"

namespace sonavid {
namespace {

const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// Attributes a user gives a file that a rewrite keeps (the archive bit rightly follows the
// write instead).
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                                  FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_READONLY |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_TEMPORARY;

// Gives `path` the kept attributes it had before, where the replace did not carry them over.
void restoreKeptAttributes(const std::u16string& path, DWORD before) {
  const DWORD now = GetFileAttributesW(wide(path));
  if (now == INVALID_FILE_ATTRIBUTES || (now & kKeptAttributes) == (before & kKeptAttributes)) return;
  const DWORD wanted = (now & FILE_ATTRIBUTE_ARCHIVE) | (before & kKeptAttributes);
  SetFileAttributesW(wide(path), wanted != 0 ? wanted : FILE_ATTRIBUTE_NORMAL);
}

bool writeAll(HANDLE handle, std::string_view bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 30));
    if (!WriteFile(handle, bytes.data() + written, chunk, &n, nullptr) || n == 0) return false;
    written += n;
  }
  return true;
}

// The path of the file a link names, or empty.
std::u16string finalPathOf(const std::u16string& path) {
  HANDLE handle = CreateFileW(wide(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  std::u16string buffer(32768, u'\0');
  const DWORD n = GetFinalPathNameByHandleW(handle, reinterpret_cast<wchar_t*>(buffer.data()),
                                            static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
  CloseHandle(handle);
  if (n == 0 || n >= buffer.size()) return {};
  buffer.resize(n);
  return buffer;
}

// Rewrites a file through its own handle (for a folder that takes no new files). The old bytes
// are read first and kept; if the new ones cannot be written and flushed, they are put back.
bool rewriteInPlace(const std::u16string& target, std::string_view bytes) {
  HANDLE handle = CreateFileW(wide(target), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  std::string old;
  DWORD got = 0;
  bool ok = GetFileSizeEx(handle, &size) && size.QuadPart <= static_cast<LONGLONG>(kMaxSettingsFileBytes);
  if (ok) {
    old.resize(static_cast<size_t>(size.QuadPart));
    ok = ReadFile(handle, old.data(), static_cast<DWORD>(old.size()), &got, nullptr) && got == old.size();
  }
  const auto writeFromStart = [handle](std::string_view content) {
    return SetFilePointer(handle, 0, nullptr, FILE_BEGIN) == 0 && writeAll(handle, content) &&
           SetEndOfFile(handle) && FlushFileBuffers(handle);
  };
  if (ok) {
    ok = writeFromStart(bytes);
    if (!ok) writeFromStart(old);
  }
  CloseHandle(handle);
  return ok;
}

class WinFile : public RandomAccessFile {
 public:
  WinFile(HANDLE handle, uint64_t size) : handle_(handle), size_(size) {}
  ~WinFile() override { CloseHandle(handle_); }
  uint64_t size() const override { return size_; }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    if (offset >= size_) return 0;
    size_t total = 0;
    while (total < count) {
      OVERLAPPED at{};
      const uint64_t position = offset + total;
      at.Offset = static_cast<DWORD>(position);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - total, 1u << 30));
      DWORD got = 0;
      if (!ReadFile(handle_, static_cast<char*>(buffer) + total, chunk, &got, &at) || got == 0) break;
      total += got;
    }
    return total;
  }

 private:
  HANDLE handle_;
  uint64_t size_;
};

constexpr UINT kShiftJisCodePage = 932;

std::u16string codePageToUtf16(UINT codePage, std::string_view bytes) {
  if (bytes.empty() || bytes.size() > INT32_MAX) return {};
  const int n =
      MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string out(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                      reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

class WinPlatform : public Platform {
 public:
  std::u16string ansiToUtf16(std::string_view bytes) const override {
    return codePageToUtf16(CP_ACP, bytes);
  }
  std::u16string shiftJisToUtf16(std::string_view bytes) const override {
    return codePageToUtf16(kShiftJisCodePage, bytes);
  }
  unsigned ansiCodePage() const override { return GetACP(); }
  std::string utf16ToAnsi(std::u16string_view text) const override {
    if (text.empty() || text.size() > INT32_MAX / 4) return {};
    const auto* source = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    // No best-fit mapping: a character without an equivalent becomes the default character
    // rather than a look-alike ("ā" must not turn into "a" and name another file).
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, source, length, nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, source, length, out.data(), n, nullptr, nullptr);
    return out;
  }
  bool fileExists(std::u16string_view path) const override {
    const DWORD attributes = GetFileAttributesW(wide(std::u16string(path)));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool renameFile(std::u16string_view from, std::u16string_view to) const override {
    return MoveFileW(wide(std::u16string(from)), wide(std::u16string(to))) != 0;
  }
  bool deleteFile(std::u16string_view path) const override {
    return DeleteFileW(wide(std::u16string(path))) != 0;
  }
  bool replaceFile(std::u16string_view path, std::string_view bytes) const override {
    std::u16string target(path);
    DWORD attributes = GetFileAttributesW(wide(target));
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      // A symbolic link stays a link: the file it names is the one replaced.
      target = finalPathOf(target);
      attributes = target.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide(target));
      if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    }
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) return false;  // the user's choice

    // A temporary file of that name can only be left over from an interrupted write.
    const std::u16string temp = target + u".tmp~";
    const DWORD staleAttributes = GetFileAttributesW(wide(temp));
    if (staleAttributes != INVALID_FILE_ATTRIBUTES && !(staleAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      SetFileAttributesW(wide(temp), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(wide(temp));
    }
    HANDLE handle = CreateFileW(wide(temp), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const bool folderRefuses = GetLastError() == ERROR_ACCESS_DENIED;
      return exists && folderRefuses && rewriteInPlace(target, bytes);
    }
    const bool written = writeAll(handle, bytes) && FlushFileBuffers(handle);
    CloseHandle(handle);
    bool replaced = false;
    if (written && exists) {
      // ReplaceFileW keeps the original's attributes, ACL, streams and creation time.
      replaced = ReplaceFileW(wide(target), wide(temp), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                              nullptr, nullptr) != 0;
      // Where the replace carries the new file's attributes along instead, restore them.
      if (replaced) restoreKeptAttributes(target, attributes);
    } else if (written) {
      replaced = MoveFileExW(wide(temp), wide(target), MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!replaced) DeleteFileW(wide(temp));
    return replaced;
  }
  std::unique_ptr<RandomAccessFile> openForReading(std::u16string_view path) const override {
    HANDLE handle = CreateFileW(wide(std::u16string(path)), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size) || GetFileType(handle) != FILE_TYPE_DISK) {
      CloseHandle(handle);
      return nullptr;
    }
    return std::make_unique<WinFile>(handle, static_cast<uint64_t>(size.QuadPart));
  }
  std::u16string hostExecutablePath() const override {
    // The module file name of the process (null module), grown until it fits.
    std::u16string buffer(MAX_PATH, u'\0');
    for (;;) {
      const DWORD n = GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(buffer.data()),
                                         static_cast<DWORD>(buffer.size()));
      if (n == 0) return {};
      if (n < buffer.size()) {
        buffer.resize(n);
        return buffer;
      }
      if (buffer.size() >= 32768) return {};
      buffer.resize(buffer.size() * 2);
    }
  }
};

}  // namespace

Platform& systemPlatform() {
  static WinPlatform instance;
  return instance;
}

}  // namespace sonavid
