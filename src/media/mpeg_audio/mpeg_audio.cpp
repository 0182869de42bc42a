// MP3 (and MP1/MP2) files: an optional ID3v2 tag, the frames, then optional APE, Lyrics3v2,
// appended ID3v2 and ID3v1 blocks. Frame sync alone is a weak signature, so this reader is tried
// last and accepts a file only when a tag is followed by a valid frame or several frame headers in
// a row agree.
#include <algorithm>
#include <utility>

#include "core/media_reader.h"
#include "media/block_cached_file.h"
#include "media/file_reads.h"
#include "media/formats.h"
#include "media/mpeg_audio/mp3_values.h"
#include "media/tags/id3v2.h"
#include "media/tags/trailing_tags.h"

namespace sonavid::media {
namespace {

// Transport packets looked at for their sync bytes, and the fewest a file must show.
constexpr int kTransportPacketsChecked = 4;
constexpr int kTransportPacketsNeeded = 2;
constexpr uint8_t kTransportSync = 0x47;

// Whether the file opens like an MPEG program stream (a pack header, a system header or a PES
// packet: 00 00 01 and a code from 0xBA on) or a transport stream (a 0x47 sync every 188
// bytes, or every 192 after a 4-byte time code as in M2TS). Their audio packets hold MPEG
// audio frames, and a run of them can pass for a stream of their own: such a file is never
// MPEG audio.
bool startsLikeMpegSystemStream(std::string_view head) {
  if (head.size() >= 4 && head[0] == 0 && head[1] == 0 && head[2] == 1 &&
      static_cast<uint8_t>(head[3]) >= 0xBA) {
    return true;
  }
  for (const size_t stride : {size_t{188}, size_t{192}}) {
    const size_t first = stride - 188;  // where the first sync byte is
    int packets = 0;
    for (size_t at = first; at < head.size() && packets < kTransportPacketsChecked;
         at += stride, ++packets) {
      if (static_cast<uint8_t>(head[at]) != kTransportSync) break;
    }
    const bool allPresentAgree =
        packets == kTransportPacketsChecked ||
        (packets >= kTransportPacketsNeeded && first + packets * stride >= head.size());
    if (allPresentAgree) return true;
  }
  return false;
}

}  // namespace

bool probeMpegAudio(std::string_view head) {
  if (startsLikeMpegSystemStream(head)) return false;
  // A frame sync right at the start or right after an ID3v2 tag.
  const uint64_t at = id3v2TagSize(head);
  return at < head.size() && head.size() - at >= 2 && static_cast<uint8_t>(head[at]) == 0xFF &&
         (static_cast<uint8_t>(head[at + 1]) & 0xE0) == 0xE0;
}

bool readMpegAudio(RandomAccessFile& rawFile, MediaInfo& info) {
  const uint64_t size = rawFile.size();
  // The head covers a short ID3v2 tag and the first frame after it; a longer tag is read whole.
  BlockCachedFile file(rawFile, 0, kHeadProbeBytes);
  const std::string_view head = file.block();
  if (startsLikeMpegSystemStream(head)) return false;

  uint64_t start = 0;
  std::optional<Id3v2Tag> id3v2 = readLeadingId3v2(file, head, start);
  const TrailingTags trailing = readTrailingTags(file, size);

  MpegStreamSearch search;
  search.start = start;
  search.end = std::max(trailing.audioEnd, start);
  search.trusted = id3v2.has_value();
  if (start < head.size()) search.prefetched = head.substr(static_cast<size_t>(start));
  const auto stream = measureMpegStream(file, search);
  if (!stream) return false;

  info.type = kTypeMp3;
  addMpegStreamValues(*stream, info);
  // An ID3v2 tag appended at the end counts when none leads the file.
  addStreamTagValues(std::move(id3v2), trailing, info);
  return true;
}

}  // namespace sonavid::media
