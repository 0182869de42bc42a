// RIFF-wrapped MP3 ("RMP3"): the MPEG audio stream in a "data" chunk, tags in LIST "INFO";
// taggers may also append ID3v1 or APE tags after the RIFF chunk, and some put an ID3v2 tag
// in an "id3 " chunk.
#include "media/file_reads.h"
#include "media/mpeg_audio/mp3_values.h"
#include "media/riff/riff_chunks.h"
#include "media/riff/riff_forms.h"
#include "media/tags/trailing_tags.h"

namespace sonavid::media {

void readRmp3Form(RandomAccessFile& file, uint64_t end, MediaInfo& info) {
  const TrailingTags trailing = readTrailingTags(file, file.size());
  const uint64_t riffEnd = end < trailing.audioEnd ? end : trailing.audioEnd;
  std::optional<MpegStreamInfo> stream;
  RiffChunkWalker walker(file, 12, riffEnd);
  while (auto chunk = walker.next()) {
    if (chunk->id == "data" && !stream) {
      if (chunk->declaredSize == 0 || chunk->declaredSize == 0xFFFFFFFFu) {
        walker.extendToEnd(*chunk);
      }
      MpegStreamSearch search;
      search.start = chunk->dataOffset;
      search.end = chunk->dataOffset + chunk->size;
      search.trusted = true;
      stream = measureMpegStream(file, search);
    } else if (chunk->id == "LIST") {
      addInfoListValues(file, *chunk, "_rmp", info);
    } else if (chunk->id == "id3 " || chunk->id == "ID3 ") {
      const std::string tag = readBlock(
          file, chunk->dataOffset,
          static_cast<size_t>(chunk->size < kMaxBlockBytes ? chunk->size : kMaxBlockBytes));
      addId3v2Values(parseId3v2(tag), info);
    }
  }
  if (stream) addMpegStreamValues(*stream, info);
  if (trailing.ape) addApeValues(*trailing.ape, info);
  if (trailing.id3v1) {
    if (auto v1 = parseId3v1(*trailing.id3v1)) addId3v1Values(std::move(*v1), info);
  }
  addPlainTagValues(info);
}

}  // namespace sonavid::media
