#include "media/adts/adts.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "common/text.h"
#include "core/media_reader.h"
#include "media/block_cached_file.h"
#include "media/file_reads.h"
#include "media/mpeg_audio/mp3_values.h"
#include "media/streams/adts_header.h"
#include "media/streams/frame_hops.h"
#include "media/tags/id3v2.h"
#include "media/tags/trailing_tags.h"
#include "media/values/playing_time.h"
#include "media/values/whole_number.h"

namespace sonavid::media {
namespace {

// Frames in a row of one stream that make bytes an ADTS stream (fewer when the file holds fewer).
constexpr int kConfirmFrames = 4;
// Bytes looked at at once while counting frames. Where they lie decides which frames a resync
// after damage can confirm, so they stay the same whatever was read.
constexpr size_t kCountChunkBytes = 64 * 1024;
// The first read of the stream: a short file's stream (a quarter of a minute at 128 kbit/s) with
// its trailing tags; its counting chunks are then views of it.
constexpr size_t kStreamBlockBytes = 256 * 1024;
// How far counting looks for the next frame after damage before it stops.
constexpr size_t kResyncBytes = 64 * 1024;

// True when `count` frames of one stream follow each other from the start of `bytes` (or, when
// the bytes end sooner, at least two headers of whole frames or of a whole one and the next).
bool framesInRow(std::string_view bytes, int count, AdtsHeader& first) {
  if (!parseAdtsHeader(bytes, first)) return false;
  AdtsHeader header = first;
  size_t at = 0;
  for (int i = 1; i < count; ++i) {
    at += header.frameBytes;
    if (bytes.size() - std::min(at, bytes.size()) < kAdtsHeaderBytes) return i >= 2;
    if (!parseAdtsHeader(bytes.substr(at), header) || !sameAdtsStream(first, header)) return false;
  }
  return true;
}

struct FrameCount {
  uint64_t frames = 0;
  uint64_t samples = 0;
  uint64_t bytes = 0;
};

// A run of hops from header to header (see hopInTwoRuns): where it stands and what it passed.
struct Hops {
  std::string_view chunk;
  uint64_t left;  // the frames end within this many bytes of the chunk's start
  const AdtsFrameHop* hop;
  size_t pos;
  uint64_t frames = 0;
  uint64_t blocks = 0;

  // One hop, when the hop takes the header at `pos` (which the chunk holds) and its frame ends
  // within `left`.
  bool step() {
    const auto* bytes = reinterpret_cast<const uint8_t*>(chunk.data());
    if (chunk.size() - kAdtsHeaderBytes < pos) return false;
    const uint32_t frameBytes = hop->frameBytesUnchecked(bytes + pos);
    if (frameBytes == 0 || left - pos < frameBytes) return false;
    ++frames;
    blocks += AdtsFrameHop::blocksUnchecked(bytes + pos);
    pos += frameBytes;
    return true;
  }
  void take(const Hops& other) {
    pos = other.pos;
    frames += other.frames;
    blocks += other.blocks;
  }
};

// Where the first header the hop takes lies at or after `from`; npos when none does.
size_t findHeader(std::string_view chunk, size_t from, const AdtsFrameHop& hop) {
  while (from + kAdtsHeaderBytes <= chunk.size()) {
    const void* sync =
        std::memchr(chunk.data() + from, 0xFF, chunk.size() - kAdtsHeaderBytes + 1 - from);
    if (sync == nullptr) break;
    from = static_cast<size_t>(static_cast<const char*>(sync) - chunk.data());
    if (hop.frameBytesUnchecked(reinterpret_cast<const uint8_t*>(chunk.data()) + from) != 0) {
      return from;
    }
    ++from;
  }
  return std::string_view::npos;
}

// The usual case: the stream's headers one after another, each where the last frame ended.
// Hops from `pos` for as long as `chunk` holds the next header and the hop takes it, the frame
// ending within `left` bytes of the chunk's start; returns where it stopped.
size_t hopFrames(std::string_view chunk, size_t pos, uint64_t left, const AdtsFrameHop& hop,
                 FrameCount& count) {
  const Hops first = hopInTwoRuns(
      Hops{chunk, left, &hop, pos},
      Hops{chunk, left, &hop, findHeader(chunk, pos + (chunk.size() - pos) / 2, hop)});
  count.frames += first.frames;
  count.samples += first.blocks * kAdtsSamplesPerBlock;
  count.bytes += first.pos - pos;
  return first.pos;
}

// Hops from frame header to frame header from `start` to `end`; after damage, looks for the
// next frame of the stream within kResyncBytes.
FrameCount countFrames(RandomAccessFile& file, uint64_t start, uint64_t end,
                       const AdtsHeader& first) {
  FrameCount count;
  const AdtsFrameHop hop(first);
  ReadBuffer buffer;
  uint64_t at = start;
  uint64_t resyncFrom = 0;
  bool resyncing = false;
  while (at < end) {
    // The first chunks are usually held by the file already.
    const std::string_view chunk = viewBlock(
        file, at, static_cast<size_t>(std::min<uint64_t>(kCountChunkBytes, end - at)), buffer);
    if (chunk.size() < kAdtsHeaderBytes) break;
    size_t pos = 0;
    bool stop = false;
    // Only the headers are looked at: a frame may end beyond the chunk, the next chunk is read
    // from the header after it.
    while (pos <= chunk.size() - kAdtsHeaderBytes) {
      if (!resyncing) {
        pos = hopFrames(chunk, pos, end - at, hop, count);
        if (pos > chunk.size() - kAdtsHeaderBytes) break;
      }
      // A header the hop did not take: damage, the stream's end, or a frame the quick check
      // cannot judge.
      AdtsHeader header;
      if (parseAdtsHeader(chunk.substr(pos), header) && sameAdtsStream(first, header) &&
          (!resyncing || framesInRow(chunk.substr(pos), 2, header))) {
        if (end - (at + pos) < header.frameBytes) {  // cut off by the end of the stream
          stop = true;
          break;
        }
        ++count.frames;
        count.samples += header.samples;
        count.bytes += header.frameBytes;
        pos += header.frameBytes;
        resyncing = false;
        continue;
      }
      if (!resyncing) {
        resyncing = true;
        resyncFrom = at + pos;
      } else if (at + pos - resyncFrom > kResyncBytes) {
        stop = true;
        break;
      }
      ++pos;
    }
    if (stop) break;
    at += pos;
  }
  return count;
}

}  // namespace

bool probeAdts(std::string_view head) {
  const uint64_t at = id3v2TagSize(head);
  AdtsHeader first;
  return at < head.size() &&
         framesInRow(head.substr(static_cast<size_t>(at)), kConfirmFrames, first);
}

bool readAdts(RandomAccessFile& rawFile, MediaInfo& info) {
  const uint64_t size = rawFile.size();
  BlockCachedFile file(rawFile, 0, kHeadProbeBytes);
  const std::string_view head = file.block();

  uint64_t start = 0;
  std::optional<Id3v2Tag> id3v2 = readLeadingId3v2(file, head, start);
  // A file without a frame header where its stream should start is turned down before the
  // stream is read.
  char firstBytes[kAdtsHeaderBytes];
  ReadBuffer firstStorage(firstBytes, sizeof firstBytes);
  AdtsHeader first;
  if (!parseAdtsHeader(viewBlock(file, start, kAdtsHeaderBytes, firstStorage), first)) return false;
  // The stream is read in one block from its start on; in a short file that block holds the
  // trailing tags too, so the end of the file is not read apart.
  BlockCachedFile stream(file, start, kStreamBlockBytes);
  if (!framesInRow(stream.block().substr(0, kHeadProbeBytes), kConfirmFrames, first)) return false;
  const TrailingTags trailing = readTrailingTags(stream, size);
  const FrameCount count = countFrames(stream, start, std::max(trailing.audioEnd, start), first);
  if (count.frames == 0) return false;

  info.type = kTypeAdts;
  const uint32_t rate = first.format.sampleRate;
  const uint64_t ms = count.samples * 1000 / rate;
  const auto kbps = static_cast<uint32_t>(kilobitsPerSecond(count.bytes, count.samples, rate));
  info.set("TIME", minutesSecondsText(ms / 1000));
  std::u16string format = asciiToUtf16(adtsProfileName(first.profile));
  format += u", ";
  appendDecimal(format, rate);
  format += u"Hz, ";
  appendDecimal(format, first.format.channels);
  format += u"ch, ";
  appendDecimal(format, kbps);
  format += u"Kbps";
  info.set("AFMT", format);
  info.facts.durationMs = static_cast<int64_t>(ms);
  addAudioFacts(first.format, info.facts);
  info.facts.audioKbps = kbps;

  addStreamTagValues(std::move(id3v2), trailing, info);
  return true;
}

}  // namespace sonavid::media
