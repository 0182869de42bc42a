// AVI: LIST "hdrl" holds "avih" (main header), one LIST "strl" per stream with "strh" (stream
// header: type, handler, scale, rate, length) and "strf" (BITMAPINFOHEADER for video,
// WAVEFORMATEX for audio), and in OpenDML files LIST "odml" with "dmlh" (the total frame
// count). LIST "movi" holds the data; LIST "INFO" the tags. OpenDML files continue in further
// RIFF "AVIX" chunks.
#include <cinttypes>
#include <cstdio>

#include "common/text.h"
#include "media/file_reads.h"
#include "media/mpeg_audio/playing_time.h"
#include "media/riff/riff_chunks.h"
#include "media/riff/riff_forms.h"
#include "media/riff/video_codecs.h"
#include "media/riff/wave_format.h"
#include "media/tags/riff_info.h"

namespace sonavid::media {
namespace {

constexpr size_t kMaxHeaderListBytes = 1024 * 1024;
constexpr size_t kMaxInfoListBytes = 256 * 1024;
constexpr int kMaxStreams = 64;

struct VideoStream {
  std::string codec;  // BITMAPINFOHEADER compression, else the stream header's handler
  uint32_t scale = 0;
  uint32_t rate = 0;
  uint32_t length = 0;
  int32_t width = 0;
  int32_t height = 0;
};

struct AudioStream {
  WaveFormat format;
  uint32_t scale = 0;
  uint32_t rate = 0;
  uint32_t length = 0;
};

struct AviHeaders {
  uint32_t microSecondsPerFrame = 0;
  uint32_t totalFrames = 0;
  uint32_t openDmlFrames = 0;
  bool openDml = false;
  std::optional<VideoStream> video;
  std::optional<AudioStream> audio;
};

void readStreamList(ByteReader list, AviHeaders& headers) {
  std::string_view id;
  ByteReader body;
  std::string type, handler;
  uint32_t scale = 0, rate = 0, length = 0;
  for (int count = 0; count < kMaxRiffChunks && nextRiffChunk(list, id, body); ++count) {
    if (id == "strh") {
      type = std::string(body.bytes(4));
      handler = std::string(body.bytes(4));
      body.skip(12);  // flags, priority, language, initial frames
      scale = body.u32le();
      rate = body.u32le();
      body.skip(4);  // start
      length = body.u32le();
    } else if (id == "strf" && type == "vids" && !headers.video) {
      VideoStream video;
      body.skip(4);  // biSize
      video.width = static_cast<int32_t>(body.u32le());
      video.height = static_cast<int32_t>(body.u32le());
      body.skip(4);  // planes, bit count
      const std::string_view compression = body.bytes(4);
      video.codec = std::string(compression.empty() ? std::string_view(handler) : compression);
      if (video.codec == std::string_view("\0\0\0\0", 4) && isFourCc(handler) &&
          handler != "DIB ") {
        video.codec = handler;
      }
      video.scale = scale;
      video.rate = rate;
      video.length = length;
      headers.video = video;
    } else if (id == "strf" && type == "auds" && !headers.audio) {
      AudioStream audio;
      audio.format = parseWaveFormat(body);
      audio.scale = scale;
      audio.rate = rate;
      audio.length = length;
      headers.audio = audio;
    }
  }
}

AviHeaders readHeaderList(ByteReader list) {
  AviHeaders headers;
  std::string_view id;
  ByteReader body;
  int streams = 0;
  for (int count = 0; count < kMaxRiffChunks && nextRiffChunk(list, id, body); ++count) {
    if (id == "avih") {
      headers.microSecondsPerFrame = body.u32le();
      body.skip(12);  // max bytes per second, padding granularity, flags
      headers.totalFrames = body.u32le();
    } else if (id == "LIST") {
      const std::string_view type = body.bytes(4);
      if (type == "strl" && streams++ < kMaxStreams) {
        readStreamList(body.sub(body.remaining()), headers);
      } else if (type == "odml") {
        headers.openDml = true;
        std::string_view inner;
        ByteReader dmlh;
        if (nextRiffChunk(body, inner, dmlh) && inner == "dmlh") {
          headers.openDmlFrames = dmlh.u32le();
        }
      }
    }
  }
  return headers;
}

// Seconds from a stream header's length in units of scale/rate.
uint64_t streamMilliseconds(uint64_t length, uint32_t scale, uint32_t rate) {
  if (rate == 0) return 0;
  const uint64_t units = length * scale;  // both fit in 32 bits, so the product fits in 64
  return units / rate * 1000 + units % rate * 1000 / rate;
}

std::u16string videoText(const VideoStream& video, uint64_t frames) {
  const double fps = video.scale == 0 ? 0.0 : static_cast<double>(video.rate) / video.scale;
  const int64_t width = video.width < 0 ? -int64_t{video.width} : video.width;
  const int64_t height = video.height < 0 ? -int64_t{video.height} : video.height;
  char text[128];
  std::snprintf(text, sizeof text, ", %" PRId64 "x%" PRId64 ", %.3ffps, %" PRIu64 "Frames", width,
                height, fps, frames);
  return videoCodecName(video.codec) + utf8ToUtf16(text);
}

}  // namespace

void readAviForm(RandomAccessFile& file, uint64_t end, MediaInfo& info) {
  AviHeaders headers;
  bool haveHeaders = false;
  bool extended = false;
  RiffChunkWalker walker(file, 12, end);
  while (auto chunk = walker.next()) {
    if (chunk->id == "LIST" && chunk->size >= 4) {
      const std::string type = readBlock(file, chunk->dataOffset, 4);
      if (type == "hdrl" && !haveHeaders) {
        const std::string list = readBlock(
            file, chunk->dataOffset + 4,
            static_cast<size_t>(chunk->size - 4 < kMaxHeaderListBytes ? chunk->size - 4
                                                                      : kMaxHeaderListBytes));
        headers = readHeaderList(ByteReader(list));
        haveHeaders = true;
      } else if (type == "INFO") {
        const std::string list =
            readBlock(file, chunk->dataOffset + 4,
                      static_cast<size_t>(chunk->size - 4 < kMaxInfoListBytes ? chunk->size - 4
                                                                              : kMaxInfoListBytes));
        addRiffInfoValues(parseRiffInfo(list), "", info);
      }
    } else if (chunk->id == "RIFF") {
      if (readBlock(file, chunk->dataOffset, 4) == "AVIX") extended = true;
    }
  }
  info.set("AVIV", headers.openDml || extended ? u"AVI 2.0 (OpenDML)" : u"AVI 1.0 (VfW)");
  if (!haveHeaders) return;

  uint64_t durationMs = 0;
  if (headers.video) {
    const VideoStream& video = *headers.video;
    uint64_t frames = headers.openDmlFrames != 0 ? headers.openDmlFrames
                      : video.length != 0        ? video.length
                                                 : headers.totalFrames;
    if (video.rate != 0 && video.scale != 0) {
      durationMs = streamMilliseconds(frames, video.scale, video.rate);
    } else {
      durationMs = frames * headers.microSecondsPerFrame / 1000;
    }
    info.set("VFMT", videoText(video, frames));
  } else {
    info.set("VFMT", u"None");
  }
  if (headers.audio) {
    const AudioStream& audio = *headers.audio;
    if (!headers.video) durationMs = streamMilliseconds(audio.length, audio.scale, audio.rate);
    info.set("AFMT", waveFormatText(audio.format, ChannelStyle::kName));
  } else {
    info.set("AFMT", u"None");
  }
  info.set("TIME", hoursMinutesSecondsText(durationMs / 1000));
}

}  // namespace sonavid::media
