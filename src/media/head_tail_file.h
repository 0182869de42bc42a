// A RandomAccessFile that reads the start of a file at once and, on the first read that falls
// near its end, the end at once too: the small reads of a parser (signatures, chunk and box
// headers, tag footers) then cost at most two reads of the underlying file. Reads elsewhere
// pass through; one that begins in the head takes its first bytes from there.
#pragma once

#include <cstring>
#include <string_view>

#include "common/platform.h"
#include "media/file_reads.h"

namespace sonavid::media {

class HeadTailFile : public RandomAccessFile {
 public:
  HeadTailFile(RandomAccessFile& file, size_t headBytes, size_t tailBytes)
      : file_(file), size_(file.size()), head_(headBuffer_.read(file, 0, headBytes)) {
    // The tail starts after the head at the earliest; a file the head holds whole has none.
    const uint64_t tailStart = size_ > tailBytes ? size_ - tailBytes : 0;
    tailStart_ = tailStart > head_.size() ? tailStart : head_.size();
  }

  uint64_t size() const override { return size_; }

  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    if (offset >= size_) return 0;
    // Reads are answered up to the end of the file, as the file itself would.
    if (size_ - offset < count) count = static_cast<size_t>(size_ - offset);
    if (const std::string_view held = heldOrTail(offset, count); held.size() == count) {
      std::memcpy(buffer, held.data(), count);
      return count;
    }
    if (offset < head_.size()) {
      const size_t fromHead = head_.size() - static_cast<size_t>(offset);
      std::memcpy(buffer, head_.data() + offset, fromHead);
      return fromHead +
             file_.readAt(head_.size(), static_cast<char*>(buffer) + fromHead, count - fromHead);
    }
    return file_.readAt(offset, buffer, count);
  }

  std::string_view heldBytes(uint64_t offset, size_t count) const override {
    if (offset <= head_.size() && head_.size() - offset >= count) {
      return head_.substr(static_cast<size_t>(offset), count);
    }
    if (offset >= tailStart_ && offset - tailStart_ <= tail_.size() &&
        tail_.size() - (offset - tailStart_) >= count) {
      return tail_.substr(static_cast<size_t>(offset - tailStart_), count);
    }
    return {};
  }

  // The bytes at the start of the file.
  std::string_view head() const { return head_; }

 private:
  // The bytes from the head, or from the tail (read on the first request that falls in it).
  std::string_view heldOrTail(uint64_t offset, size_t count) {
    if (offset >= tailStart_ && !tailRead_) {
      tail_ = tailBuffer_.read(file_, tailStart_, static_cast<size_t>(size_ - tailStart_));
      tailRead_ = true;
    }
    return heldBytes(offset, count);
  }

  RandomAccessFile& file_;
  uint64_t size_;
  // The usual head and tail are read into these arrays (the cache lives on the stack of a
  // load), larger ones into memory of their own.
  char headBytes_[kHeadProbeBytes];
  char tailBytes_[kTailBlockBytes];
  ReadBuffer headBuffer_{headBytes_, sizeof headBytes_};
  std::string_view head_;
  uint64_t tailStart_ = 0;
  bool tailRead_ = false;
  ReadBuffer tailBuffer_{tailBytes_, sizeof tailBytes_};
  std::string_view tail_;
};

}  // namespace sonavid::media
