// AVI: LIST "hdrl" holds "avih" (main header), one LIST "strl" per stream with "strh" (stream
// header: type, handler, scale, rate, length) and "strf" (BITMAPINFOHEADER for video,
// WAVEFORMATEX for audio), and in OpenDML files LIST "odml" with "dmlh" (the total frame
// count). LIST "movi" holds the data; LIST "INFO" the tags. OpenDML files continue in further
// RIFF "AVIX" chunks.

#include "common/text.h"
#include "media/file_reads.h"
#include "media/riff/riff_chunks.h"
#include "media/riff/riff_forms.h"
#include "media/riff/video_codecs.h"
#include "media/riff/wave_format.h"
#include "media/values/stream_fact_texts.h"
#include "media/values/playing_time.h"

namespace sonavid::media {
namespace {

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

// Bytes of a header chunk that are read: the stream header is 56 bytes, and the format
// chunk's fields are in its first 40 (a WAVEFORMATEXTENSIBLE); codec data after them is not
// needed.
constexpr size_t kMaxHeaderChunkBytes = 64;

std::string readHeaderChunk(RandomAccessFile& file, const RiffChunk& chunk) {
  return readBlock(
      file, chunk.dataOffset,
      static_cast<size_t>(chunk.size < kMaxHeaderChunkBytes ? chunk.size : kMaxHeaderChunkBytes));
}

// The type of a LIST chunk ("" when it is too short to have one).
std::string listType(RandomAccessFile& file, const RiffChunk& chunk) {
  return chunk.size >= 4 ? readBlock(file, chunk.dataOffset, 4) : std::string();
}

// One LIST "strl", chunk by chunk: only the stream header and format are read, not the
// padding and index chunks muxers put between them.
void readStreamList(RandomAccessFile& file, const RiffChunk& list, AviHeaders& headers) {
  std::string type, handler;
  uint32_t scale = 0, rate = 0, length = 0;
  RiffChunkWalker walker(file, list.dataOffset + 4, list.dataOffset + list.size);
  while (auto chunk = walker.next()) {
    if (chunk->id == "strh") {
      const std::string bytes = readHeaderChunk(file, *chunk);
      ByteReader body(bytes);
      type = std::string(body.bytes(4));
      handler = std::string(body.bytes(4));
      body.skip(12);  // flags, priority, language, initial frames
      scale = body.u32le();
      rate = body.u32le();
      body.skip(4);  // start
      length = body.u32le();
    } else if (chunk->id == "strf" && type == "vids" && !headers.video) {
      const std::string bytes = readHeaderChunk(file, *chunk);
      ByteReader body(bytes);
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
    } else if (chunk->id == "strf" && type == "auds" && !headers.audio) {
      const std::string bytes = readHeaderChunk(file, *chunk);
      AudioStream audio;
      audio.format = parseWaveFormat(ByteReader(bytes));
      audio.scale = scale;
      audio.rate = rate;
      audio.length = length;
      headers.audio = audio;
    }
  }
}

// LIST "hdrl", chunk by chunk.
AviHeaders readHeaderList(RandomAccessFile& file, const RiffChunk& list) {
  AviHeaders headers;
  int streams = 0;
  RiffChunkWalker walker(file, list.dataOffset + 4, list.dataOffset + list.size);
  while (auto chunk = walker.next()) {
    if (chunk->id == "avih") {
      const std::string bytes = readHeaderChunk(file, *chunk);
      ByteReader body(bytes);
      headers.microSecondsPerFrame = body.u32le();
      body.skip(12);  // max bytes per second, padding granularity, flags
      headers.totalFrames = body.u32le();
    } else if (chunk->id == "LIST") {
      const std::string type = listType(file, *chunk);
      if (type == "strl" && streams++ < kMaxStreams) {
        readStreamList(file, *chunk, headers);
      } else if (type == "odml") {
        headers.openDml = true;
        RiffChunkWalker inner(file, chunk->dataOffset + 4, chunk->dataOffset + chunk->size);
        if (auto dmlh = inner.next(); dmlh && dmlh->id == "dmlh") {
          const std::string frames = readBlock(file, dmlh->dataOffset, 4);
          if (frames.size() == 4 && dmlh->size >= 4)
            headers.openDmlFrames = ByteReader(frames).u32le();
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
  std::u16string text = videoCodecName(video.codec);
  text += u", ";
  appendDecimal(text, static_cast<uint64_t>(width));
  text += u'x';
  appendDecimal(text, static_cast<uint64_t>(height));
  text += u", ";
  appendFixedDecimal(text, fps, 3);
  text += u"fps, ";
  appendDecimal(text, frames);
  text += u"Frames";
  return text;
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
        headers = readHeaderList(file, *chunk);
        haveHeaders = true;
      } else if (type == "INFO") {
        addInfoListValues(file, *chunk, "", info);
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
    info.facts.videoCodec = videoCodecFormat(video.codec);
    info.facts.width = static_cast<uint32_t>(video.width < 0 ? -int64_t{video.width} : video.width);
    info.facts.height =
        static_cast<uint32_t>(video.height < 0 ? -int64_t{video.height} : video.height);
    setFrameRate(info.facts, video.rate, video.scale);
  } else {
    info.set("VFMT", u"None");
  }
  if (headers.audio) {
    const AudioStream& audio = *headers.audio;
    if (!headers.video) durationMs = streamMilliseconds(audio.length, audio.scale, audio.rate);
    info.set("AFMT", waveFormatText(audio.format, ChannelStyle::kName));
    addWaveFormatFacts(audio.format, info.facts);
  } else {
    info.set("AFMT", u"None");
  }
  info.set("TIME", hoursMinutesSecondsText(durationMs / 1000));
  info.facts.durationMs = static_cast<int64_t>(durationMs);
}

}  // namespace sonavid::media
