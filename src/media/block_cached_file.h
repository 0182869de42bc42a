// A RandomAccessFile that serves reads falling inside one block read ahead of time and passes
// every other read on, so the many small probes of a parser (chunk headers, tag footers) cost
// one read of the underlying file.
#pragma once

#include <string>

#include "common/platform.h"
#include "media/file_reads.h"

namespace sonavid::media {

class BlockCachedFile : public RandomAccessFile {
 public:
  BlockCachedFile(RandomAccessFile& file, uint64_t offset, size_t count)
      : file_(file), offset_(offset), block_(readBlock(file, offset, count)) {}

  uint64_t size() const override { return file_.size(); }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    if (offset >= offset_ && offset - offset_ <= block_.size() &&
        block_.size() - (offset - offset_) >= count) {
      block_.copy(static_cast<char*>(buffer), count, static_cast<size_t>(offset - offset_));
      return count;
    }
    return file_.readAt(offset, buffer, count);
  }

  // The block read ahead, and where it starts in the file.
  const std::string& block() const { return block_; }
  uint64_t blockOffset() const { return offset_; }

 private:
  RandomAccessFile& file_;
  uint64_t offset_;
  std::string block_;
};

}  // namespace sonavid::media
