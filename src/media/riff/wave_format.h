// WAVEFORMATEX, the audio format record of WAV "fmt " chunks and AVI audio "strf" chunks:
// format tag, channels, sample rate, average bytes per second, block align, bits per sample,
// and (WAVE_FORMAT_EXTENSIBLE, 0xFFFE) valid bits, channel mask and a sub-format GUID whose
// first two bytes are the real format tag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "media/byte_reader.h"
#include "media/values/stream_facts.h"

namespace sonavid::media {

struct WaveFormat {
  uint16_t tag = 0;  // the sub-format's tag for WAVE_FORMAT_EXTENSIBLE
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint32_t avgBytesPerSecond = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;  // the valid bits of an extensible format when given
};

WaveFormat parseWaveFormat(ByteReader in);

// Name of a format tag ("Microsoft PCM", "MPEG1-Layer3" ...; "Unknown (0x1234)").
std::u16string waveFormatName(uint16_t tag);

// Whether the format's samples have a bit depth worth showing (PCM, float, ADPCM, G.711).
bool waveFormatHasBitDepth(const WaveFormat& format);

// The common short name of a format tag's codec ("PCM", "ADPCM", "MP3", "WMA Pro" ...); empty
// for a tag without one.
std::string_view waveFormatCodec(uint16_t tag);

// The audio facts of a format record: codec, bitrate, sample rate, channels, and the bit depth
// of PCM and lossless formats.
void addWaveFormatFacts(const WaveFormat& format, StreamFacts& facts);

// How channel counts are shown.
enum class ChannelStyle {
  kCount,  // "2ch" (WAV)
  kName,   // "Mono", "Stereo", else "3ch" (AVI)
};

// "Microsoft PCM, 16bit, 44100Hz, 2ch, 1411Kbps"; without the bit depth for compressed formats.
std::u16string waveFormatText(const WaveFormat& format, ChannelStyle style);

}  // namespace sonavid::media
