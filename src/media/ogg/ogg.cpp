// Ogg (Vorbis, Opus, FLAC, Speex; Theora, alone or with audio). A file is a sequence of pages:
// "OggS", version 0, flags (1 continued packet, 2 first page of a stream, 4 last page), 64-bit
// granule position, serial number, page number, CRC, segment count and lacing table, then the body.
// Packets are split into 255-byte segments; a segment shorter than 255 ends a packet. The first
// packets of each logical stream are its headers. A chained file is several such groups of
// streams one after another; its length is the sum of theirs. A chain may reuse the serial
// number of the one before: every first page after data pages starts a new chain.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/text.h"
#include "core/media_reader.h"
#include "media/byte_reader.h"
#include "media/file_reads.h"
#include "media/formats.h"
#include "media/values/playing_time.h"
#include "media/tags/vorbis_comment.h"
#include "media/values/stream_fact_texts.h"
#include "media/values/whole_number.h"

namespace sonavid::media {

namespace {

constexpr size_t kPageHeaderBytes = 27;
constexpr size_t kMaxPageBytes = kPageHeaderBytes + 255 + 255 * 255;
// Bytes read at once while walking pages through a chained file.
constexpr size_t kWindowBytes = 64 * 1024;
// Bytes read at once while collecting the header pages and searching the end for the last
// page: the header pages of most files fit in one or two such reads, the last page in one.
constexpr size_t kHeaderWindowBytes = kHeadProbeBytes;
// Pages looked at while collecting the header packets at the start.
constexpr int kMaxHeaderPages = 4096;
// Largest header packet kept (a comment packet with embedded pictures is cut here; the text
// fields come first in practice).
constexpr size_t kMaxHeaderPacketBytes = 1024 * 1024;
// Most streams tracked in one file, and most header packets kept per stream.
constexpr size_t kMaxStreams = 64;
constexpr size_t kMaxHeaderPackets = 16;
// Bytes searched backwards from the end for the audio stream's last page.
constexpr uint64_t kMaxTailScanBytes = 16u * 1024 * 1024;
// Pages walked through a chained file.
constexpr int kMaxWalkPages = 1000000;
constexpr uint64_t kNoGranule = UINT64_MAX;

constexpr uint8_t kFlagContinued = 1;
constexpr uint8_t kFlagFirst = 2;

enum class Codec { kOther, kVorbis, kOpus, kFlac, kSpeex, kTheora };

struct Page {
  uint64_t offset = 0;
  uint8_t flags = 0;
  uint64_t granule = kNoGranule;
  uint32_t serial = 0;
  uint32_t sequence = 0;  // the page's number within its stream
  std::string_view lacing;
  size_t headerBytes = 0;
  size_t bodyBytes = 0;
  size_t totalBytes() const { return headerBytes + bodyBytes; }
};

// Positioned reads through a window of the file, so walking pages costs few reads.
class Pager {
 public:
  Pager(RandomAccessFile& file, size_t windowBytes)
      : file_(file), size_(file.size()), windowBytes_(windowBytes) {}
  uint64_t size() const { return size_; }
  size_t windowBytes() const { return windowBytes_; }
  void setWindowBytes(size_t windowBytes) { windowBytes_ = windowBytes; }

  // `count` bytes at `offset`, or fewer at the end of the file.
  std::string_view bytesAt(uint64_t offset, size_t count) {
    if (offset < start_ || offset - start_ > window_.size() ||
        window_.size() - (offset - start_) < count) {
      start_ = offset;
      window_ = viewBlock(file_, offset, count > windowBytes_ ? count : windowBytes_, buffer_);
    }
    std::string_view view(window_);
    view.remove_prefix(static_cast<size_t>(offset - start_));
    return view.substr(0, count);
  }

  // True when the window holds `count` bytes at `offset` (reading them costs nothing).
  bool holds(uint64_t offset, size_t count) const {
    return offset >= start_ && offset - start_ <= window_.size() &&
           window_.size() - (offset - start_) >= count;
  }

  // The page whose capture pattern is at `offset`.
  bool pageAt(uint64_t offset, Page& page) {
    ByteReader header(bytesAt(offset, kPageHeaderBytes));
    if (header.bytes(4) != "OggS" || header.u8() != 0) return false;
    page.offset = offset;
    page.flags = header.u8();
    page.granule = header.u64le();
    page.serial = header.u32le();
    page.sequence = header.u32le();
    header.skip(4);  // CRC
    const uint8_t segments = header.u8();
    if (header.failed()) return false;
    page.headerBytes = kPageHeaderBytes + segments;
    // Copy the lacing table: the window may move when the body is read.
    lacing_.assign(bytesAt(offset + kPageHeaderBytes, segments));
    if (lacing_.size() != segments) return false;
    page.lacing = lacing_;
    page.bodyBytes = 0;
    for (unsigned char lace : lacing_) page.bodyBytes += lace;
    return true;
  }

 private:
  RandomAccessFile& file_;
  uint64_t size_;
  size_t windowBytes_;
  uint64_t start_ = 0;
  ReadBuffer buffer_;
  std::string_view window_;
  std::string lacing_;
};

struct Stream {
  uint32_t serial = 0;
  Codec codec = Codec::kOther;
  bool identified = false;
  size_t headersNeeded = 1;
  std::vector<std::string> packets;
  std::string partial;
  // Audio properties from the identification header.
  uint32_t sampleRate = 0;
  uint32_t channels = 0;
  uint32_t preSkip = 0;
  uint32_t bitsPerSample = 0;  // FLAC
  int32_t bitrateMax = 0, bitrateNominal = 0, bitrateMin = 0;
  bool variable = false;  // Speex's VBR flag
  // Video (Theora): frame rate, and the bits of a granule position that count the frames since
  // the last key frame.
  uint32_t frameRateNumerator = 0, frameRateDenominator = 0;
  uint32_t width = 0, height = 0;  // the picture's, within the coded frame
  int granuleShift = 0;
  bool granuleCountsFrames = true;  // from bitstream 3.2.1 on: frame number + 1
  uint64_t lastGranule = kNoGranule;
  uint32_t pagesSeen = 0;

  bool isAudio() const { return codec != Codec::kOther && codec != Codec::kTheora; }
  bool isVideo() const { return codec == Codec::kTheora; }
  // Seconds up to a granule position: samples (after the pre-skip) or frames.
  double secondsAt(uint64_t granule) const {
    if (isVideo()) {
      if (frameRateNumerator == 0) return 0;
      const uint64_t keyFrame = granuleShift >= 64 ? 0 : granule >> granuleShift;
      const uint64_t sinceKey =
          granuleShift >= 64 ? granule : granule & ((uint64_t{1} << granuleShift) - 1);
      const double frames = static_cast<double>(keyFrame) + static_cast<double>(sinceKey) +
                            (granuleCountsFrames ? 0 : 1);
      return frames * frameRateDenominator / frameRateNumerator;
    }
    if (sampleRate == 0) return 0;
    const uint64_t samples = granule > preSkip ? granule - preSkip : 0;
    return static_cast<double>(samples) / sampleRate;
  }
  bool headersDone() const { return packets.size() >= headersNeeded; }
  // Bytes of a page body (with this lacing table) whose packets are kept. Vorbis's third
  // header (the setup header, codebooks of several kilobytes) is only counted: nothing is read
  // from it, even when it shares a page with the comments.
  size_t contentBytes(std::string_view lacing, size_t bodyBytes) const {
    if (codec != Codec::kVorbis) return bodyBytes;
    size_t done = packets.size();
    size_t bytes = 0;
    for (unsigned char lace : lacing) {
      if (done >= 2) break;
      bytes += lace;
      if (lace < 255) ++done;
    }
    return bytes;
  }
};

// Reads the identification header (the stream's first packet).
void identify(Stream& stream) {
  stream.identified = true;
  ByteReader id(stream.packets.front());
  std::string_view magic = id.rest();
  if (magic.size() >= 7 && magic.substr(0, 7) == std::string_view("\x01vorbis", 7)) {
    // Vorbis: version, channels, rate, maximum, nominal and minimum bitrate.
    id.skip(7 + 4);
    stream.channels = id.u8();
    stream.sampleRate = id.u32le();
    stream.bitrateMax = static_cast<int32_t>(id.u32le());
    stream.bitrateNominal = static_cast<int32_t>(id.u32le());
    stream.bitrateMin = static_cast<int32_t>(id.u32le());
    if (id.ok()) {
      stream.codec = Codec::kVorbis;
      stream.headersNeeded = 3;
    }
  } else if (magic.substr(0, 8) == "OpusHead") {
    // Opus: version, channels, pre-skip, input rate; decoding is always at 48 kHz.
    id.skip(8 + 1);
    stream.channels = id.u8();
    stream.preSkip = id.u16le();
    if (id.ok()) {
      stream.codec = Codec::kOpus;
      stream.sampleRate = 48000;
      stream.headersNeeded = 2;
    }
  } else if (magic.size() >= 5 && magic.substr(0, 5) ==
                                      "\x7F"
                                      "FLAC") {
    // FLAC mapping: version, header packet count, "fLaC", then the STREAMINFO block: block
    // sizes, frame sizes, then 20 bits rate, 3 bits channels - 1, 5 bits depth - 1, ...
    id.skip(5 + 2);
    const uint16_t headerPackets = id.u16be();
    id.skip(4 + 4 + 2 + 2 + 3 + 3);
    const uint32_t packed = id.u32be();
    if (id.ok()) {
      stream.codec = Codec::kFlac;
      stream.sampleRate = packed >> 12;
      stream.channels = ((packed >> 9) & 7) + 1;
      stream.bitsPerSample = ((packed >> 4) & 31) + 1;
      stream.headersNeeded = headerPackets == 0 ? kMaxHeaderPackets : 1 + size_t{headerPackets};
      if (stream.headersNeeded > kMaxHeaderPackets) stream.headersNeeded = kMaxHeaderPackets;
    }
  } else if (magic.substr(0, 8) == "Speex   ") {
    // Speex: version text, version id, header size, rate, mode, mode version, channels,
    // bitrate, frame size, VBR flag, frames per packet, extra header count. The comments
    // follow as the second packet, then the extra headers.
    id.skip(8 + 20 + 4 + 4);
    const uint32_t rate = id.u32le();
    id.skip(4 + 4);
    const uint32_t channels = id.u32le();
    const auto bitrate = static_cast<int32_t>(id.u32le());
    id.skip(4);
    const uint32_t vbr = id.u32le();
    id.skip(4);
    const uint32_t extraHeaders = id.u32le();
    if (id.ok()) {
      stream.codec = Codec::kSpeex;
      stream.sampleRate = rate;
      stream.channels = channels;
      stream.bitrateNominal = bitrate;
      stream.variable = vbr != 0;
      stream.headersNeeded = 2 + (extraHeaders < kMaxHeaderPackets ? extraHeaders : 0);
    }
  } else if (magic.size() >= 7 && magic.substr(0, 7) == std::string_view("\x80theora", 7)) {
    // Theora: version (3 bytes), frame size in macroblocks, picture size and offset, frame
    // rate numerator and denominator, aspect, colour space, nominal bitrate, then 6 bits
    // quality and 5 bits key-frame granule shift. The comments are the second packet.
    id.skip(7);
    const uint32_t version = id.u24be();
    id.skip(2 + 2);  // frame width and height in macroblocks
    const uint32_t width = id.u24be();
    const uint32_t height = id.u24be();
    id.skip(1 + 1);  // picture offset
    const uint32_t numerator = id.u32be();
    const uint32_t denominator = id.u32be();
    id.skip(3 + 3 + 1 + 3);
    const uint16_t packed = id.u16be();
    if (id.ok()) {
      stream.codec = Codec::kTheora;
      stream.frameRateNumerator = numerator;
      stream.frameRateDenominator = denominator;
      stream.width = width;
      stream.height = height;
      stream.granuleShift = (packed >> 5) & 31;
      stream.granuleCountsFrames = version >= 0x030201;
      stream.headersNeeded = 2;
    }
  }
  if (!stream.isAudio() && !stream.isVideo()) stream.headersNeeded = 1;
}

// Adds the page's packets to the stream's header packets (only while headers are missing).
void collectPackets(Stream& stream, std::string_view body, std::string_view lacing,
                    bool continued) {
  if (!continued) stream.partial.clear();
  size_t at = 0;
  for (unsigned char lace : lacing) {
    if (stream.headersDone()) return;
    if (stream.partial.size() < kMaxHeaderPacketBytes && at < body.size()) {
      const size_t room = kMaxHeaderPacketBytes - stream.partial.size();
      stream.partial.append(body.substr(at, lace < room ? lace : room));
    }
    at += lace;
    if (lace < 255) {
      stream.packets.push_back(std::move(stream.partial));
      stream.partial.clear();
      if (!stream.identified) identify(stream);
    }
  }
}

// Adds the fields of `video` that `audio` lacks (COMMENT and DESCRIPTION count as one field).
void addMissingComments(VorbisComments& audio, const VorbisComments& video) {
  const bool hasComment = !audio.first("COMMENT").empty() || !audio.first("DESCRIPTION").empty();
  const size_t own = audio.fields.size();
  for (const auto& field : video.fields) {
    bool present = hasComment && (field.first == "COMMENT" || field.first == "DESCRIPTION");
    for (size_t i = 0; i < own && !present; ++i) {
      present = audio.fields[i].first == field.first && !audio.fields[i].second.empty();
    }
    if (!present) audio.fields.push_back(field);
  }
}

VorbisComments commentsOf(const Stream& audio) {
  for (size_t i = 1; i < audio.packets.size(); ++i) {
    ByteReader packet(audio.packets[i]);
    std::string_view start = packet.rest();
    // Speex: the second packet is the comments, without a marker.
    if (audio.codec == Codec::kSpeex) return parseVorbisComments(packet);
    if (audio.codec == Codec::kTheora && start.size() >= 7 &&
        start.substr(0, 7) == std::string_view("\x81theora", 7)) {
      packet.skip(7);
      return parseVorbisComments(packet);
    }
    if (audio.codec == Codec::kVorbis && start.size() >= 7 &&
        start.substr(0, 7) == std::string_view("\x03vorbis", 7)) {
      packet.skip(7);
      return parseVorbisComments(packet);
    }
    if (audio.codec == Codec::kOpus && start.substr(0, 8) == "OpusTags") {
      packet.skip(8);
      return parseVorbisComments(packet);
    }
    // FLAC: metadata block header (type 4 is VORBIS_COMMENT) with a 24-bit length.
    if (audio.codec == Codec::kFlac && !start.empty() && (start[0] & 0x7F) == 4) {
      packet.skip(4);
      return parseVorbisComments(packet);
    }
  }
  return {};
}

struct Findings {
  std::vector<Stream> streams;  // the first group's streams
  int audioIndex = -1;
  int videoIndex = -1;           // a Theora stream, whose values count when there is no audio
  uint64_t dataStart = 0;        // end of the page that completed the chosen stream's headers
  uint32_t pagesBeforeData = 0;  // the chosen stream's pages up to there
  size_t largestPage = 0;        // of the pages read
  int chosen() const { return audioIndex >= 0 ? audioIndex : videoIndex; }
};

Stream* findStream(std::vector<Stream>& streams, uint32_t serial) {
  for (Stream& s : streams) {
    if (s.serial == serial) return &s;
  }
  return nullptr;
}

// Reads the first group of streams and their header packets.
void readHeaders(Pager& pager, Findings& found) {
  uint64_t offset = 0;
  Page page;
  for (int n = 0; n < kMaxHeaderPages && pager.pageAt(offset, page); ++n) {
    Stream* stream = findStream(found.streams, page.serial);
    if (page.flags & kFlagFirst) {
      // A first page after data pages begins the next chain: the group is complete.
      if (stream != nullptr || (found.audioIndex >= 0 && !found.streams.empty() &&
                                found.streams[found.audioIndex].headersDone())) {
        break;
      }
      if (found.streams.size() >= kMaxStreams) break;
      found.streams.push_back(Stream{});
      found.streams.back().serial = page.serial;
      stream = &found.streams.back();
    }
    if (page.totalBytes() > found.largestPage) found.largestPage = page.totalBytes();
    if (stream != nullptr) ++stream->pagesSeen;
    if (stream != nullptr && !stream->headersDone()) {
      // Packets whose bytes are not kept (a Vorbis setup header) are counted from the lacing
      // table, and the body is read only as far as the packets kept.
      const size_t wanted = stream->contentBytes(page.lacing, page.bodyBytes);
      const std::string_view body =
          wanted == 0 ? std::string_view() : pager.bytesAt(offset + page.headerBytes, wanted);
      collectPackets(*stream, body, page.lacing, (page.flags & kFlagContinued) != 0);
    }
    offset += page.totalBytes();
    for (size_t i = 0; i < found.streams.size(); ++i) {
      if (found.audioIndex < 0 && found.streams[i].isAudio())
        found.audioIndex = static_cast<int>(i);
      if (found.videoIndex < 0 && found.streams[i].isVideo())
        found.videoIndex = static_cast<int>(i);
    }
    // Only the chosen stream keeps more than its identification header: the audio stream,
    // else the video stream. A video stream beside the audio keeps its comments too, for the
    // tag fields the audio stream's comments lack.
    for (size_t i = 0; i < found.streams.size(); ++i) {
      Stream& other = found.streams[i];
      if (static_cast<int>(i) != found.chosen() && static_cast<int>(i) != found.videoIndex &&
          other.identified) {
        other.packets.resize(1);
        other.headersNeeded = 1;
        other.partial.clear();
      }
    }
    // All first pages come before any data page: a data page with no audio or video stream
    // among the identified streams means the file has none.
    if (found.chosen() < 0 && !(page.flags & kFlagFirst)) {
      bool allIdentified = true;
      for (const Stream& s : found.streams) allIdentified = allIdentified && s.identified;
      if (allIdentified) break;
    }
    if (found.chosen() >= 0 && found.streams[found.chosen()].headersDone()) {
      if (found.dataStart == 0) {
        found.dataStart = offset;
        found.pagesBeforeData = found.streams[found.chosen()].pagesSeen;
      }
      // Every stream of the group has shown its first page once a data page appears; the
      // video stream's comments may come after the audio stream's headers.
      const bool videoDone = found.videoIndex < 0 || found.videoIndex == found.chosen() ||
                             found.streams[found.videoIndex].headersDone();
      if (!(page.flags & kFlagFirst) && videoDone) break;
    }
  }
  // The size of the first data page too, when the bytes at hand hold its header.
  Page data;
  if (found.dataStart != 0 && pager.holds(found.dataStart, kPageHeaderBytes + 255) &&
      pager.pageAt(found.dataStart, data) && data.totalBytes() > found.largestPage) {
    found.largestPage = data.totalBytes();
  }
}

// What the end of the file says: the serial of its last page and the last granule position
// of the audio stream.
struct TailResult {
  bool foundAny = false;
  uint32_t lastSerial = 0;
  uint64_t granule = kNoGranule;
  uint64_t granuleOffset = 0;    // where the page with that granule position starts
  uint32_t granuleSequence = 0;  // and its number in its stream
  size_t largestPage = 0;        // of the whole pages in the blocks searched
};

// Searches backwards from the end, block by block, for pages; skips pages whose granule is
// unset (-1) and stops at the audio stream's last page with a granule position.
TailResult scanTail(Pager& pager, uint32_t audioSerial) {
  TailResult result;
  uint64_t end = pager.size();
  uint64_t scanned = 0;
  while (end > 0 && scanned < kMaxTailScanBytes) {
    const uint64_t start = end > pager.windowBytes() ? end - pager.windowBytes() : 0;
    // A little past `end`, so a page header that straddles two blocks is whole.
    const std::string_view block = pager.bytesAt(start, static_cast<size_t>(end - start) + 27);
    // The block's pages, searched forwards (a search for the capture pattern skips the bytes
    // between them quickly); the last ones found are the ones nearest the end.
    const size_t limit = static_cast<size_t>(end - start);
    bool blockHasPage = false;
    uint32_t blockLastSerial = 0;
    uint64_t blockGranule = kNoGranule;
    for (size_t at = block.find("OggS"); at < limit; at = block.find("OggS", at + 1)) {
      ByteReader header(block.substr(at));
      header.skip(4);
      if (header.u8() != 0) continue;
      header.skip(1);
      const uint64_t granule = header.u64le();
      const uint32_t serial = header.u32le();
      const uint32_t sequence = header.u32le();
      header.skip(4);
      const uint8_t segments = header.u8();
      if (header.failed()) continue;
      blockHasPage = true;
      blockLastSerial = serial;
      if (serial == audioSerial && granule != kNoGranule) {
        blockGranule = granule;
        result.granuleOffset = start + at;
        result.granuleSequence = sequence;
      }
      const std::string_view lacing = header.bytes(segments);
      size_t pageBytes = kPageHeaderBytes + segments;
      for (unsigned char lace : lacing) pageBytes += lace;
      if (header.ok() && at + pageBytes <= limit && pageBytes > result.largestPage) {
        result.largestPage = pageBytes;
      }
    }
    if (blockHasPage && !result.foundAny) {
      result.foundAny = true;
      result.lastSerial = blockLastSerial;
      // The bytes before the block's first page end a page that is at least that long.
      const size_t before = block.find("OggS");
      if (start > 0 && before < limit && before > result.largestPage) result.largestPage = before;
    }
    if (blockGranule != kNoGranule) {
      result.granule = blockGranule;
      return result;
    }
    scanned += end - start;
    end = start;
  }
  return result;
}

// Walks a chained file from the start: every group's audio stream gives its samples.
struct ChainTotals {
  double seconds = 0;
};

ChainTotals walkChains(Pager& pager) {
  ChainTotals totals;
  std::vector<Stream> group;
  auto closeGroup = [&] {
    // The first audio stream of each group, else its first video stream.
    const Stream* timed = nullptr;
    for (const Stream& s : group) {
      if (s.lastGranule == kNoGranule) continue;
      if (s.isAudio()) {
        timed = &s;
        break;
      }
      if (s.isVideo() && timed == nullptr) timed = &s;
    }
    if (timed != nullptr) totals.seconds += timed->secondsAt(timed->lastGranule);
    group.clear();
  };
  uint64_t offset = 0;
  bool inData = false;
  Page page;
  for (int n = 0; n < kMaxWalkPages && pager.pageAt(offset, page); ++n) {
    if (page.flags & kFlagFirst) {
      if (inData || findStream(group, page.serial) != nullptr) closeGroup();
      inData = false;
      if (group.size() < kMaxStreams) {
        group.push_back(Stream{});
        group.back().serial = page.serial;
      }
    } else {
      inData = true;
    }
    if (Stream* stream = findStream(group, page.serial)) {
      if (!stream->identified) {
        collectPackets(*stream, pager.bytesAt(offset + page.headerBytes, page.bodyBytes),
                       page.lacing, false);
        stream->packets.clear();  // only the identification is needed here
        stream->headersNeeded = 1;
      }
      if (page.granule != kNoGranule) stream->lastGranule = page.granule;
    }
    offset += page.totalBytes();
  }
  closeGroup();
  return totals;
}

// The common short name of a stream's codec.
std::string_view shortCodecName(Codec codec) {
  switch (codec) {
    case Codec::kVorbis:
      return "Vorbis";
    case Codec::kOpus:
      return "Opus";
    case Codec::kFlac:
      return "FLAC";
    case Codec::kSpeex:
      return "Speex";
    case Codec::kTheora:
      return "Theora";
    default:
      return {};
  }
}

const char* codecName(Codec codec) {
  switch (codec) {
    case Codec::kVorbis:
      return "Ogg Vorbis";
    case Codec::kOpus:
      return "Ogg Opus";
    case Codec::kFlac:
      return "Ogg FLAC";
    case Codec::kSpeex:
      return "Ogg Speex";
    default:
      return "Ogg";
  }
}

}  // namespace

bool probeOgg(std::string_view head) { return head.starts_with("OggS"); }

bool readOgg(RandomAccessFile& file, MediaInfo& info) {
  Pager pager(file, kHeaderWindowBytes);
  Page first;
  if (!pager.pageAt(0, first) || !(first.flags & kFlagFirst)) return false;
  info.type = kTypeOgg;

  Findings found;
  readHeaders(pager, found);
  if (found.chosen() < 0) return true;  // no audio or video stream we know: type only
  Stream& chosen = found.streams[found.chosen()];
  VorbisComments comments = commentsOf(chosen);
  if (found.videoIndex >= 0 && found.videoIndex != found.chosen()) {
    addMissingComments(comments, commentsOf(found.streams[found.videoIndex]));
  }
  setVorbisCommentValues(comments, info);

  // Length: the stream's last granule position, found from the end. A file whose last page
  // belongs to no stream of the first group is chained and is walked from the start; so is one
  // whose only stream's last page is numbered as if pages of twice the largest size seen had
  // filled it: a later chain reused the serial number and numbered its pages anew.
  double seconds = 0;
  const TailResult tail = scanTail(pager, chosen.serial);
  bool chained = tail.foundAny && findStream(found.streams, tail.lastSerial) == nullptr;
  if (!chained && found.streams.size() == 1 && tail.granule != kNoGranule &&
      tail.granuleOffset > found.dataStart) {
    const uint64_t span = tail.granuleOffset - found.dataStart;
    const uint64_t pages = tail.granuleSequence >= found.pagesBeforeData
                               ? tail.granuleSequence - found.pagesBeforeData
                               : 0;
    uint64_t largest = std::max(found.largestPage, tail.largestPage);
    chained = pages == 0 || span / pages > 2 * largest;
    // Before walking, the first data page's size too (a read only for such files).
    Page firstData;
    if (chained && pages != 0 && pager.pageAt(found.dataStart, firstData)) {
      largest = std::max<uint64_t>(largest, firstData.totalBytes());
      chained = span / pages > 2 * largest;
    }
  }
  if (chained) {
    pager.setWindowBytes(kWindowBytes);
    seconds = walkChains(pager).seconds;
  } else if (tail.granule != kNoGranule) {
    seconds = chosen.secondsAt(tail.granule);
  }
  const uint64_t wholeSeconds = wholeNumber(seconds);
  info.set("TIME", minutesSecondsText(wholeSeconds, 2));
  info.facts.durationMs = static_cast<int64_t>(wholeNumber(seconds * 1000));
  if (found.videoIndex >= 0) {
    const Stream& video = found.streams[found.videoIndex];
    info.facts.videoCodec = shortCodecName(video.codec);
    info.facts.width = video.width;
    info.facts.height = video.height;
    setFrameRate(info.facts, video.frameRateNumerator, video.frameRateDenominator);
  }
  if (!chosen.isAudio()) return true;
  Stream& audio = chosen;

  // Average bitrate of the audio data; a multiplexed file's other streams would inflate it,
  // so there the encoder's nominal bitrate stands in.
  uint64_t bitsPerSecond = 0;
  const bool multiplexed = found.streams.size() > 1;
  if (!multiplexed && seconds > 0) {
    const uint64_t dataBytes = pager.size() > found.dataStart ? pager.size() - found.dataStart : 0;
    bitsPerSecond = wholeNumber(static_cast<double>(dataBytes) * 8 / seconds);
  } else if (audio.bitrateNominal > 0) {
    bitsPerSecond = static_cast<uint64_t>(audio.bitrateNominal);
  }
  const bool constant = audio.codec == Codec::kSpeex
                            ? !audio.variable
                            : audio.codec == Codec::kVorbis &&
                                  audio.bitrateNominal == audio.bitrateMax &&
                                  audio.bitrateNominal == audio.bitrateMin;
  std::u16string format;
  format.reserve(48);
  format += asciiToUtf16(codecName(audio.codec));
  format += u", ";
  appendDecimal(format, audio.sampleRate);
  format += u"Hz, ";
  appendDecimal(format, (bitsPerSecond + 500) / 1000);
  format += constant ? u"Kbits/s, " : u"Kbits/s(VBR), ";
  appendDecimal(format, audio.channels);
  format += u"ch";
  info.set("AFMT", std::move(format));
  info.facts.audioCodec = shortCodecName(audio.codec);
  info.facts.audioKbps = factCount(bitsPerSecond / 1000);
  info.facts.sampleRate = audio.sampleRate;
  info.facts.channels = audio.channels;
  info.facts.bitsPerSample = audio.bitsPerSample;
  return true;
}

}  // namespace sonavid::media
