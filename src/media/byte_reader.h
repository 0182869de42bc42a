// One bounds-checked reader for every parser. A read past the end returns zeros and marks the
// reader failed (sticky), so a parser checks once per record instead of after every read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sonavid::media {

class ByteReader {
 public:
  ByteReader() = default;
  ByteReader(const void* data, size_t size)
      : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  explicit ByteReader(std::string_view bytes) : ByteReader(bytes.data(), bytes.size()) {}

  size_t size() const { return size_; }
  size_t position() const { return pos_; }
  size_t remaining() const { return size_ - pos_; }
  bool failed() const { return failed_; }
  bool ok() const { return !failed_; }
  // True when n more bytes can be read (and nothing failed before).
  bool has(size_t n) const { return !failed_ && remaining() >= n; }

  void seek(size_t pos) {
    if (pos > size_) {
      failed_ = true;
      pos_ = size_;
    } else {
      pos_ = pos;
    }
  }
  void skip(size_t n) {
    if (!take(n)) pos_ = size_;
  }

  uint8_t u8() {
    const uint8_t* p = take(1);
    return p ? p[0] : 0;
  }
  uint16_t u16le() {
    const uint8_t* p = take(2);
    return p ? static_cast<uint16_t>(p[0] | (p[1] << 8)) : 0;
  }
  uint16_t u16be() {
    const uint8_t* p = take(2);
    return p ? static_cast<uint16_t>((p[0] << 8) | p[1]) : 0;
  }
  uint32_t u24be() {
    const uint8_t* p = take(3);
    return p ? (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2] : 0;
  }
  uint32_t u32le() {
    const uint8_t* p = take(4);
    return p ? uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) |
                   (uint32_t{p[3]} << 24)
             : 0;
  }
  uint32_t u32be() {
    const uint8_t* p = take(4);
    return p ? (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3] : 0;
  }
  uint64_t u64le() {
    const uint64_t lo = u32le();
    return lo | (uint64_t{u32le()} << 32);
  }
  uint64_t u64be() {
    const uint64_t hi = u32be();
    return (hi << 32) | u32be();
  }
  // The next n bytes as a view (empty and failed when fewer remain).
  std::string_view bytes(size_t n) {
    const uint8_t* p = take(n);
    return p ? std::string_view(reinterpret_cast<const char*>(p), n) : std::string_view();
  }
  // A reader over the next n bytes; this reader moves past them.
  ByteReader sub(size_t n) {
    const uint8_t* p = take(n);
    ByteReader child = p ? ByteReader(p, n) : ByteReader();
    if (!p) child.failed_ = true;
    return child;
  }
  // The bytes from the current position to the end, without moving.
  std::string_view rest() const {
    return std::string_view(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
  }

 private:
  const uint8_t* take(size_t n) {
    if (failed_ || size_ - pos_ < n) {
      failed_ = true;
      return nullptr;
    }
    const uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
  }

  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t pos_ = 0;
  bool failed_ = false;
};

}  // namespace sonavid::media
