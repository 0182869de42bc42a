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

// The frame header and the shortest side information.
constexpr uint32_t kMinFreeFormatFrameBytes = 4 + 9;

// Bytes per padding slot and the factor that turns a bitrate over the sample rate into bytes
// per frame: Layer I counts 4-byte slots of 12 bits per sample per second, the others bytes.
uint32_t slotBytes(int layer) { return layer == 1 ? 4 : 1; }
uint32_t bytesFactor(int layer, bool v1) { return layer == 1 ? 48 : (layer == 2 || v1) ? 144 : 72; }

}  // namespace

bool isFreeFormatHeader(uint32_t word) {
  return ((word >> 12) & 15) == 0 && parseMpegFrameHeader(word | 1u << 12).has_value();
}

uint32_t freeFormatFrameBytes(uint32_t word, uint64_t distance) {
  const auto h = parseMpegFrameHeader(word | 1u << 12);
  if (!h || ((word >> 12) & 15) != 0) return 0;
  const uint32_t padding = (word >> 9) & 1 ? slotBytes(h->layer) : 0;
  if (distance < kMinFreeFormatFrameBytes + padding ||
      distance > kMaxFreeFormatFrameBytes + padding) {
    return 0;
  }
  const auto bytes = static_cast<uint32_t>(distance) - padding;
  return bytes % slotBytes(h->layer) == 0 ? bytes : 0;
}

std::optional<MpegFrameHeader> parseMpegFrameHeader(uint32_t word, uint32_t freeFrameBytes) {
  if ((word & 0xFFE00000u) != 0xFFE00000u) return std::nullopt;
  const uint32_t versionBits = (word >> 19) & 3;
  const uint32_t layerBits = (word >> 17) & 3;
  const uint32_t bitrateIndex = (word >> 12) & 15;
  const uint32_t rateIndex = (word >> 10) & 3;
  const uint32_t padding = (word >> 9) & 1;
  const uint32_t emphasis = word & 3;
  if (versionBits == 1 || layerBits == 0 || (bitrateIndex == 0 && freeFrameBytes == 0) ||
      bitrateIndex == 15 || rateIndex == 3 || emphasis == 2) {
    return std::nullopt;
  }
  MpegFrameHeader h;
  h.version = versionBits == 3   ? MpegVersion::k1
              : versionBits == 2 ? MpegVersion::k2
                                 : MpegVersion::k25;
  h.layer = 4 - static_cast<int>(layerBits);
  const bool v1 = h.version == MpegVersion::k1;
  h.sampleRate = kSampleRates[v1 ? 0 : h.version == MpegVersion::k2 ? 1 : 2][rateIndex];
  h.mode = static_cast<ChannelMode>((word >> 6) & 3);
  h.samplesPerFrame = h.layer == 1 ? 384 : (h.layer == 2 || v1) ? 1152 : 576;
  const uint32_t rate = static_cast<uint32_t>(h.sampleRate);
  const uint32_t factor = bytesFactor(h.layer, v1);
  const uint32_t slot = slotBytes(h.layer);
  if (bitrateIndex == 0) {
    // The bitrate that gives frames of this length, to the nearest kbit/s in the text.
    if (freeFrameBytes % slot != 0 || freeFrameBytes < kMinFreeFormatFrameBytes ||
        freeFrameBytes > kMaxFreeFormatFrameBytes) {
      return std::nullopt;
    }
    h.freeFormat = true;
    h.bitsPerSecond = static_cast<uint32_t>(uint64_t{freeFrameBytes} * rate / factor);
    h.bitrateKbps = static_cast<int>((h.bitsPerSecond + 500) / 1000);
    h.frameBytes = freeFrameBytes + padding * slot;
    return h;
  }
  const int table = v1 ? h.layer - 1 : (h.layer == 1 ? 3 : 4);
  h.bitrateKbps = kBitrates[table][bitrateIndex - 1];
  h.bitsPerSecond = static_cast<uint32_t>(h.bitrateKbps) * 1000;
  h.frameBytes = (factor / slot * h.bitsPerSecond / rate + padding) * slot;
  return h;
}

bool sameMpegStream(const MpegFrameHeader& a, const MpegFrameHeader& b) {
  return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate &&
         a.freeFormat == b.freeFormat;
}

}  // namespace sonavid::media
