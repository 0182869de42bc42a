// MPEG audio frame header: 32 bits, big-endian.
//   11 bits sync (all ones) | 2 version (00 2.5, 10 2, 11 1) | 2 layer (01 III, 10 II, 11 I)
//   1 no-CRC | 4 bitrate index | 2 sample-rate index | 1 padding | 1 private
//   2 channel mode (00 stereo, 01 joint, 10 dual, 11 mono) | 2 mode ext | 1 (c) | 1 orig | 2
//   emphasis
// Bitrate index 0 marks a free-format stream: every frame has the stream's own length (plus a
// padding slot), which only the distance from one frame header to the next tells.
#pragma once

#include <cstdint>
#include <optional>

namespace sonavid::media {

// Free-format frames no longer than this are measured (the longest standard frame is 1728 bytes;
// a 640 kbit/s frame at 32 kHz is 2880).
inline constexpr uint32_t kMaxFreeFormatFrameBytes = 4096;

enum class MpegVersion { k1, k2, k25 };
enum class ChannelMode { kStereo = 0, kJointStereo = 1, kDualChannel = 2, kMono = 3 };

struct MpegFrameHeader {
  MpegVersion version = MpegVersion::k1;
  int layer = 3;        // 1, 2 or 3
  int bitrateKbps = 0;  // rounded for a free-format stream
  uint32_t bitsPerSecond = 0;
  bool freeFormat = false;
  int sampleRate = 0;  // Hz
  ChannelMode mode = ChannelMode::kStereo;
  uint32_t frameBytes = 0;       // whole frame, header and padding included
  uint32_t samplesPerFrame = 0;  // per channel
};

// The header in `word`, or nothing when the bits do not form a valid, measurable header. A
// free-format header is measurable only with the length of the stream's frames without
// padding (`freeFrameBytes`, 0 when unknown).
std::optional<MpegFrameHeader> parseMpegFrameHeader(uint32_t word, uint32_t freeFrameBytes = 0);

// True when `word` is a free-format header (bitrate index 0) that is valid otherwise.
bool isFreeFormatHeader(uint32_t word);

// The length without padding of the free-format frames of a stream whose frame headers `word`
// and the next one lie `distance` bytes apart; 0 when no frame can have that length.
uint32_t freeFormatFrameBytes(uint32_t word, uint64_t distance);

// True when two headers can belong to one stream (same version, layer and sample rate, both
// free-format or neither).
bool sameMpegStream(const MpegFrameHeader& a, const MpegFrameHeader& b);

}  // namespace sonavid::media
