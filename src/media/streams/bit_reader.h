// Reads bit fields, most significant bit first, over a ByteReader, with the same sticky failure:
// a read past the end gives zeros and marks the reader failed. Exp-Golomb codes (the ue(v) and
// se(v) fields of H.264 and HEVC parameter sets) are read with a cap on their length.
#pragma once

#include <cstdint>
#include <string_view>

#include "media/byte_reader.h"

namespace sonavid::media {

class BitReader {
 public:
  explicit BitReader(std::string_view bytes) : bytes_(bytes) {}

  // True once a read went past the end (or a code was too long).
  bool failed() const { return overrun_; }

  // Up to 32 bits as an unsigned number.
  uint32_t bits(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 1) | bit();
    return value;
  }
  uint32_t bit() {
    if (bitsLeft_ == 0) {
      if (!bytes_.has(1)) {
        overrun_ = true;
        return 0;
      }
      current_ = bytes_.u8();
      bitsLeft_ = 8;
    }
    --bitsLeft_;
    return (current_ >> bitsLeft_) & 1u;
  }
  void skip(int count) {
    for (int i = 0; i < count && !overrun_; ++i) bit();
  }
  // Unsigned Exp-Golomb; a code longer than 31 leading zeros marks the reader failed.
  uint32_t ue() {
    int zeros = 0;
    while (bit() == 0) {
      if (overrun_ || ++zeros > 31) {
        overrun_ = true;
        return 0;
      }
    }
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
  ByteReader bytes_;
  uint8_t current_ = 0;
  int bitsLeft_ = 0;
  bool overrun_ = false;
};

}  // namespace sonavid::media
