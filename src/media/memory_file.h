// A RandomAccessFile over bytes held in memory: for the fuzz targets and the tests, which feed
// the parsers hand-made or mutated files without touching the disk.
#pragma once

#include <cstring>
#include <string>
#include <utility>

#include "common/platform.h"

namespace sonavid::media {

class MemoryFile : public RandomAccessFile {
 public:
  explicit MemoryFile(std::string bytes) : bytes_(std::move(bytes)) {}

  uint64_t size() const override { return bytes_.size(); }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    ++readCalls_;
    if (offset >= bytes_.size()) return 0;
    const size_t available = bytes_.size() - static_cast<size_t>(offset);
    if (count > available) count = available;
    std::memcpy(buffer, bytes_.data() + offset, count);
    bytesRead_ += count;
    return count;
  }

  // How many reads were made (tests keep the number of reads per file small).
  int readCalls() const { return readCalls_; }
  // How many bytes those reads delivered.
  size_t bytesRead() const { return bytesRead_; }

 private:
  std::string bytes_;
  int readCalls_ = 0;
  size_t bytesRead_ = 0;
};

}  // namespace sonavid::media
