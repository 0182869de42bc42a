#include "media/mpeg_audio/frame_header.h"

namespace sonavid::media {
namespace {

// Bitrates in kbit/s by bitrate index 1-14: MPEG-1 layers I, II, III; MPEG-2/2.5 layer I;
// MPEG-2/2.5 layers II and III.
constexpr int kBitrates[5][14] = {
    {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};

constexpr int kSampleRates[3][3] = {
    {44100, 48000, 32000},  // MPEG-1
    {22050, 24000, 16000},  // MPEG-2
    {11025, 12000, 8000},   // MPEG-2.5
};

}  // namespace

std::optional<MpegFrameHeader> parseMpegFrameHeader(uint32_t word) {
  if ((word & 0xFFE00000u) != 0xFFE00000u) return std::nullopt;
  const uint32_t versionBits = (word >> 19) & 3;
  const uint32_t layerBits = (word >> 17) & 3;
  const uint32_t bitrateIndex = (word >> 12) & 15;
  const uint32_t rateIndex = (word >> 10) & 3;
  const uint32_t padding = (word >> 9) & 1;
  const uint32_t emphasis = word & 3;
  if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
      rateIndex == 3 || emphasis == 2) {
    return std::nullopt;
  }
  MpegFrameHeader h;
  h.version = versionBits == 3   ? MpegVersion::k1
              : versionBits == 2 ? MpegVersion::k2
                                 : MpegVersion::k25;
  h.layer = 4 - static_cast<int>(layerBits);
  const bool v1 = h.version == MpegVersion::k1;
  const int table = v1 ? h.layer - 1 : (h.layer == 1 ? 3 : 4);
  h.bitrateKbps = kBitrates[table][bitrateIndex - 1];
  h.sampleRate = kSampleRates[v1 ? 0 : h.version == MpegVersion::k2 ? 1 : 2][rateIndex];
  h.mode = static_cast<ChannelMode>((word >> 6) & 3);
  const uint32_t bitrate = static_cast<uint32_t>(h.bitrateKbps) * 1000;
  const uint32_t rate = static_cast<uint32_t>(h.sampleRate);
  if (h.layer == 1) {
    h.samplesPerFrame = 384;
    h.frameBytes = (12 * bitrate / rate + padding) * 4;
  } else if (h.layer == 2 || v1) {
    h.samplesPerFrame = 1152;
    h.frameBytes = 144 * bitrate / rate + padding;
  } else {
    h.samplesPerFrame = 576;
    h.frameBytes = 72 * bitrate / rate + padding;
  }
  return h;
}

bool sameMpegStream(const MpegFrameHeader& a, const MpegFrameHeader& b) {
  return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate;
}

}  // namespace sonavid::media
