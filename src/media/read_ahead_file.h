// A RandomAccessFile that answers a small read outside the bytes it holds by reading a block
// from there on and keeping it, so that a parser stepping through headers that lie close
// together (an AVI file's chunk headers and the short chunks between long padding) costs one
// read of the underlying file per stretch instead of one per header. Reads of a block or more
// pass through.
#pragma once

#include <cstring>
#include <string_view>

#include "common/platform.h"
#include "media/file_reads.h"

namespace sonavid::media {

class ReadAheadFile : public RandomAccessFile {
 public:
  ReadAheadFile(RandomAccessFile& file, size_t blockBytes) : file_(file), blockBytes_(blockBytes) {}

  uint64_t size() const override { return file_.size(); }

  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    if (!holds(offset, count)) {
      // Bytes the file below holds already are copied from there, without a block.
      if (const std::string_view held = file_.heldBytes(offset, count); held.size() == count) {
        std::memcpy(buffer, held.data(), count);
        return count;
      }
      if (count >= blockBytes_) return file_.readAt(offset, buffer, count);
      block_ = buffer_.read(file_, offset, blockBytes_);
      blockOffset_ = offset;
      // At the end of the file the block is short: the read is too.
      if (block_.size() < count) count = block_.size();
    }
    std::memcpy(buffer, block_.data() + (offset - blockOffset_), count);
    return count;
  }

  std::string_view heldBytes(uint64_t offset, size_t count) const override {
    if (holds(offset, count))
      return block_.substr(static_cast<size_t>(offset - blockOffset_), count);
    return file_.heldBytes(offset, count);
  }

 private:
  bool holds(uint64_t offset, size_t count) const {
    return offset >= blockOffset_ && offset - blockOffset_ <= block_.size() &&
           block_.size() - (offset - blockOffset_) >= count;
  }

  RandomAccessFile& file_;
  size_t blockBytes_;
  uint64_t blockOffset_ = 0;
  ReadBuffer buffer_;
  std::string_view block_;
};

}  // namespace sonavid::media
