// MPEG audio frame header: 32 bits, big-endian.
//   11 bits sync (all ones) | 2 version (00 2.5, 10 2, 11 1) | 2 layer (01 III, 10 II, 11 I)
//   1 no-CRC | 4 bitrate index | 2 sample-rate index | 1 padding | 1 private
//   2 channel mode (00 stereo, 01 joint, 10 dual, 11 mono) | 2 mode ext | 1 (c) | 1 orig | 2
//   emphasis
#pragma once

#include <cstdint>
#include <optional>

namespace sonavid::media {

enum class MpegVersion { k1, k2, k25 };
enum class ChannelMode { kStereo = 0, kJointStereo = 1, kDualChannel = 2, kMono = 3 };

struct MpegFrameHeader {
  MpegVersion version = MpegVersion::k1;
  int layer = 3;        // 1, 2 or 3
  int bitrateKbps = 0;  // free-format frames are not accepted
  int sampleRate = 0;   // Hz
  ChannelMode mode = ChannelMode::kStereo;
  uint32_t frameBytes = 0;       // whole frame, header and padding included
  uint32_t samplesPerFrame = 0;  // per channel
};

// The header in `word`, or nothing when the bits do not form a valid, measurable header.
std::optional<MpegFrameHeader> parseMpegFrameHeader(uint32_t word);

// True when two headers can belong to one stream (same version, layer and sample rate).
bool sameMpegStream(const MpegFrameHeader& a, const MpegFrameHeader& b);

}  // namespace sonavid::media
