// A RandomAccessFile that serves reads falling inside one block read ahead of time and passes
// every other read on, so the many small probes of a parser (chunk headers, tag footers) cost
// one read of the underlying file. A block the file below already holds is used in place.
#pragma once

#include <cstring>
#include <string_view>

#include "common/platform.h"
#include "media/file_reads.h"

namespace sonavid::media {

class BlockCachedFile : public RandomAccessFile {
 public:
  BlockCachedFile(RandomAccessFile& file, uint64_t offset, size_t count)
      : file_(file), offset_(offset), block_(viewBlock(file, offset, count, storage_)) {}

  uint64_t size() const override { return file_.size(); }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    if (const std::string_view held = heldBytes(offset, count); held.size() == count) {
      std::memcpy(buffer, held.data(), count);
      return count;
    }
    return file_.readAt(offset, buffer, count);
  }
  std::string_view heldBytes(uint64_t offset, size_t count) const override {
    if (offset >= offset_ && offset - offset_ <= block_.size() &&
        block_.size() - (offset - offset_) >= count) {
      return block_.substr(static_cast<size_t>(offset - offset_), count);
    }
    return file_.heldBytes(offset, count);
  }

  // The block read ahead, and where it starts in the file.
  std::string_view block() const { return block_; }
  uint64_t blockOffset() const { return offset_; }

 private:
  RandomAccessFile& file_;
  uint64_t offset_;
  ReadBuffer storage_;
  std::string_view block_;
};

}  // namespace sonavid::media
