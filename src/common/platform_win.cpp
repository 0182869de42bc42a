// Windows platform: wide-character file APIs and the system ANSI code page.
#include <windows.h>

#include <string>

#include "common/platform.h"

namespace sonavid {
namespace {

const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

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
    const std::u16string target(path);
    const std::u16string temp = target + u".tmp~";
    HANDLE handle = CreateFileW(wide(temp), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    size_t written = 0;
    while (written < bytes.size()) {
      DWORD n = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 30));
      if (!WriteFile(handle, bytes.data() + written, chunk, &n, nullptr) || n == 0) break;
      written += n;
    }
    const bool ok = written == bytes.size() && FlushFileBuffers(handle);
    CloseHandle(handle);
    if (!ok || !MoveFileExW(wide(temp), wide(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      DeleteFileW(wide(temp));
      return false;
    }
    return true;
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
