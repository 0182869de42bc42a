// POSIX platform: paths are UTF-8 on disk, the "ANSI" code page is an iconv encoding.
#pragma once

#include <mutex>
#include <string>

#include "common/platform.h"

namespace sonavid {

class PosixPlatform : public Platform {
 public:
  // iconvName: the encoding that stands in for the Windows ANSI code page ("WINDOWS-1252",
  // "CP932", ...).
  explicit PosixPlatform(std::string iconvName = "WINDOWS-1252");
  ~PosixPlatform() override;
  PosixPlatform(const PosixPlatform&) = delete;
  PosixPlatform& operator=(const PosixPlatform&) = delete;

  std::u16string ansiToUtf16(std::string_view bytes) const override;
  std::string utf16ToAnsi(std::u16string_view text) const override;
  unsigned ansiCodePage() const override;
  std::u16string shiftJisToUtf16(std::string_view bytes) const override;
  bool fileExists(std::u16string_view path) const override;
  bool renameFile(std::u16string_view from, std::u16string_view to) const override;
  bool deleteFile(std::u16string_view path) const override;
  bool replaceFile(std::u16string_view path, std::string_view bytes) const override;
  std::unique_ptr<RandomAccessFile> openForReading(std::u16string_view path) const override;
  std::u16string hostExecutablePath() const override;

 private:
  void* converter(void*& slot, const char* to, const char* from) const;
  std::u16string toUtf16(void*& slot, const char* from, std::string_view bytes) const;

  std::string iconvName_;
  // iconv descriptors, opened on first use (void* keeps <iconv.h> out of this header).
  mutable std::mutex mutex_;
  mutable void* toUtf16_ = nullptr;
  mutable void* fromUtf16_ = nullptr;
  mutable void* shiftJisToUtf16_ = nullptr;
};

}  // namespace sonavid
