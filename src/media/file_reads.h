// Positioned reads of a media file into memory blocks, with a cap on every block.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "common/platform.h"

namespace sonavid::media {

// Largest block any parser reads at once (a tag, a header object, a box). Larger structures
// are skipped or read in part.
inline constexpr size_t kMaxBlockBytes = 16u * 1024 * 1024;

// The first read of every file: the built-in reader reads this much at the start once, and the
// readers' first probes stay within it, so checking a signature or reading a short header
// costs no further read of the file.
inline constexpr size_t kHeadProbeBytes = 4 * 1024;
// The last read of a file: trailing tags and the chunks after a RIFF file's data are usually
// within this much of the end.
inline constexpr size_t kTailBlockBytes = 2 * 1024;

// Reads up to `count` bytes at `offset` (at most kMaxBlockBytes); shorter at the end of file.
inline std::string readBlock(RandomAccessFile& file, uint64_t offset, size_t count) {
  if (count > kMaxBlockBytes) count = kMaxBlockBytes;
  const uint64_t size = file.size();
  if (offset >= size) return {};
  if (size - offset < count) count = static_cast<size_t>(size - offset);
  std::string block(count, '\0');
  block.resize(file.readAt(offset, block.data(), count));
  return block;
}

// Memory for the larger reads (heads, tails, windows), kept from one read to the next and not
// cleared before a read: the read fills what is looked at.
class ReadBuffer {
 public:
  ReadBuffer() = default;
  // Reads that fit go to `initial` (memory of the owner's, such as an array beside the
  // buffer), so the usual small reads allocate nothing.
  ReadBuffer(char* initial, size_t initialCapacity) : data_(initial), capacity_(initialCapacity) {}
  ReadBuffer(const ReadBuffer&) = delete;
  ReadBuffer& operator=(const ReadBuffer&) = delete;

  // Reads up to `count` bytes at `offset` (at most kMaxBlockBytes) in place of what it held.
  std::string_view read(RandomAccessFile& file, uint64_t offset, size_t count) {
    if (count > kMaxBlockBytes) count = kMaxBlockBytes;
    const uint64_t size = file.size();
    count = offset >= size ? 0 : size - offset < count ? static_cast<size_t>(size - offset) : count;
    if (count > capacity_) {
      allocated_.reset(new char[count]);
      data_ = allocated_.get();
      capacity_ = count;
    }
    size_ = count == 0 ? 0 : file.readAt(offset, data_, count);
    return view();
  }
  std::string_view view() const { return {data_, size_}; }

 private:
  std::unique_ptr<char[]> allocated_;
  char* data_ = nullptr;
  size_t capacity_ = 0;
  size_t size_ = 0;
};

// The start of a file, read in growing steps into memory of its own that is not cleared first
// (each read fills what is looked at): a step copies the bytes held before and reads only the
// rest.
class HeadBytes {
 public:
  // Holds the first `want` bytes of `file` (fewer at its end), reading only what it lacks.
  void extend(RandomAccessFile& file, size_t want) {
    want = static_cast<size_t>(std::min<uint64_t>(want, file.size()));
    if (want <= size_) return;
    std::unique_ptr<char[]> grown(new char[want]);
    if (size_ > 0) std::memcpy(grown.get(), data_.get(), size_);
    size_ += file.readAt(size_, grown.get() + size_, want - size_);
    data_ = std::move(grown);
  }
  std::string_view view() const { return {data_.get(), size_}; }
  size_t size() const { return size_; }

 private:
  std::unique_ptr<char[]> data_;
  size_t size_ = 0;
};

// The bytes at `offset`, as readBlock reads them: in place when `file` holds them in memory,
// else read into `storage`. The view is good while both live.
inline std::string_view viewBlock(RandomAccessFile& file, uint64_t offset, size_t count,
                                  ReadBuffer& storage) {
  if (count > kMaxBlockBytes) count = kMaxBlockBytes;
  const uint64_t size = file.size();
  if (offset >= size) return {};
  if (size - offset < count) count = static_cast<size_t>(size - offset);
  const std::string_view held = file.heldBytes(offset, count);
  return held.size() == count ? held : storage.read(file, offset, count);
}

}  // namespace sonavid::media
