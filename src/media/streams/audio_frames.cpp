#include "media/streams/audio_frames.h"

#include <cstdint>
#include <iterator>

#include "media/byte_reader.h"
#include "media/mpeg_audio/frame_header.h"
#include "media/streams/bit_reader.h"

namespace sonavid::media {
namespace {

// Channels of the AC-3 and E-AC-3 coding modes (1+1, 1/0, 2/0, 3/0, 2/1, 3/1, 2/2, 3/2).
constexpr uint32_t kAc3Channels[] = {2, 1, 2, 3, 3, 4, 4, 5};
constexpr uint32_t kAc3Rates[] = {48000, 44100, 32000};
constexpr uint32_t kEac3HalfRates[] = {24000, 22050, 16000};
constexpr uint32_t kEac3BlocksPerFrame[] = {1, 2, 3, 6};
// Bitrates of the AC-3 frame-size codes, two codes each.
constexpr uint32_t kAc3Kbps[] = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                 192, 224, 256, 320, 384, 448, 512, 576, 640};
constexpr uint32_t kAc3SamplesPerFrame = 1536;
constexpr uint32_t kSamplesPerAc3Block = 256;

// The header at the start of `bytes`, with the length of its frame.
bool parseAc3Header(std::string_view bytes, AudioFormat& format, uint32_t& frameBytes) {
  BitReader bits(bytes.substr(0, 16));
  if (bits.bits(16) != 0x0B77) return false;
  // The bitstream id sits at the same place in both kinds of frame.
  const uint32_t bsid = bytes.size() >= 6 ? static_cast<uint8_t>(bytes[5]) >> 3 : 99;
  format = AudioFormat{};
  if (bsid <= 10) {
    bits.skip(16);  // CRC
    const uint32_t rateCode = bits.bits(2);
    const uint32_t sizeCode = bits.bits(6);
    bits.skip(5 + 3);  // bitstream id, service mode
    const uint32_t mode = bits.bits(3);
    if (rateCode == 3 || sizeCode / 2 >= std::size(kAc3Kbps)) return false;
    if ((mode & 1) != 0 && mode != 1) bits.skip(2);  // centre mix level
    if ((mode & 4) != 0) bits.skip(2);               // surround mix level
    if (mode == 2) bits.skip(2);                     // Dolby Surround mode
    const uint32_t lfe = bits.bit();
    if (bits.failed()) return false;
    format.codec = "AC-3";
    format.sampleRate = kAc3Rates[rateCode];
    format.channels = kAc3Channels[mode] + lfe;
    format.samplesPerFrame = kAc3SamplesPerFrame;
    // Words per frame: the bitrate's share of 1536 samples; 44.1 kHz frames alternate in length.
    const uint32_t words = kAc3Kbps[sizeCode / 2] * 96000 / format.sampleRate +
                           (format.sampleRate == 44100 ? (sizeCode & 1) : 0);
    frameBytes = words * 2;
    return true;
  }
  if (bsid < 11 || bsid > 16) return false;
  bits.skip(2 + 3);  // stream type, substream id
  frameBytes = (bits.bits(11) + 1) * 2;
  const uint32_t rateCode = bits.bits(2);
  uint32_t blocks = 6;
  if (rateCode == 3) {
    const uint32_t halfCode = bits.bits(2);
    if (halfCode == 3) return false;
    format.sampleRate = kEac3HalfRates[halfCode];
  } else {
    format.sampleRate = kAc3Rates[rateCode];
    blocks = kEac3BlocksPerFrame[bits.bits(2)];
  }
  const uint32_t mode = bits.bits(3);
  const uint32_t lfe = bits.bit();
  if (bits.failed()) return false;
  format.codec = "E-AC-3";
  format.channels = kAc3Channels[mode] + lfe;
  format.samplesPerFrame = blocks * kSamplesPerAc3Block;
  return true;
}

constexpr uint32_t kDtsChannels[] = {1, 2, 2, 2, 2, 3, 3, 4, 4, 5, 6, 6, 6, 7, 8, 8};
constexpr uint32_t kDtsRates[] = {0,     8000, 16000, 32000, 0,     0,     11025, 22050,
                                  44100, 0,    0,     12000, 24000, 48000, 0,     0};
constexpr uint32_t kDtsMinFrameBytes = 96;

bool parseDtsHeader(std::string_view bytes, AudioFormat& format, uint32_t& frameBytes) {
  BitReader bits(bytes.substr(0, 16));
  if (bits.bits(32) != 0x7FFE8001) return false;
  bits.skip(1 + 5 + 1);  // frame type, deficit samples, CRC
  const uint32_t blocks = bits.bits(7) + 1;
  frameBytes = bits.bits(14) + 1;
  const uint32_t arrangement = bits.bits(6);
  const uint32_t rate = kDtsRates[bits.bits(4)];
  bits.skip(5 + 10);  // bitrate, flags
  const uint32_t lfe = bits.bits(2);
  if (bits.failed() || rate == 0 || frameBytes < kDtsMinFrameBytes) return false;
  format = AudioFormat{};
  format.codec = "DTS";
  format.sampleRate = rate;
  // Arrangements past 15 are user-defined: their channels are not told here.
  format.channels = arrangement < std::size(kDtsChannels) ? kDtsChannels[arrangement] : 0;
  if (format.channels != 0 && lfe != 0) ++format.channels;
  format.samplesPerFrame = blocks * 32;
  return true;
}

// Looks for a header `parse` accepts whose frame is followed by another (where the bytes go on).
template <typename Parse>
bool findFrame(std::string_view bytes, uint8_t firstByte, AudioFormat& format, Parse parse) {
  for (size_t at = 0; at < bytes.size(); ++at) {
    if (static_cast<uint8_t>(bytes[at]) != firstByte) continue;
    uint32_t frameBytes = 0;
    if (!parse(bytes.substr(at), format, frameBytes) || frameBytes == 0) continue;
    if (bytes.size() - at < uint64_t{frameBytes} + 4) return true;
    AudioFormat next;
    uint32_t nextBytes = 0;
    if (parse(bytes.substr(at + frameBytes), next, nextBytes) && next.codec == format.codec &&
        next.sampleRate == format.sampleRate) {
      return true;
    }
  }
  return false;
}

bool parseMpegAudioHeader(std::string_view bytes, AudioFormat& format, uint32_t& frameBytes) {
  ByteReader reader(bytes);
  const std::optional<MpegFrameHeader> header = parseMpegFrameHeader(reader.u32be());
  if (!reader.ok() || !header) return false;
  static constexpr std::string_view kLayerNames[] = {"MP1", "MP2", "MP3"};
  format = AudioFormat{};
  format.codec = kLayerNames[header->layer - 1];
  format.sampleRate = static_cast<uint32_t>(header->sampleRate);
  format.channels = header->mode == ChannelMode::kMono ? 1 : 2;
  format.samplesPerFrame = header->samplesPerFrame;
  frameBytes = header->frameBytes;
  return true;
}

}  // namespace

bool findMpegAudioFrame(std::string_view bytes, AudioFormat& format) {
  return findFrame(bytes, 0xFF, format, parseMpegAudioHeader);
}

bool findAc3Frame(std::string_view bytes, AudioFormat& format) {
  return findFrame(bytes, 0x0B, format, parseAc3Header);
}

bool findDtsFrame(std::string_view bytes, AudioFormat& format) {
  return findFrame(bytes, 0x7F, format, parseDtsHeader);
}

bool readBlurayLpcmHeader(std::string_view bytes, AudioFormat& format) {
  // Channels of the channel assignments (1 mono, 3 stereo, 4 3/0 ... 11 3/4+LFE).
  static constexpr uint32_t kChannels[] = {0, 1, 0, 2, 3, 3, 4, 4, 5, 6, 7, 8, 0, 0, 0, 0};
  static constexpr uint32_t kRates[] = {0, 48000, 0, 0, 96000, 192000, 0, 0,
                                        0, 0,     0, 0, 0,     0,      0, 0};
  static constexpr uint32_t kBits[] = {0, 16, 20, 24};
  ByteReader reader(bytes);
  reader.skip(2);  // payload size
  const uint8_t layout = reader.u8();
  const uint8_t depth = reader.u8();
  if (!reader.ok()) return false;
  format = AudioFormat{};
  format.codec = "LPCM";
  format.channels = kChannels[layout >> 4];
  format.sampleRate = kRates[layout & 0xF];
  format.bitsPerSample = kBits[depth >> 6];
  return format.channels != 0 && format.sampleRate != 0 && format.bitsPerSample != 0;
}

bool readDvdLpcmHeader(std::string_view bytes, AudioFormat& format) {
  static constexpr uint32_t kRates[] = {48000, 96000, 44100, 32000};
  static constexpr uint32_t kBits[] = {16, 20, 24, 0};
  ByteReader reader(bytes);
  reader.skip(4);  // frame count, first access unit, emphasis and frame number
  const uint8_t layout = reader.u8();
  if (!reader.ok()) return false;
  format = AudioFormat{};
  format.codec = "LPCM";
  format.bitsPerSample = kBits[layout >> 6];
  format.sampleRate = kRates[(layout >> 4) & 3];
  format.channels = (layout & 7) + 1u;
  return format.bitsPerSample != 0;
}

}  // namespace sonavid::media
