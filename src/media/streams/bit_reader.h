// Reads bit fields, most significant bit first, with a sticky failure like ByteReader's: a read
// past the end gives zeros for the missing bits and marks the reader failed, and every later
// read gives 0. Exp-Golomb codes (the ue(v) and se(v) fields of H.264 and HEVC parameter sets)
// are read with a cap on their length. Fields are taken from a 64-bit window over the bytes, a
// whole field in one step.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace sonavid::media {

class BitReader {
 public:
  explicit BitReader(std::string_view bytes) : bytes_(bytes), sizeInBits_(bytes.size() * 8) {}

  // True once a read went past the end (or a code was too long).
  bool failed() const { return overrun_; }

  // Up to 32 bits as an unsigned number.
  uint32_t bits(int count) {
    if (count <= 0) return 0;
    const auto value = static_cast<uint32_t>(window() >> (64 - count));
    advance(count);
    return value;
  }
  uint32_t bit() { return bits(1); }
  void skip(int count) {
    if (count > 0) advance(count);
  }
  // Unsigned Exp-Golomb; a code longer than 31 leading zeros marks the reader failed.
  uint32_t ue() {
    const uint64_t next = window();
    const int zeros = std::countl_zero(next);  // 64 when the window is all zeros
    if (zeros > kMaxCodeZeros || static_cast<size_t>(zeros) >= bitsLeft()) {
      fail();
      return 0;
    }
    advance(zeros + 1);
    if (zeros == 0) return 0;
    return static_cast<uint32_t>((uint64_t{1} << zeros) - 1 + bits(zeros));
  }
  // Signed Exp-Golomb: 1, -1, 2, -2 ... for codes 1, 2, 3, 4 ...
  int32_t se() {
    const uint32_t code = ue();
    const auto magnitude = static_cast<int32_t>((code + 1) / 2);
    return (code & 1) ? magnitude : -magnitude;
  }

 private:
  static constexpr int kMaxCodeZeros = 31;

  size_t bitsLeft() const { return sizeInBits_ - position_; }
  void fail() {
    overrun_ = true;
    position_ = sizeInBits_;
  }
  void advance(int count) {
    if (static_cast<size_t>(count) > bitsLeft()) {
      fail();
    } else {
      position_ += static_cast<size_t>(count);
    }
  }
  // The next bits from the position, the first at the top: at least 57 of them, zeros past the end.
  uint64_t window() const {
    const size_t at = position_ / 8;
    const size_t available = bytes_.size() - at;
    uint64_t value = 0;
    if (available >= 8) {
      std::memcpy(&value, bytes_.data() + at, 8);
      if constexpr (std::endian::native == std::endian::little) value = __builtin_bswap64(value);
    } else {
      for (size_t i = 0; i < 8; ++i) {
        value = (value << 8) | (i < available ? static_cast<uint8_t>(bytes_[at + i]) : 0u);
      }
    }
    return value << (position_ % 8);
  }

  std::string_view bytes_;
  size_t sizeInBits_;
  size_t position_ = 0;
  bool overrun_ = false;
};

}  // namespace sonavid::media
