// The media reader over an installed mp3infp.dll: three functions taken by ordinal, all with
// the standard Windows calling convention, texts in the system ANSI code page.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/media_reader.h"

namespace sonavid {

// Load: owner window (always null) and the file's ANSI path; 0 when the file was loaded.
using Mp3infpLoadFn = DWORD(__stdcall*)(HWND owner, const char* path);
// Type code of the loaded file.
using Mp3infpTypeFn = int32_t(__stdcall*)();
// Sets *value to the reader's own text for `name`, or to null when it has none.
using Mp3infpValueFn = BOOL(__stdcall*)(const char* name, char** value);

inline constexpr WORD kMp3infpTypeOrdinal = 5;
inline constexpr WORD kMp3infpValueOrdinal = 6;
inline constexpr WORD kMp3infpLoadOrdinal = 8;

// Longest value taken from the reader; a longer one is cut (a reader's text without its end
// must not send us through the whole address space).
inline constexpr size_t kMaxMp3infpValueBytes = 1u << 20;

class Mp3infpReader final : public MediaReader {
 public:
  // Takes the three functions from `module`, a loaded mp3infp.dll found at `libraryPath`.
  // Returns null, leaving the module to the caller, when one of them is missing; otherwise the
  // reader owns the module and frees it when destroyed.
  static std::unique_ptr<Mp3infpReader> fromModule(HMODULE module, std::u16string libraryPath);
  ~Mp3infpReader() override;
  Mp3infpReader(const Mp3infpReader&) = delete;
  Mp3infpReader& operator=(const Mp3infpReader&) = delete;

  bool load(std::u16string_view path) override;
  // After a failed load: type 0 and no values, whatever the library still holds, so a missing
  // file is never answered with the previous file's tags.
  int32_t type() const override;
  std::u16string value(std::u16string_view name) const override;

  const std::u16string& libraryPath() const { return libraryPath_; }

 private:
  Mp3infpReader(HMODULE module, std::u16string libraryPath, Mp3infpLoadFn load, Mp3infpTypeFn type,
                Mp3infpValueFn value);

  HMODULE module_;
  std::u16string libraryPath_;
  Mp3infpLoadFn load_;
  Mp3infpTypeFn type_;
  Mp3infpValueFn value_;
  bool loaded_ = false;
};

// Conversions at the reader's boundary. A character without an exact equivalent in the ANSI
// code page becomes the code page's default character; it is never replaced by a look-alike,
// which could name another, existing file.
std::string toAnsi(std::u16string_view text);
std::u16string fromAnsi(std::string_view bytes);

}  // namespace sonavid
