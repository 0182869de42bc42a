// WAVE: "fmt " (WAVEFORMATEX), "fact" (sample count of compressed data), "data", and
// LIST "INFO" tags, which may also come after the data; an "id3 " chunk with an ID3v2 tag.
// RF64/BW64: "ds64" first, holding the 64-bit RIFF size, data size and sample count, then a
// table of other chunks' sizes; a chunk whose 32-bit size is 0xFFFFFFFF takes its size from
// there.
#include "media/file_reads.h"
#include "media/values/playing_time.h"
#include "media/riff/riff_chunks.h"
#include "media/riff/riff_forms.h"
#include "media/riff/wave_format.h"
#include "media/tags/id3v2_plain.h"

namespace sonavid::media {
namespace {

constexpr size_t kMaxFormatChunkBytes = 1024;

}  // namespace

void readWaveForm(RandomAccessFile& file, uint64_t end, MediaInfo& info) {
  std::optional<WaveFormat> format;
  std::optional<uint64_t> sampleCount;
  std::optional<uint64_t> dataBytes;
  uint64_t promisedDataBytes = 0;  // what the header says the data chunk holds, when it says
  std::optional<uint64_t> wideDataBytes;
  std::optional<uint64_t> wideSampleCount;
  RiffChunkWalker walker(file, 12, end);
  while (auto chunk = walker.next()) {
    if (chunk->id == "ds64" && !wideDataBytes) {
      const std::string bytes = readBlock(file, chunk->dataOffset, 24);
      ByteReader ds64(bytes);
      ds64.skip(8);  // the RIFF size
      const uint64_t data = ds64.u64le();
      const uint64_t samples = ds64.u64le();
      if (ds64.ok() && chunk->size >= 24) {
        wideDataBytes = data;
        wideSampleCount = samples;
      }
    } else if (chunk->id == "fmt " && !format) {
      const std::string bytes =
          readBlock(file, chunk->dataOffset,
                    static_cast<size_t>(chunk->size < kMaxFormatChunkBytes ? chunk->size
                                                                           : kMaxFormatChunkBytes));
      if (bytes.size() >= 14) format = parseWaveFormat(ByteReader(bytes));
    } else if (chunk->id == "fact" && !sampleCount) {
      const std::string bytes = readBlock(file, chunk->dataOffset, 4);
      if (bytes.size() == 4 && chunk->size >= 4) sampleCount = ByteReader(bytes).u32le();
      if (sampleCount == 0xFFFFFFFFu) sampleCount = wideSampleCount;
    } else if (chunk->id == "data" && !dataBytes) {
      if (chunk->declaredSize == 0xFFFFFFFFu && wideDataBytes) {
        walker.resize(*chunk, *wideDataBytes);
        promisedDataBytes = *wideDataBytes;
      } else {
        if (chunk->declaredSize != 0 && chunk->declaredSize != 0xFFFFFFFFu) {
          promisedDataBytes = chunk->declaredSize;
        }
        if (promisedDataBytes == 0 || chunk->size < chunk->declaredSize) {
          walker.extendToEnd(*chunk);
        }
      }
      dataBytes = chunk->size;
    } else if (chunk->id == "LIST") {
      addInfoListValues(file, *chunk, "", info);
    } else if (chunk->id == "id3 " || chunk->id == "ID3 ") {
      // Taggers keep the album facts, which INFO has no items for, in an ID3v2 tag.
      const std::string tag = readBlock(
          file, chunk->dataOffset,
          static_cast<size_t>(chunk->size < kMaxBlockBytes ? chunk->size : kMaxBlockBytes));
      info.album.fillFrom(id3v2AlbumFacts(parseId3v2(tag)));
    }
  }
  if (!format) return;

  const uint64_t bytes = dataBytes.value_or(0);
  // PCM and float: bytes over the byte rate. Compressed formats (ADPCM, MP3 ...): the sample
  // count of the "fact" chunk, whose byte rate writers often fill in loosely.
  const bool uncompressed = format->tag == 1 || format->tag == 3;
  uint64_t durationMs = 0;
  if (!uncompressed && sampleCount && format->sampleRate != 0) {
    const uint64_t rate = format->sampleRate;
    durationMs = *sampleCount / rate * 1000 + *sampleCount % rate * 1000 / rate;
    // A cut-off file holds only part of the samples its header counts.
    if (bytes < promisedDataBytes) {
      durationMs = static_cast<uint64_t>(static_cast<double>(durationMs) *
                                         (static_cast<double>(bytes) / promisedDataBytes));
    }
  } else if (format->avgBytesPerSecond != 0) {
    durationMs = bytes * 1000 / format->avgBytesPerSecond;
  } else if (format->blockAlign != 0 && format->sampleRate != 0) {
    durationMs = bytes * 1000 / (uint64_t{format->blockAlign} * format->sampleRate);
  }
  info.set("TIME", minutesSecondsText(durationMs / 1000));
  info.set("AFMT", waveFormatText(*format, ChannelStyle::kCount));
  info.set("VFMT", u"");
  info.facts.durationMs = static_cast<int64_t>(durationMs);
  addWaveFormatFacts(*format, info.facts);
}

}  // namespace sonavid::media
