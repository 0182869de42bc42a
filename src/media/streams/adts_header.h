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

struct AdtsHeader {
  AudioFormat format;  // codec "AAC"; 0 channels when a program config element sets them
  uint32_t profile = 1;
  uint32_t frameBytes = 0;
  uint32_t samples = 0;  // per channel, in the whole frame
};

// The header at the start of `bytes`; false when it is not a valid ADTS header.
bool parseAdtsHeader(std::string_view bytes, AdtsHeader& header);

// True when both headers can belong to one stream (same profile, rate and channels).
bool sameAdtsStream(const AdtsHeader& a, const AdtsHeader& b);

// The first frame in `bytes` whose header is valid and, when the bytes go on that far, is
// followed by another header of the same stream.
bool findAdtsFrame(std::string_view bytes, AdtsHeader& header);

// "AAC LC", "AAC Main" ... by the profile field.
std::string_view adtsProfileName(uint32_t profile);

}  // namespace sonavid::media
