// ADTS, the frame header of raw AAC streams (and of AAC in MPEG transport streams), 7 bytes
// (9 with a CRC), big-endian bit fields:
//   12 sync (all ones) | 1 id (0 MPEG-4, 1 MPEG-2) | 2 layer (always 0) | 1 no-CRC
//   2 profile (0 Main, 1 LC, 2 SSR, 3 LTP) | 4 sample-rate index | 1 private | 3 channel config
//   1 original | 1 home | 1 copyright id bit | 1 copyright id start | 13 frame length (whole
//   frame, header included) | 11 buffer fullness | 2 raw data blocks in the frame minus one
// Every raw data block holds 1024 samples per channel.
#pragma once

#include <cstdint>
#include <string_view>

#include "media/streams/stream_format.h"

namespace sonavid::media {

inline constexpr uint32_t kAdtsHeaderBytes = 7;
inline constexpr uint32_t kAdtsSamplesPerBlock = 1024;

struct AdtsHeader {
  AudioFormat format;  // codec "AAC"; 0 channels when a program config element sets them
  uint32_t profile = 1;
  uint32_t frameBytes = 0;
  uint32_t samples = 0;    // per channel, in the whole frame
  uint32_t firstWord = 0;  // the header's first four bytes, big-endian
};

// The header at the start of `bytes`; false when it is not a valid ADTS header.
bool parseAdtsHeader(std::string_view bytes, AdtsHeader& header);

// True when both headers can belong to one stream (same profile, rate and channels).
bool sameAdtsStream(const AdtsHeader& a, const AdtsHeader& b);

// The first frame in `bytes` whose header is valid and, when the bytes go on that far, is
// followed by another header of the same stream.
bool findAdtsFrame(std::string_view bytes, AdtsHeader& header);

// Hops over the frames of one stream without parsing each header: a header belongs to the stream
// when its fields that every frame of the stream shares (sync, layer, CRC flag, profile, rate,
// channels) equal the first header's, compared as one word. A header it turns down may still be
// the stream's (parseAdtsHeader and sameAdtsStream decide); one it takes, they take too.
class AdtsFrameHop {
 public:
  explicit AdtsFrameHop(const AdtsHeader& first)
      : word_(first.firstWord & kSharedBits),
        headerBytes_(kAdtsHeaderBytes + ((first.firstWord >> 16) & 1 ? 0 : 2)) {}

  // The length of the frame whose header starts at `p`, 0 when the header is not taken. Reads
  // kAdtsHeaderBytes at `p` unchecked: the caller makes sure they are there.
  uint32_t frameBytesUnchecked(const uint8_t* p) const {
    if ((wordAt(p) & kSharedBits) != word_) return 0;
    // 13 bits: the last 2 of the fourth byte, the fifth, the first 3 of the sixth.
    const uint32_t frameBytes = (wordAt(p + 3) >> 13) & 0x1FFF;
    return frameBytes > headerBytes_ ? frameBytes : 0;
  }
  // The raw data blocks of the frame whose header starts at `p` (unchecked, as above).
  static uint32_t blocksUnchecked(const uint8_t* p) { return (p[6] & 3u) + 1; }

 private:
  static uint32_t wordAt(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
  }

  // Sync, layer, no-CRC flag, profile, sample-rate index and channel configuration.
  static constexpr uint32_t kSharedBits = 0xFFF7FDC0;
  uint32_t word_;
  uint32_t headerBytes_;
};

// "AAC LC", "AAC Main" ... by the profile field.
std::string_view adtsProfileName(uint32_t profile);

}  // namespace sonavid::media
