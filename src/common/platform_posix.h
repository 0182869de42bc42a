// POSIX platform: paths are UTF-8 on disk, the "ANSI" code page is an iconv encoding.
#pragma once

#include <string>

#include "common/platform.h"

namespace sonavid {

class PosixPlatform : public Platform {
 public:
  // iconvName: the encoding that stands in for the Windows ANSI code page ("WINDOWS-1252",
  // "CP932", ...).
  explicit PosixPlatform(std::string iconvName = "WINDOWS-1252");

  std::u16string ansiToUtf16(std::string_view bytes) const override;
  std::string utf16ToAnsi(std::u16string_view text) const override;
  bool fileExists(std::u16string_view path) const override;
  bool renameFile(std::u16string_view from, std::u16string_view to) const override;
  bool deleteFile(std::u16string_view path) const override;
  std::optional<std::string> readWholeFile(std::u16string_view path, size_t maxBytes) const override;
  bool replaceFile(std::u16string_view path, std::string_view bytes) const override;
  std::unique_ptr<RandomAccessFile> openForReading(std::u16string_view path) const override;
  std::u16string hostExecutablePath() const override;

 private:
  std::string iconvName_;
};

}  // namespace sonavid
