#include "media/riff/wave_format.h"

#include <cstdio>

#include "common/text.h"

namespace sonavid::media {
namespace {

constexpr uint16_t kFormatExtensible = 0xFFFE;

struct FormatName {
  uint16_t tag;
  const char* name;
  bool bitDepth;
  std::string_view codec;  // the common short name; empty where there is none
};

constexpr FormatName kFormatNames[] = {
    {0x0001, "Microsoft PCM", true, "PCM"},
    {0x0002, "Microsoft ADPCM", true, "ADPCM"},
    {0x0003, "IEEE Float", true, "PCM"},
    {0x0006, "A-Law", true, "ADPCM"},
    {0x0007, "u-Law", true, "ADPCM"},
    {0x0010, "OKI ADPCM", true, "ADPCM"},
    {0x0011, "IMA ADPCM", true, "ADPCM"},
    {0x0014, "G.723 ADPCM", true, "ADPCM"},
    {0x0022, "DSP Group TrueSpeech", false, ""},
    {0x0031, "GSM 6.10", false, ""},
    {0x0040, "G.721 ADPCM", true, "ADPCM"},
    {0x0050, "MPEG1-Layer1/2", false, "MP2"},
    {0x0055, "MPEG1-Layer3", false, "MP3"},
    {0x0092, "Dolby AC3 SPDIF", false, "AC-3"},
    {0x00FF, "AAC", false, "AAC"},
    {0x0130, "ACELP.net", false, ""},
    {0x0160, "Windows Media Audio v1", false, "WMA"},
    {0x0161, "Windows Media Audio v2", false, "WMA"},
    {0x0162, "Windows Media Audio 9 Professional", false, "WMA Pro"},
    {0x0163, "Windows Media Audio 9 Lossless", false, "WMA Lossless"},
    {0x1610, "MPEG-4 AAC (ADTS)", false, "AAC"},
    {0x2000, "Dolby AC3", false, "AC-3"},
    {0x2001, "DTS", false, "DTS"},
    {0xF1AC, "FLAC", false, "FLAC"},
};

const FormatName* findFormat(uint16_t tag) {
  for (const FormatName& entry : kFormatNames) {
    if (entry.tag == tag) return &entry;
  }
  return nullptr;
}

}  // namespace

WaveFormat parseWaveFormat(ByteReader in) {
  WaveFormat format;
  format.tag = in.u16le();
  format.channels = in.u16le();
  format.sampleRate = in.u32le();
  format.avgBytesPerSecond = in.u32le();
  format.blockAlign = in.u16le();
  format.bitsPerSample = in.u16le();
  if (format.tag == kFormatExtensible) {
    const uint16_t extraBytes = in.u16le();
    if (in.ok() && extraBytes >= 22) {
      const uint16_t validBits = in.u16le();
      in.skip(4);  // channel mask
      const uint16_t subTag = in.u16le();
      if (in.ok()) {
        format.tag = subTag;
        if (validBits != 0) format.bitsPerSample = validBits;
      }
    }
  }
  return format;
}

std::u16string waveFormatName(uint16_t tag) {
  if (const FormatName* entry = findFormat(tag)) return utf8ToUtf16(entry->name);
  char text[32];
  std::snprintf(text, sizeof text, "Unknown (0x%04X)", static_cast<unsigned>(tag));
  return utf8ToUtf16(text);
}

bool waveFormatHasBitDepth(const WaveFormat& format) {
  const FormatName* entry = findFormat(format.tag);
  return entry != nullptr && entry->bitDepth && format.bitsPerSample != 0;
}

std::string_view waveFormatCodec(uint16_t tag) {
  const FormatName* entry = findFormat(tag);
  return entry != nullptr ? entry->codec : std::string_view();
}

void addWaveFormatFacts(const WaveFormat& format, StreamFacts& facts) {
  facts.audioCodec = waveFormatCodec(format.tag);
  facts.audioKbps = static_cast<uint32_t>(uint64_t{format.avgBytesPerSecond} * 8 / 1000);
  facts.sampleRate = format.sampleRate;
  facts.channels = format.channels;
  // A bit depth means something for samples kept as they are, not for lossy codecs.
  const std::string_view codec = facts.audioCodec;
  if (codec == "PCM" || codec == "FLAC" || codec == "WMA Lossless") {
    facts.bitsPerSample = format.bitsPerSample;
  }
}

std::u16string waveFormatText(const WaveFormat& format, ChannelStyle style) {
  std::u16string text;
  text.reserve(64);
  text += waveFormatName(format.tag);
  if (waveFormatHasBitDepth(format)) {
    text += u", ";
    appendDecimal(text, format.bitsPerSample);
    text += u"bit";
  }
  text += u", ";
  appendDecimal(text, format.sampleRate);
  text += u"Hz";
  if (style == ChannelStyle::kName && format.channels == 1) {
    text += u", Mono";
  } else if (style == ChannelStyle::kName && format.channels == 2) {
    text += u", Stereo";
  } else {
    text += u", ";
    appendDecimal(text, format.channels);
    text += u"ch";
  }
  text += u", ";
  appendDecimal(text, uint64_t{format.avgBytesPerSecond} * 8 / 1000);
  text += u"Kbps";
  return text;
}

}  // namespace sonavid::media
