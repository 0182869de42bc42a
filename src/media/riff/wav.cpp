// WAVE: "fmt " (WAVEFORMATEX), "fact" (sample count of compressed data), "data", and
// LIST "INFO" tags, which may also come after the data.
#include "media/file_reads.h"
#include "media/values/playing_time.h"
#include "media/riff/riff_chunks.h"
#include "media/riff/riff_forms.h"
#include "media/riff/wave_format.h"

namespace sonavid::media {
namespace {

constexpr size_t kMaxFormatChunkBytes = 1024;

}  // namespace

void readWaveForm(RandomAccessFile& file, uint64_t end, MediaInfo& info) {
  std::optional<WaveFormat> format;
  std::optional<uint32_t> sampleCount;
  std::optional<uint64_t> dataBytes;
  RiffChunkWalker walker(file, 12, end);
  while (auto chunk = walker.next()) {
    if (chunk->id == "fmt " && !format) {
      const std::string bytes =
          readBlock(file, chunk->dataOffset,
                    static_cast<size_t>(chunk->size < kMaxFormatChunkBytes ? chunk->size
                                                                           : kMaxFormatChunkBytes));
      if (bytes.size() >= 14) format = parseWaveFormat(ByteReader(bytes));
    } else if (chunk->id == "fact" && !sampleCount) {
      const std::string bytes = readBlock(file, chunk->dataOffset, 4);
      if (bytes.size() == 4 && chunk->size >= 4) sampleCount = ByteReader(bytes).u32le();
    } else if (chunk->id == "data" && !dataBytes) {
      if (chunk->declaredSize == 0 || chunk->declaredSize == 0xFFFFFFFFu ||
          chunk->size < chunk->declaredSize) {
        walker.extendToEnd(*chunk);
      }
      dataBytes = chunk->size;
    } else if (chunk->id == "LIST") {
      addInfoListValues(file, *chunk, "", info);
    }
  }
  if (!format) return;

  const uint64_t bytes = dataBytes.value_or(0);
  // PCM and float: bytes over the byte rate. Compressed formats (ADPCM, MP3 ...): the sample
  // count of the "fact" chunk, whose byte rate writers often fill in loosely.
  const bool uncompressed = format->tag == 1 || format->tag == 3;
  uint64_t durationMs = 0;
  if (!uncompressed && sampleCount && format->sampleRate != 0) {
    durationMs = uint64_t{*sampleCount} * 1000 / format->sampleRate;
  } else if (format->avgBytesPerSecond != 0) {
    durationMs = bytes * 1000 / format->avgBytesPerSecond;
  } else if (format->blockAlign != 0 && format->sampleRate != 0) {
    durationMs = bytes * 1000 / (uint64_t{format->blockAlign} * format->sampleRate);
  }
  info.set("TIME", minutesSecondsText(durationMs / 1000));
  info.set("AFMT", waveFormatText(*format, ChannelStyle::kCount));
  info.set("VFMT", u"");
}

}  // namespace sonavid::media
