#include "media/streams/stream_format.h"

#include <cstdio>

#include "common/text.h"
#include "media/streams/audio_frames.h"
#include "media/streams/h264_sps.h"
#include "media/streams/hevc_sps.h"
#include "media/streams/mpeg_video.h"
#include "media/streams/pes_packet.h"
#include "media/values/playing_time.h"

namespace sonavid::media {
namespace {

// Rates whose terms are below this are formatted in integers: the quotient's rounding error
// (at most 2^-23 of a thousandth) is then far smaller than its distance from any rounding
// midpoint it does not lie on (at least 1 / (2 * den) of a thousandth).
constexpr uint32_t kIntegerRateLimit = 1u << 20;
// Room for the longest format text: a codec name, numbers of up to ten digits and a frame rate.
constexpr size_t kFormatTextRoom = 96;
using FormatText = ShortText<kFormatTextRoom>;

// ", 29.970fps": num / den to three decimals, the digits printf's "%.3f" gives for the quotient
// as a double. An exact midpoint (which printf rounds on the double's binary value) and very
// large terms go to printf itself.
void addFrameRate(FormatText& text, uint32_t num, uint32_t den) {
  if (num < kIntegerRateLimit && den < kIntegerRateLimit) {
    const uint64_t scaled = uint64_t{num} * 1000;
    uint64_t thousandths = scaled / den;
    const uint64_t rest = scaled % den;
    if (2 * rest != den) {
      if (2 * rest > den) ++thousandths;
      text.ascii(", ").decimal(thousandths / 1000).ascii(".").decimal(thousandths % 1000, 3);
      text.ascii("fps");
      return;
    }
  }
  char fps[32];
  std::snprintf(fps, sizeof fps, ", %.3ffps", static_cast<double>(num) / static_cast<double>(den));
  text.ascii(fps);
}

}  // namespace

bool readAudioFormat(StreamKind kind, std::string_view payload, AudioFormat& format) {
  switch (kind) {
    case StreamKind::kMpegAudio:
      return findMpegAudioFrame(payload, format);
    case StreamKind::kAdts: {
      AdtsHeader header;
      if (!findAdtsFrame(payload, header)) return false;
      format = header.format;
      return true;
    }
    case StreamKind::kAc3:
      return findAc3Frame(payload, format);
    case StreamKind::kDts:
      return findDtsFrame(payload, format);
    case StreamKind::kLpcmBluray:
      return readBlurayLpcmHeader(payload, format);
    case StreamKind::kLpcmDvd:
      return readDvdLpcmHeader(payload, format);
    default:
      return false;
  }
}

bool readVideoFormat(StreamKind kind, std::string_view payload, VideoFormat& format) {
  switch (kind) {
    case StreamKind::kMpeg1Video:
    case StreamKind::kMpeg2Video:
      return findMpegVideoSequence(payload, format);
    case StreamKind::kH264:
      return findH264Sps(payload, format);
    case StreamKind::kHevc:
      return findHevcSps(payload, format);
    default:
      return false;
  }
}

std::u16string audioFormatText(const AudioFormat& format) {
  FormatText text;
  text.ascii(format.codec).ascii(", ").decimal(format.sampleRate).ascii("Hz, ");
  text.decimal(format.channels).ascii("ch");
  if (format.bitsPerSample != 0) text.ascii(", ").decimal(format.bitsPerSample).ascii("bit");
  return text.str();
}

std::u16string videoFormatText(const VideoFormat& format) {
  FormatText text;
  text.ascii(format.codec).ascii(", ").decimal(format.width).ascii("x").decimal(format.height);
  if (format.rateNum != 0 && format.rateDen != 0) {
    addFrameRate(text, format.rateNum, format.rateDen);
  }
  return text.str();
}

void addAudioFacts(const AudioFormat& format, StreamFacts& facts) {
  facts.audioCodec = format.codec == "LPCM" ? std::string_view("PCM") : format.codec;
  facts.sampleRate = format.sampleRate;
  facts.channels = format.channels;
  facts.bitsPerSample = format.bitsPerSample;
}

void addVideoFacts(const VideoFormat& format, StreamFacts& facts) {
  facts.videoCodec = format.codec;
  facts.width = format.width;
  facts.height = format.height;
  facts.frameRateNum = format.rateNum;
  facts.frameRateDen = format.rateDen;
  facts.interlaced = format.interlaced;
}

void setStreamValues(std::optional<int64_t> milliseconds, const AudioFormat* audio,
                     const VideoFormat* video, MediaInfo& info) {
  if (milliseconds && *milliseconds >= 0) {
    info.facts.durationMs = *milliseconds;
    info.set("TIME", hoursMinutesSecondsText(static_cast<uint64_t>(*milliseconds) / 1000));
  }
  if (audio != nullptr) {
    info.set("AFMT", audioFormatText(*audio));
    addAudioFacts(*audio, info.facts);
  }
  if (video != nullptr) {
    info.set("VFMT", videoFormatText(*video));
    addVideoFacts(*video, info.facts);
  }
}

uint64_t frameTicks(StreamKind kind, const AudioFormat& audio, const VideoFormat& video) {
  if (isVideoKind(kind)) {
    return video.rateNum == 0 ? 0 : kPtsClock * video.rateDen / video.rateNum;
  }
  return audio.sampleRate == 0 ? 0 : kPtsClock * audio.samplesPerFrame / audio.sampleRate;
}

}  // namespace sonavid::media
