// The header of a PES packet (packetized elementary stream), as transport and program streams
// carry them: 00 00 01 | stream id | 16 packet length | header | payload.
//   MPEG-2 header: 2 bits '10' | 6 flags | 2 PTS/DTS flags | 6 flags | 8 header data length |
//     PTS (5 bytes) | ...
//   MPEG-1 header (program streams): stuffing bytes 0xFF | optional 2-byte buffer size ('01') |
//     PTS ('0010') or PTS and DTS ('0011') or a single 0x0F
// A timestamp is 33 bits in 90 kHz units, spread over 5 bytes with marker bits between.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace sonavid::media {

inline constexpr uint64_t kPtsClock = 90000;
inline constexpr uint64_t kPtsWrap = uint64_t{1} << 33;

// Stream ids whose packets carry no header after the length (padding, private stream 2, ...).
inline bool pesHasNoHeader(uint8_t streamId) {
  switch (streamId) {
    case 0xBC:  // program stream map
    case 0xBE:  // padding
    case 0xBF:  // private stream 2
    case 0xF0:  // ECM
    case 0xF1:  // EMM
    case 0xF2:  // DSM-CC
    case 0xF8:  // H.222.1 type E
    case 0xFF:  // program stream directory
      return true;
    default:
      return false;
  }
}

struct PesHeader {
  uint8_t streamId = 0;
  uint32_t packetLength = 0;  // bytes after the length field; 0 means unbounded (video in TS)
  size_t payloadOffset = 0;   // from the start code
  std::optional<uint64_t> pts;
};

// Reads the header of the PES packet at the start of `bytes` (from its start code). `mpeg1`
// allows the MPEG-1 header form. False when the bytes do not hold a whole, valid header.
bool parsePesHeader(std::string_view bytes, bool mpeg1, PesHeader& header);

// A 33-bit timestamp in its 5-byte form.
inline uint64_t readTimestamp(const uint8_t* p) {
  return (uint64_t{p[0] & 0x0Eu} << 29) | (uint64_t{p[1]} << 22) | (uint64_t{p[2] & 0xFEu} << 14) |
         (uint64_t{p[3]} << 7) | (p[4] >> 1);
}

}  // namespace sonavid::media
