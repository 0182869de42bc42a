// Matroska / WebM file layout. The EBML header (DocType "matroska" or "webm") is followed by
// one Segment; its top-level elements are reached by positioned reads: the SeekHead gives
// where Info, Tracks and Tags are (SeekPosition counts from the start of the Segment's body),
// so a movie's Clusters are never read. Without a SeekHead the top level is walked element by
// element, a bounded number of them. When Info has no Duration (a live capture) the length is
// the latest block timestamp in the last Cluster, looked for in a bounded stretch at the end.
// Bytes at the top level that are no element of it (junk a live stream's writer left) are
// passed over: the walk goes on at the next top-level element ID found within a bounded
// stretch, as players do.
#include "media/matroska/matroska.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/media_reader.h"
#include "media/byte_reader.h"
#include "media/file_reads.h"
#include "media/matroska/ebml.h"
#include "media/matroska/matroska_segment.h"
#include "media/read_ahead_file.h"
#include "media/values/whole_number.h"

namespace sonavid::media {

namespace {

using namespace matroska;

// Bytes of the EBML header looked at (its fields are a few dozen bytes).
constexpr size_t kMaxEbmlHeaderBytes = 1024;
// Top-level elements before the Segment (Void elements some writers leave) that are skipped.
constexpr int kMaxElementsBeforeSegment = 8;
// Top-level elements of the Segment walked in order, from its start. Without a SeekHead the
// walk goes on past Clusters (one header read each) up to this many, looking for Tags.
constexpr int kMaxTopLevelElements = 64;
// SeekHeads read: the first may point to a second one at the end of the file.
constexpr int kMaxSeekHeads = 4;
// Largest part of each element read: the SeekHead, Info, Tracks (codec private data can be
// large) and Tags.
constexpr size_t kMaxSeekHeadBytes = 64 * 1024;
constexpr size_t kMaxInfoBytes = 64 * 1024;
constexpr size_t kMaxTracksBytes = 1024 * 1024;
constexpr size_t kMaxTagsBytes = 1024 * 1024;
// Read-ahead block for element headers that lie past the head.
constexpr size_t kHeaderReadAheadBytes = 4096;
// The stretch at the end searched for the last Cluster: first this much, then the larger
// stretch (a live capture's Cluster of a few seconds of HD video is a few megabytes).
constexpr size_t kFirstLastClusterBytes = 64 * 1024;
constexpr size_t kMaxLastClusterBytes = 8 * 1024 * 1024;
// Junk at the top level: how far the next element is looked for, and how often.
constexpr size_t kMaxResyncBytes = 64 * 1024;
constexpr int kMaxResyncs = 4;
constexpr uint32_t kChaptersId = 0x1043A770;
constexpr uint32_t kAttachmentsId = 0x1941A469;
constexpr uint32_t kVoidId = 0xEC;
constexpr uint32_t kCrc32Id = 0xBF;
// The top-level elements a resync looks for (their four-byte IDs are unlikely in junk).
constexpr uint32_t kResyncIds[] = {kSeekHeadId, kInfoId, kTracksId,   kTagsId,
                                   kClusterId,  kCuesId, kChaptersId, kAttachmentsId};

bool isTopLevelId(uint32_t id) {
  return id == kVoidId || id == kCrc32Id ||
         std::find(std::begin(kResyncIds), std::end(kResyncIds), id) != std::end(kResyncIds);
}

constexpr std::string_view kEbmlMagic("\x1A\x45\xDF\xA3", 4);

// The DocType of the EBML header at the start of `head` ("" when it is not one, "matroska"
// when the header names none).
std::string_view docTypeOf(std::string_view head, int& budget) {
  if (!head.starts_with(kEbmlMagic)) return {};
  ByteReader reader(head);
  ebml::Header header;
  if (!ebml::readHeader(reader, header)) return {};
  const size_t size =
      header.unknownSize ? reader.remaining()
                         : static_cast<size_t>(std::min<uint64_t>(header.size, reader.remaining()));
  ebml::Children children(reader.bytes(size), budget);
  for (ebml::Children::Child c; children.next(c);) {
    if (c.id == kDocTypeId && !c.cut) {
      const std::string_view type = ebml::stringValue(c.body);
      return type == "matroska" || type == "webm" ? type : std::string_view();
    }
  }
  return "matroska";
}

class SegmentReader {
 public:
  SegmentReader(RandomAccessFile& file, Segment& segment) : file_(file), segment_(segment) {}

  // Reads the Segment whose header is at `offset`. False when there is none.
  bool read(uint64_t offset);
  std::optional<uint64_t> seconds();

 private:
  struct Position {
    uint64_t at = 0;  // absolute; 0: none
    bool read = false;
  };

  bool headerAt(uint64_t offset, ebml::Header& header) {
    if (offset >= end_) return false;
    const size_t count =
        static_cast<size_t>(std::min<uint64_t>(ebml::kMaxHeaderBytes, end_ - offset));
    ByteReader reader(viewBlock(file_, offset, count, storage_));
    return ebml::readHeader(reader, header);
  }
  // The body of the element at `offset` with `header`, as far as the Segment and `cap` allow.
  std::string_view bodyOf(uint64_t offset, const ebml::Header& header, size_t cap) {
    const uint64_t bodyAt = offset + header.headerBytes;
    if (bodyAt >= end_) return {};
    uint64_t size = header.unknownSize ? end_ - bodyAt : std::min(header.size, end_ - bodyAt);
    size = std::min<uint64_t>(size, cap);
    return viewBlock(file_, bodyAt, static_cast<size_t>(size), storage_);
  }
  void readSeekHead(std::string_view body);
  // Reads the element at `offset` when it is one the reader wants and has not read yet.
  void readElement(uint64_t offset, const ebml::Header& header);
  // Reads the element a SeekHead points to, when it is of the type named there.
  void follow(Position& position, uint32_t id);
  std::optional<uint64_t> lastBlockTimestamp();
  // Where the next top-level element starts at or after `from`, within kMaxResyncBytes.
  std::optional<uint64_t> nextTopLevelElement(uint64_t from);

  RandomAccessFile& file_;
  Segment& segment_;
  ReadBuffer storage_;
  uint64_t body_ = 0;  // where the Segment's body starts
  uint64_t end_ = 0;   // where it ends (the end of the file when its size is unknown)
  int seekHeads_ = 0;
  Position info_, tracks_, tags_;
  std::vector<uint64_t> moreSeekHeads_;
};

bool SegmentReader::read(uint64_t offset) {
  end_ = file_.size();
  ebml::Header header;
  if (!headerAt(offset, header) || header.id != kSegmentId) return false;
  body_ = offset + header.headerBytes;
  // A size past the end of the file: a file cut short, read as far as it goes.
  if (!header.unknownSize && header.size < end_ - std::min(body_, end_)) end_ = body_ + header.size;

  // The top level in order, up to the first Cluster (with a SeekHead) or a bounded scan.
  uint64_t at = body_;
  int resyncs = 0;
  for (int n = 0; n < kMaxTopLevelElements; ++n) {
    const bool parsed = headerAt(at, header);
    if (parsed && (header.id == kSegmentId || header.id == kEbmlId)) break;  // a next file
    if (!parsed || !isTopLevelId(header.id)) {
      if (at >= end_ || ++resyncs > kMaxResyncs) break;
      const std::optional<uint64_t> next = nextTopLevelElement(at + 1);
      if (!next) break;
      at = *next;
      continue;
    }
    if (header.id == kClusterId && seekHeads_ > 0) break;
    readElement(at, header);
    if (info_.read && tracks_.read && tags_.read) break;
    const uint64_t bodyAt = at + header.headerBytes;
    if (header.unknownSize || header.size >= end_ - std::min(bodyAt, end_)) break;
    at = bodyAt + header.size;
  }
  // Then what the SeekHeads point to: further SeekHeads first, for where Tags are.
  for (size_t i = 0; i < moreSeekHeads_.size() && seekHeads_ < kMaxSeekHeads; ++i) {
    if (headerAt(moreSeekHeads_[i], header) && header.id == kSeekHeadId) {
      readElement(moreSeekHeads_[i], header);
    }
  }
  follow(info_, kInfoId);
  follow(tracks_, kTracksId);
  follow(tags_, kTagsId);
  return true;
}

std::optional<uint64_t> SegmentReader::nextTopLevelElement(uint64_t from) {
  if (from >= end_) return std::nullopt;
  const std::string_view bytes = viewBlock(
      file_, from, static_cast<size_t>(std::min<uint64_t>(kMaxResyncBytes, end_ - from)), storage_);
  for (size_t i = 0; i + 4 <= bytes.size(); ++i) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + i);
    const uint32_t id = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
    if (std::find(std::begin(kResyncIds), std::end(kResyncIds), id) == std::end(kResyncIds)) {
      continue;
    }
    ByteReader reader(bytes.substr(i));
    ebml::Header header;
    if (ebml::readHeader(reader, header) && header.id == id) return from + i;
  }
  return std::nullopt;
}

void SegmentReader::readSeekHead(std::string_view body) {
  ++seekHeads_;
  ebml::Children seeks(body, segment_.elementBudget);
  for (ebml::Children::Child seek; seeks.next(seek);) {
    if (seek.id != kSeekId) continue;
    uint64_t id = 0, position = UINT64_MAX;
    ebml::Children fields(seek.body, segment_.elementBudget);
    for (ebml::Children::Child f; fields.next(f);) {
      if (f.cut) continue;
      if (f.id == kSeekIdId) ebml::unsignedValue(f.body, id);
      if (f.id == kSeekPositionId) ebml::unsignedValue(f.body, position);
    }
    // A position outside the Segment points nowhere.
    if (position >= end_ - body_) continue;
    const uint64_t at = body_ + position;
    if (id == kInfoId && info_.at == 0) info_.at = at;
    if (id == kTracksId && tracks_.at == 0) tracks_.at = at;
    if (id == kTagsId && tags_.at == 0) tags_.at = at;
    if (id == kSeekHeadId && moreSeekHeads_.size() < kMaxSeekHeads &&
        std::find(moreSeekHeads_.begin(), moreSeekHeads_.end(), at) == moreSeekHeads_.end()) {
      moreSeekHeads_.push_back(at);
    }
  }
}

void SegmentReader::readElement(uint64_t offset, const ebml::Header& header) {
  switch (header.id) {
    case kSeekHeadId:
      if (seekHeads_ < kMaxSeekHeads) readSeekHead(bodyOf(offset, header, kMaxSeekHeadBytes));
      break;
    case kInfoId:
      if (!info_.read) segment_.readInfo(bodyOf(offset, header, kMaxInfoBytes));
      info_.read = true;
      break;
    case kTracksId:
      if (!tracks_.read) segment_.readTracks(bodyOf(offset, header, kMaxTracksBytes));
      tracks_.read = true;
      break;
    case kTagsId:
      if (!tags_.read) segment_.readTags(bodyOf(offset, header, kMaxTagsBytes));
      tags_.read = true;
      break;
  }
}

void SegmentReader::follow(Position& position, uint32_t id) {
  ebml::Header header;
  if (position.read || position.at == 0 || !headerAt(position.at, header) || header.id != id) {
    return;
  }
  readElement(position.at, header);
}

// The latest block timestamp (Cluster timestamp + the block's relative timestamp) of the
// Cluster that starts at the start of `bytes`, or nothing when the bytes are not a Cluster
// with one Timestamp ahead of its blocks and at least one block.
std::optional<int64_t> latestBlockTimestamp(std::string_view bytes, int& budget) {
  ByteReader reader(bytes);
  ebml::Header cluster;
  if (!ebml::readHeader(reader, cluster) || cluster.id != kClusterId) return std::nullopt;
  const size_t size = cluster.unknownSize || cluster.size > reader.remaining()
                          ? reader.remaining()
                          : static_cast<size_t>(cluster.size);
  std::optional<uint64_t> timestamp;
  std::optional<int64_t> latest;
  auto block = [&](std::string_view body) {
    ByteReader b(body);
    // Track number (a variable-size integer, read as a header's size), then the timestamp.
    const uint8_t first = b.u8();
    if (first == 0) return;
    int length = 1;
    while ((first & (0x80 >> (length - 1))) == 0) ++length;
    b.skip(static_cast<size_t>(length - 1));
    const auto relative = static_cast<int16_t>(b.u16be());
    if (b.failed() || !timestamp || *timestamp > uint64_t{INT64_MAX / 2}) return;
    const int64_t at = static_cast<int64_t>(*timestamp) + relative;
    if (!latest || at > *latest) latest = at;
  };
  ebml::Children children(reader.bytes(size), budget);
  bool sawBlock = false;
  for (ebml::Children::Child c; children.next(c);) {
    if (c.id == kClusterTimestampId) {
      uint64_t value = 0;
      if (timestamp || sawBlock || c.cut || !ebml::unsignedValue(c.body, value)) {
        return std::nullopt;
      }
      timestamp = value;
    } else if (c.id == kSimpleBlockId) {
      sawBlock = true;
      block(c.body);
    } else if (c.id == kBlockGroupId) {
      sawBlock = true;
      ebml::Children group(c.body, budget);
      for (ebml::Children::Child g; group.next(g);) {
        if (g.id == kBlockId) block(g.body);
      }
    } else if (c.id == kClusterId || c.id == kSegmentId || c.id == kEbmlId || c.id == kTagsId ||
               c.id == kSeekHeadId || c.id == kCuesId) {
      break;  // the end of a Cluster of unknown size
    }
  }
  return timestamp ? latest : std::nullopt;
}

std::optional<uint64_t> SegmentReader::lastBlockTimestamp() {
  // Bytes from `start` to the end of the Segment, grown towards its start.
  std::string tail;
  uint64_t start = end_;
  uint64_t searched = end_;  // candidates at or past this were tried
  for (size_t want = kFirstLastClusterBytes; start > body_; want = kMaxLastClusterBytes) {
    const uint64_t from = end_ - std::min<uint64_t>(want, end_ - body_);
    if (from >= start) break;
    tail.insert(0, readBlock(file_, from, static_cast<size_t>(start - from)));
    if (tail.size() != end_ - from) return std::nullopt;
    start = from;
    // Cluster IDs from the end backwards; the first that parses as a Cluster is the last one.
    for (size_t i = static_cast<size_t>(searched - start); i-- > 0;) {
      if (tail.compare(i, 4, "\x1F\x43\xB6\x75") != 0) continue;
      if (auto latest =
              latestBlockTimestamp(std::string_view(tail).substr(i), segment_.elementBudget)) {
        return *latest < 0 ? 0 : static_cast<uint64_t>(*latest);
      }
    }
    searched = start;
    if (want == kMaxLastClusterBytes) break;
  }
  return std::nullopt;
}

std::optional<uint64_t> SegmentReader::seconds() {
  std::optional<double> units = segment_.duration;
  if (!units) {
    if (const std::optional<uint64_t> latest = lastBlockTimestamp()) {
      units = static_cast<double>(*latest);
    }
  }
  if (!units) return std::nullopt;
  return wholeNumber(*units * static_cast<double>(segment_.timestampScale) / 1e9);
}

}  // namespace

bool probeMatroska(std::string_view head) {
  int budget = 0;
  return !docTypeOf(head, budget).empty();
}

bool readMatroska(RandomAccessFile& rawFile, MediaInfo& info) {
  ReadAheadFile file(rawFile, kHeaderReadAheadBytes);
  ReadBuffer headStorage;
  const std::string_view head = viewBlock(file, 0, kMaxEbmlHeaderBytes, headStorage);
  Segment segment;
  const std::string_view docType = docTypeOf(head, segment.elementBudget);
  if (docType.empty()) return false;
  info.type = kTypeMatroska;
  info.set("DOCTYPE", std::u16string(docType.begin(), docType.end()));

  // The Segment after the EBML header (and any Void elements).
  SegmentReader segmentReader(file, segment);
  uint64_t offset = 0;
  for (int n = 0; n < kMaxElementsBeforeSegment; ++n) {
    ebml::Header header;
    ByteReader at(viewBlock(file, offset, ebml::kMaxHeaderBytes, headStorage));
    if (!ebml::readHeader(at, header)) break;
    if (header.id == kSegmentId) {
      if (segmentReader.read(offset)) segment.fill(segmentReader.seconds(), info);
      break;
    }
    if (header.unknownSize || header.size > file.size() - offset - header.headerBytes) break;
    offset += header.headerBytes + header.size;
  }
  return true;
}

}  // namespace sonavid::media
