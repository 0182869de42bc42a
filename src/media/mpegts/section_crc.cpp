#include "media/mpegts/section_crc.h"

#include <array>
#include <cstring>

namespace sonavid::media {
namespace {

// Slicing by 8: table k gives the CRC of a byte followed by k zero bytes, so eight bytes are
// folded in at once instead of one after another.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr CrcTables makeCrcTables() {
  CrcTables tables{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t crc = i << 24;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    tables[0][i] = crc;
  }
  for (uint32_t i = 0; i < 256; ++i) {
    for (size_t k = 1; k < 8; ++k) {
      const uint32_t before = tables[k - 1][i];
      tables[k][i] = (before << 8) ^ tables[0][before >> 24];
    }
  }
  return tables;
}
constexpr CrcTables kCrcTables = makeCrcTables();

}  // namespace

uint32_t mpeg2Crc32(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  size_t left = bytes.size();
  for (; left >= 8; left -= 8, p += 8) {
    const uint32_t high =
        crc ^ ((uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3]);
    crc = kCrcTables[7][high >> 24] ^ kCrcTables[6][(high >> 16) & 0xFF] ^
          kCrcTables[5][(high >> 8) & 0xFF] ^ kCrcTables[4][high & 0xFF] ^ kCrcTables[3][p[4]] ^
          kCrcTables[2][p[5]] ^ kCrcTables[1][p[6]] ^ kCrcTables[0][p[7]];
  }
  for (; left > 0; --left, ++p) crc = (crc << 8) ^ kCrcTables[0][((crc >> 24) ^ *p) & 0xFF];
  return crc;
}

}  // namespace sonavid::media
