#include "media/streams/adts_header.h"

#include <iterator>

#include "media/byte_reader.h"

namespace sonavid::media {
namespace {

constexpr uint32_t kAdtsSampleRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                         22050, 16000, 12000, 11025, 8000,  7350};

}  // namespace

bool parseAdtsHeader(std::string_view bytes, AdtsHeader& header) {
  ByteReader reader(bytes);
  const uint32_t a = reader.u32be();
  const uint32_t b = reader.u24be();
  if (!reader.ok()) return false;
  if ((a >> 20) != 0xFFF || ((a >> 17) & 3) != 0) return false;
  const bool crc = ((a >> 16) & 1) == 0;
  const uint32_t rateIndex = (a >> 10) & 0xF;
  if (rateIndex >= std::size(kAdtsSampleRates)) return false;
  const uint32_t channelConfig = (a >> 6) & 7;
  // 13 bits: the last 2 of the first word, then 11 of the next three bytes.
  const uint32_t frameBytes = ((a & 3) << 11) | (b >> 13);
  const uint32_t headerBytes = kAdtsHeaderBytes + (crc ? 2 : 0);
  if (frameBytes <= headerBytes) return false;
  header.profile = (a >> 14) & 3;
  header.frameBytes = frameBytes;
  header.samples = ((b & 3) + 1) * kAdtsSamplesPerBlock;
  header.format = AudioFormat{};
  header.format.codec = "AAC";
  header.format.sampleRate = kAdtsSampleRates[rateIndex];
  header.format.channels = channelConfig == 7 ? 8 : channelConfig;
  header.format.samplesPerFrame = header.samples;
  header.firstWord = a;
  return true;
}

bool sameAdtsStream(const AdtsHeader& a, const AdtsHeader& b) {
  return a.profile == b.profile && a.format.sampleRate == b.format.sampleRate &&
         a.format.channels == b.format.channels;
}

bool findAdtsFrame(std::string_view bytes, AdtsHeader& header) {
  for (size_t at = 0; bytes.size() - at >= kAdtsHeaderBytes; ++at) {
    if (static_cast<uint8_t>(bytes[at]) != 0xFF) continue;
    if (!parseAdtsHeader(bytes.substr(at), header)) continue;
    // Where the bytes end before the next header, this one is taken on its own.
    if (bytes.size() - at < header.frameBytes + kAdtsHeaderBytes) return true;
    AdtsHeader next;
    if (parseAdtsHeader(bytes.substr(at + header.frameBytes), next) &&
        sameAdtsStream(header, next)) {
      return true;
    }
  }
  return false;
}

std::string_view adtsProfileName(uint32_t profile) {
  static constexpr std::string_view kNames[] = {"AAC Main", "AAC LC", "AAC SSR", "AAC LTP"};
  return kNames[profile & 3];
}

}  // namespace sonavid::media
