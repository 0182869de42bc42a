#include "media/mpegps/mpegps.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "core/media_reader.h"
#include "media/byte_reader.h"
#include "media/file_reads.h"
#include "media/streams/mpeg_video.h"
#include "media/streams/pes_packet.h"
#include "media/streams/stream_format.h"
#include "media/streams/timestamp_span.h"

namespace sonavid::media {
namespace {

constexpr uint8_t kPackStart = 0xBA;
constexpr uint8_t kProgramEnd = 0xB9;
constexpr uint8_t kPrivateStream1 = 0xBD;
constexpr uint8_t kNavigationStream = 0xBF;
constexpr size_t kMpeg1PackBytes = 12;
constexpr size_t kMpeg2PackBytes = 14;
constexpr size_t kPrivateHeaderBytes = 4;  // sub-stream id, frame count, first access unit
// The head and tail are read in growing steps, as for transport streams.
constexpr size_t kHeadReads[] = {256 * 1024, 1024 * 1024, 4 * 1024 * 1024};
constexpr size_t kTailReads[] = {128 * 1024, 1024 * 1024, 4 * 1024 * 1024};
constexpr size_t kMaxStreamBytes = 512 * 1024;
constexpr size_t kMaxStreams = 64;
constexpr size_t kVideoLookStep = 16 * 1024;

// One PES packet of an audio or video stream: its key (stream id, with the sub-stream id of a
// private stream 1 packet in the low byte), its kind and its payload (sub-stream header removed).
struct PesUnit {
  uint16_t key = 0;
  StreamKind kind = StreamKind::kNone;
  std::optional<uint64_t> pts;
  std::string_view payload;
};

// The pack header's length at the start of `bytes`, 0 when it is not one.
size_t packHeaderBytes(std::string_view bytes) {
  if (bytes.size() < kMpeg1PackBytes || bytes.substr(0, 4) != std::string_view("\0\0\1\xBA", 4)) {
    return 0;
  }
  const uint8_t marker = static_cast<uint8_t>(bytes[4]);
  if ((marker & 0xF0) == 0x20) return kMpeg1PackBytes;
  if ((marker & 0xC0) != 0x40 || bytes.size() < kMpeg2PackBytes) return 0;
  return kMpeg2PackBytes + (static_cast<uint8_t>(bytes[13]) & 7);
}

// The kind and key of a PES packet of `streamId`; the payload loses the sub-stream header.
void identify(uint8_t streamId, PesUnit& unit) {
  unit.key = static_cast<uint16_t>(streamId << 8);
  if (streamId >= 0xE0 && streamId <= 0xEF) {
    unit.kind = StreamKind::kMpeg2Video;
  } else if (streamId >= 0xC0 && streamId <= 0xDF) {
    unit.kind = StreamKind::kMpegAudio;
  } else if (streamId == kPrivateStream1 && !unit.payload.empty()) {
    const uint8_t sub = static_cast<uint8_t>(unit.payload[0]);
    unit.key |= sub;
    if (sub >= 0xA0 && sub <= 0xA7) {
      unit.kind = StreamKind::kLpcmDvd;
      unit.payload.remove_prefix(1);  // the LPCM header reader starts after the sub-stream id
      return;
    }
    if ((sub >= 0x80 && sub <= 0x87) || (sub >= 0xC0 && sub <= 0xCF)) unit.kind = StreamKind::kAc3;
    if (sub >= 0x88 && sub <= 0x8F) unit.kind = StreamKind::kDts;
    if (unit.kind != StreamKind::kNone) {
      unit.payload.remove_prefix(std::min(kPrivateHeaderBytes, unit.payload.size()));
    }
  }
}

// Where the next start code (00 00 01) begins at or after `at`; npos when none does. Packets
// usually follow each other, so the first look finds it; else the search goes from one byte 1 to
// the next (junk, damage, the runs of zeros some multiplexers leave at a pack's end).
size_t findStartCode(std::string_view bytes, size_t at) {
  if (at > bytes.size() || bytes.size() - at < 3) return std::string_view::npos;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  if (p[at] == 0 && p[at + 1] == 0 && p[at + 2] == 1) return at;
  for (size_t one = at + 2; one < bytes.size(); ++one) {
    const void* found = std::memchr(p + one, 1, bytes.size() - one);
    if (found == nullptr) break;
    one = static_cast<size_t>(static_cast<const uint8_t*>(found) - p);
    if (p[one - 1] == 0 && p[one - 2] == 0) return one - 2;
  }
  return std::string_view::npos;
}

// Walks the packs of `bytes`, calling `visit(unit)` for each audio or video PES packet and
// noting navigation packs. After damage or junk it looks for the next start code of a pack or
// packet.
template <typename Visit>
void forEachPes(std::string_view bytes, bool& navigation, Visit visit) {
  size_t at = 0;
  while (true) {
    at = findStartCode(bytes, at);
    if (at == std::string_view::npos || bytes.size() - at < 4) return;
    const uint8_t id = static_cast<uint8_t>(bytes[at + 3]);
    if (id == kPackStart) {
      const size_t length = packHeaderBytes(bytes.substr(at));
      at += length == 0 ? 3 : length;
      continue;
    }
    if (id <= kProgramEnd) {
      at += id == kProgramEnd ? 4 : 3;
      continue;
    }
    // The system header and every PES packet: a length after the start code.
    if (bytes.size() - at < 6) return;
    const size_t length =
        (size_t{static_cast<uint8_t>(bytes[at + 4])} << 8) | static_cast<uint8_t>(bytes[at + 5]);
    const std::string_view packet = bytes.substr(at, 6 + length);
    if (id == kNavigationStream) navigation = true;
    PesHeader header;
    if (id > 0xBB && parsePesHeader(packet, true, header) &&
        header.payloadOffset <= packet.size()) {
      PesUnit unit;
      unit.pts = header.pts;
      unit.payload = packet.substr(header.payloadOffset);
      identify(id, unit);
      if (unit.kind != StreamKind::kNone) visit(unit);
    }
    at += 6 + length;
  }
}

struct StreamReading {
  uint16_t key = 0;
  StreamKind kind = StreamKind::kNone;
  std::string bytes;   // the stream's first payload bytes
  size_t triedAt = 0;  // how many of them the last look for a header saw
  bool found = false;
  AudioFormat audio;
  VideoFormat video;

  void add(const PesUnit& unit) {
    if (found) return;
    if (key == 0) {
      key = unit.key;
      kind = unit.kind;
    }
    if (unit.key != key) return;
    // Usually the first video packet holds the whole sequence header: what follows cannot
    // change it, so the stream's bytes need not be gathered.
    if (isVideoKind(kind) && bytes.empty() && findWholeMpegVideoSequence(unit.payload, video)) {
      found = true;
      return;
    }
    // An LPCM header starts every packet; the other streams' headers may span packets.
    if (kind == StreamKind::kLpcmDvd) bytes.clear();
    if (bytes.size() >= kMaxStreamBytes) return;
    bytes.append(unit.payload.substr(0, kMaxStreamBytes - bytes.size()));
    // Video is looked at in steps, not after every packet: its header may lie far in.
    if (!isVideoKind(kind) || bytes.size() - triedAt >= kVideoLookStep) look();
  }
  void look() {
    if (found || bytes.size() == triedAt) return;
    triedAt = bytes.size();
    if (isVideoKind(kind)) {
      // H.264 in a program stream has the same stream ids as MPEG video.
      found =
          readVideoFormat(kind, bytes, video) || readVideoFormat(StreamKind::kH264, bytes, video);
    } else {
      found = readAudioFormat(kind, bytes, audio);
    }
  }
  uint64_t unitTicks() const {
    return found ? frameTicks(kind, audio, video) : 0;
  }
};

// The streams the head holds (up to kMaxStreams), in the order their first stamps come.
class StreamKeys {
 public:
  bool contains(uint16_t key) const {
    return std::find(keys_.begin(), keys_.begin() + count_, key) != keys_.begin() + count_;
  }
  bool full() const { return count_ == keys_.size(); }
  void add(uint16_t key) { keys_[count_++] = key; }

 private:
  std::array<uint16_t, kMaxStreams> keys_{};
  size_t count_ = 0;
};

// Of the stamps offered, the one lying furthest after `reference` by less than half the clock's
// range: the one a TimestampSpan keeps of stamps that share one unit length. A walk over a file
// the head holds whole notes the tail's stamps so, before the units' lengths are known.
class FurthestStamp {
 public:
  void offer(uint64_t stamp, uint64_t reference) {
    const uint64_t distance = (stamp - reference) & (kPtsWrap - 1);
    if (distance > kPtsWrap / 2 || (stamp_ && distance <= distance_)) return;
    stamp_ = stamp;
    distance_ = distance;
  }
  void giveTo(TimestampSpan& span, uint64_t unitTicks) const {
    if (stamp_) span.atTail(*stamp_, unitTicks);
  }

 private:
  std::optional<uint64_t> stamp_;
  uint64_t distance_ = 0;
};

struct Reading {
  StreamReading audio;
  StreamReading video;
  TimestampSpan span;
  bool navigation = false;
  StreamKeys headKeys;  // the streams the head holds
  // Only when the head holds the whole file: its stamps as the tail's, for the audio stream,
  // the video stream and the others.
  std::optional<uint64_t> reference;
  FurthestStamp audioEnd;
  FurthestStamp videoEnd;
  FurthestStamp otherEnd;
};

// Walks the head once. When it holds the whole file (`wholeFile`), the same walk also notes
// every stamp as the tail's, so the file is not walked a second time.
void readHead(std::string_view head, bool wholeFile, Reading& reading) {
  reading = Reading{};
  forEachPes(head, reading.navigation, [&](const PesUnit& unit) {
    // Each stream's first stamp: later ones at the head may have jumped back.
    if (unit.pts && !reading.headKeys.full() && !reading.headKeys.contains(unit.key)) {
      reading.headKeys.add(unit.key);
      reading.span.atHead(*unit.pts);
      if (!reading.reference) reading.reference = *unit.pts & (kPtsWrap - 1);
    }
    (isVideoKind(unit.kind) ? reading.video : reading.audio).add(unit);
    // As readTail takes them; each stream's key is set by its first packet, added above.
    if (!wholeFile || !unit.pts || !reading.headKeys.contains(unit.key)) return;
    FurthestStamp& end = unit.key == reading.audio.key   ? reading.audioEnd
                         : unit.key == reading.video.key ? reading.videoEnd
                                                         : reading.otherEnd;
    end.offer(*unit.pts, *reading.reference);
  });
  reading.video.look();
  reading.audio.look();
  if (wholeFile) {
    reading.audioEnd.giveTo(reading.span, reading.audio.unitTicks());
    reading.videoEnd.giveTo(reading.span, reading.video.unitTicks());
    reading.otherEnd.giveTo(reading.span, 0);
  }
}

bool readTail(std::string_view tail, Reading& reading) {
  // The walk starts at a pack header: start codes inside the packet cut at the block's start
  // would be taken for packets.
  size_t pack = 0;
  while ((pack = tail.find(std::string_view("\0\0\1\xBA", 4), pack)) != std::string_view::npos &&
         packHeaderBytes(tail.substr(pack)) == 0) {
    ++pack;
  }
  if (pack == std::string_view::npos) return false;
  // Every stamp counts, not only each stream's last: with reordered pictures the last packet
  // is not the latest picture.
  bool found = false;
  bool navigation = false;
  forEachPes(tail.substr(pack), navigation, [&](const PesUnit& unit) {
    if (!unit.pts || !reading.headKeys.contains(unit.key)) return;
    const uint64_t ticks = unit.key == reading.audio.key   ? reading.audio.unitTicks()
                           : unit.key == reading.video.key ? reading.video.unitTicks()
                                                           : 0;
    reading.span.atTail(*unit.pts, ticks);
    found = true;
  });
  return found;
}

}  // namespace

bool probeMpegPs(std::string_view head) { return packHeaderBytes(head) != 0; }

bool readMpegPs(RandomAccessFile& file, MediaInfo& info) {
  const uint64_t size = file.size();
  // The pack header is checked in the bytes every reader has read before the longer reads.
  ReadBuffer probeStorage;
  if (packHeaderBytes(viewBlock(file, 0, kMpeg2PackBytes, probeStorage)) == 0) return false;
  HeadBytes head;
  Reading reading;
  for (const size_t want : kHeadReads) {
    head.extend(file, want);
    const bool wholeFile = head.view().size() >= size;
    readHead(head.view(), wholeFile, reading);
    const bool both = reading.audio.found && reading.video.found;
    const bool one = reading.audio.found || reading.video.found;
    if (wholeFile || both || (one && want >= kHeadReads[1])) break;
  }

  info.type = kTypeMpegPs;
  info.set("DOCTYPE", reading.navigation ? u"vob" : u"mpeg");
  if (head.view().size() < size) {
    // A tail stretch may reach back into the head: a short one might hold no whole pack.
    ReadBuffer tailStorage;
    for (const size_t want : kTailReads) {
      const uint64_t start = size - std::min<uint64_t>(want, size);
      if (readTail(viewBlock(file, start, static_cast<size_t>(size - start), tailStorage),
                   reading) ||
          start == 0) {
        break;
      }
    }
  }
  setStreamValues(reading.span.milliseconds(), reading.audio.found ? &reading.audio.audio : nullptr,
                  reading.video.found ? &reading.video.video : nullptr, info);
  return true;
}

}  // namespace sonavid::media
