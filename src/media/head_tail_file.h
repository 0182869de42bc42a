// A RandomAccessFile that reads the start of a file at once and, on the first read that falls
// near its end, the end at once too: the small reads of a parser (signatures, chunk and box
// headers, tag footers) then cost at most two reads of the underlying file. Reads elsewhere
// pass through; one that begins in the head takes its first bytes from there.
#pragma once

#include <cstring>
#include <string>

#include "common/platform.h"
#include "media/file_reads.h"

namespace sonavid::media {

class HeadTailFile : public RandomAccessFile {
 public:
  HeadTailFile(RandomAccessFile& file, size_t headBytes, size_t tailBytes)
      : file_(file), size_(file.size()), head_(readBlock(file, 0, headBytes)) {
    // The tail starts after the head at the earliest; a file the head holds whole has none.
    const uint64_t tailStart = size_ > tailBytes ? size_ - tailBytes : 0;
    tailStart_ = tailStart > head_.size() ? tailStart : head_.size();
  }

  uint64_t size() const override { return size_; }

  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    if (offset >= size_) return 0;
    // Reads are answered up to the end of the file, as the file itself would.
    if (size_ - offset < count) count = static_cast<size_t>(size_ - offset);
    if (offset + count <= head_.size()) return copyOut(head_, offset, buffer, count);
    if (offset >= tailStart_) {
      if (!tailRead_) {
        tail_ = readBlock(file_, tailStart_, static_cast<size_t>(size_ - tailStart_));
        tailRead_ = true;
      }
      if (offset - tailStart_ + count <= tail_.size()) {
        return copyOut(tail_, offset - tailStart_, buffer, count);
      }
    }
    if (offset < head_.size()) {
      const size_t fromHead = head_.size() - static_cast<size_t>(offset);
      copyOut(head_, offset, buffer, fromHead);
      return fromHead + file_.readAt(head_.size(), static_cast<char*>(buffer) + fromHead,
                                     count - fromHead);
    }
    return file_.readAt(offset, buffer, count);
  }

  // The bytes at the start of the file.
  const std::string& head() const { return head_; }

 private:
  static size_t copyOut(const std::string& block, uint64_t at, void* buffer, size_t count) {
    std::memcpy(buffer, block.data() + at, count);
    return count;
  }

  RandomAccessFile& file_;
  uint64_t size_;
  std::string head_;
  uint64_t tailStart_ = 0;
  bool tailRead_ = false;
  std::string tail_;
};

}  // namespace sonavid::media
