// Matroska layouts no tool makes (unknown sizes, no SeekHead, sizes past their parent, deep
// nesting), the tag-target rules, codec names the fixtures lack, and the reads a 4 GB movie
// costs (SeekHead to Tags at the end, Clusters not read): files built element by element.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "common/text.h"
#include "core/media_reader.h"
#include "media/builtin_reader.h"
#include "media/matroska/matroska.h"
#include "media/memory_file.h"

namespace sonavid::media {
namespace {

// Element IDs used below.
// clang-format off
enum : uint32_t {
  kSegment = 0x18538067, kSeekHead = 0x114D9B74, kSeek = 0x4DBB, kSeekIdEl = 0x53AB,
  kSeekPosition = 0x53AC, kInfo = 0x1549A966, kScale = 0x2AD7B1, kDuration = 0x4489,
  kTitle = 0x7BA9, kTracks = 0x1654AE6B, kTrackEntry = 0xAE, kTrackType = 0x83, kCodec = 0x86,
  kCodecPrivate = 0x63A2, kDefaultDuration = 0x23E383, kVideo = 0xE0, kWidth = 0xB0,
  kHeight = 0xBA, kAudio = 0xE1, kRate = 0xB5, kOutputRate = 0x78B5, kChannels = 0x9F,
  kBitDepth = 0x6264, kTags = 0x1254C367, kTag = 0x7373, kTargets = 0x63C0, kLevel = 0x68CA,
  kTrackUid = 0x63C5, kSimpleTag = 0x67C8, kTagName = 0x45A3, kTagString = 0x4487,
  kCluster = 0x1F43B675, kTimestamp = 0xE7, kSimpleBlock = 0xA3, kVoid = 0xEC,
};
// clang-format on

std::string idBytes(uint32_t id) {
  std::string out;
  for (int shift = 24; shift >= 0; shift -= 8) {
    if ((id >> shift) != 0) out.push_back(static_cast<char>(id >> shift));
  }
  return out;
}
// Sizes always take 8 bytes, so a SeekHead's length does not depend on its positions.
std::string sizeBytes(uint64_t size) {
  std::string out(1, '\x01');
  for (int shift = 48; shift >= 0; shift -= 8) out.push_back(static_cast<char>(size >> shift));
  return out;
}
std::string el(uint32_t id, const std::string& body) {
  return idBytes(id) + sizeBytes(body.size()) + body;
}
// An element whose size says `declared` whatever its body.
std::string sizedAs(uint32_t id, uint64_t declared, const std::string& body) {
  return idBytes(id) + sizeBytes(declared) + body;
}
std::string unknownSized(uint32_t id, const std::string& body) {
  return idBytes(id) + "\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFF" + body;
}
std::string uel(uint32_t id, uint64_t value) {
  std::string body;
  for (int shift = 56; shift >= 0; shift -= 8) body.push_back(static_cast<char>(value >> shift));
  return el(id, body);
}
std::string fel(uint32_t id, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  std::string body;
  for (int shift = 56; shift >= 0; shift -= 8) body.push_back(static_cast<char>(bits >> shift));
  return el(id, body);
}
std::string ebmlHeader(const std::string& docType = "matroska") {
  return el(0x1A45DFA3, uel(0x4286, 1) + el(0x4282, docType));
}

std::string info(double durationMs = 0, const std::string& title = "") {
  return el(kInfo, uel(kScale, 1000000) + (durationMs > 0 ? fel(kDuration, durationMs) : "") +
                       (title.empty() ? "" : el(kTitle, title)));
}
std::string audioEntry(const std::string& codec = "A_OPUS", const std::string& extra = "") {
  return el(kTrackEntry, uel(kTrackType, 2) + el(kCodec, codec) +
                             el(kAudio, fel(kRate, 48000) + uel(kChannels, 2) + extra));
}
std::string videoEntry(const std::string& codec, const std::string& extra = "") {
  return el(kTrackEntry, uel(kTrackType, 1) + el(kCodec, codec) + extra +
                             el(kVideo, uel(kWidth, 320) + uel(kHeight, 240)));
}
std::string tracks(const std::string& entries = audioEntry()) { return el(kTracks, entries); }
std::string simpleTag(const std::string& name, const std::string& value) {
  return el(kSimpleTag, el(kTagName, name) + el(kTagString, value));
}
// A Tag at `level` (none: no TargetTypeValue) naming track `trackUid` (none: no TagTrackUID).
std::string tag(const std::string& simpleTags, int level = 50, int trackUid = -1) {
  std::string targets = level >= 0 ? uel(kLevel, level) : "";
  if (trackUid >= 0) targets += uel(kTrackUid, trackUid);
  return el(kTag, el(kTargets, targets) + simpleTags);
}
std::string cluster(uint64_t timestamp, std::vector<int16_t> blocks, bool unknownLength = false) {
  std::string body = uel(kTimestamp, timestamp);
  for (int16_t relative : blocks) {
    body += el(kSimpleBlock, std::string("\x81") + static_cast<char>(relative >> 8) +
                                 static_cast<char>(relative) + "\x80" + "frame");
  }
  return unknownLength ? unknownSized(kCluster, body) : el(kCluster, body);
}
// A SeekHead giving each element's position from the start of the Segment's body.
std::string seekHead(const std::vector<std::pair<uint32_t, uint64_t>>& entries) {
  std::string seeks;
  for (const auto& [id, position] : entries) {
    seeks += el(kSeek, el(kSeekIdEl, idBytes(id)) + uel(kSeekPosition, position));
  }
  return el(kSeekHead, seeks);
}
std::string mkv(const std::string& segmentBody, const std::string& docType = "matroska") {
  return ebmlHeader(docType) + el(kSegment, segmentBody);
}

std::map<std::string, std::string> read(const std::string& bytes) {
  MemoryFile file(bytes);
  const MediaInfo info = BuiltinReader::readFile(file);
  std::map<std::string, std::string> values{{"TYPE", std::to_string(info.type)}};
  info.forEach([&](std::string_view code, const std::u16string& value) {
    if (code.find('_') == std::string_view::npos) values[std::string(code)] = utf16ToUtf8(value);
  });
  return values;
}

struct Case {
  const char* name;
  std::string bytes;
  std::map<std::string, std::string> expected;  // "<none>": not set
};

void check(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const auto values = read(c.bytes);
    for (const auto& [code, want] : c.expected) {
      const auto found = values.find(code);
      EXPECT_EQ(found == values.end() ? "<none>" : found->second, want) << c.name << " " << code;
    }
  }
}

TEST(MatroskaReader, OddLayoutsGiveWhatTheyHold) {
  const std::string tagsAfter = el(kTags, tag(simpleTag("TITLE", "Late Title")));
  // SimpleTags in SimpleTags, written outside in: level i's body is i names, i - 1 headers
  // and the innermost tag.
  const std::string leaf = simpleTag("X", "y"), name = el(kTagName, "N");
  std::string deepTag;
  for (uint64_t i = 20000; i > 0; --i) {
    deepTag += idBytes(kSimpleTag) + sizeBytes(i * name.size() + (i - 1) * 10 + leaf.size()) + name;
  }
  deepTag += leaf;
  std::string manyVoids;
  for (int i = 0; i < 250000; ++i) manyVoids += "\xEC\x80";
  check({
      {"no SeekHead: Tags after the Clusters found by the bounded scan",
       mkv(info(61000) + tracks() + cluster(0, {0}) + cluster(1000, {0}) + tagsAfter, "webm"),
       {{"TIME", "00:01:01 (61sec)"}, {"INAM", "Late Title"}, {"DOCTYPE", "webm"}}},
      {"unknown-size Segment and Clusters, no Duration: the last Cluster's latest block",
       ebmlHeader() + unknownSized(kSegment, info() + tracks() + cluster(0, {0, 20}, true) +
                                                 cluster(65000, {400, -20, 100}, true)),
       {{"TIME", "00:01:05 (65sec)"}, {"AFMT", "Opus, 48000Hz, 2ch"}}},
      {"a Title whose size runs past Info: no title, the rest still read",
       mkv(el(kInfo, fel(kDuration, 3000) + sizedAs(kTitle, 1000, "Cut")) + tracks()),
       {{"TIME", "00:00:03 (3sec)"}, {"INAM", ""}, {"AFMT", "Opus, 48000Hz, 2ch"}}},
      {"a Segment whose size runs past the end of the file",
       ebmlHeader() + sizedAs(kSegment, 1u << 30, info(4000, "Cut Short") + tracks()),
       {{"TIME", "00:00:04 (4sec)"}, {"INAM", "Cut Short"}}},
      {"SimpleTags nested 20000 deep, then a title",
       mkv(info(1000) + tracks() + el(kTags, tag(deepTag + simpleTag("TITLE", "Deep")))),
       {{"INAM", "Deep"}}},
      {"more elements than the cap: the walk stops",
       mkv(info(1000) + tracks() + el(kTags, manyVoids + tag(simpleTag("TITLE", "Never")))),
       {{"TIME", "00:00:01 (1sec)"}, {"INAM", ""}}},
      {"another EBML document type is not Matroska",
       mkv(info(1000) + tracks(), "webp"),
       {{"TYPE", "0"}}},
  });
}

TEST(MatroskaReader, TagsCountByTargetLevelAndOnlyForTheWholeFile) {
  const std::string audio = info(1000) + tracks();
  const std::string video = info(1000) + tracks(videoEntry("V_VP8") + audioEntry());
  check({
      {"a Targets without a level is the album; TagTrackUID 0 names no track",
       mkv(audio +
           el(kTags, tag(simpleTag("TITLE", "Track Title"), 50, 7) +
                         tag(simpleTag("TITLE", "Album") + simpleTag("ARTIST", "A50"), -1, 0) +
                         tag(simpleTag("ARTIST", "A30") + simpleTag("PART_NUMBER", "3") +
                                 simpleTag("DATE_RECORDED", "1999"),
                             30))),
       {{"INAM", "Album"}, {"IPRD", "Album"}, {"IART", "A30"}, {"TRACK", "3"}, {"ICRD", "1999"}}},
      {"with video the level-50 title is no album; DATE_RELEASED over DATE_RECORDED",
       mkv(video +
           el(kTags, tag(simpleTag("DATE_RECORDED", "1999"), 30) +
                         tag(simpleTag("TITLE", "Movie") + simpleTag("DATE_RELEASED", "2001")) +
                         tag(simpleTag("TITLE", "Episode") + simpleTag("PART_NUMBER", "2") +
                                 simpleTag("GENRE", "G30"),
                             30))),
       {{"INAM", "Episode"}, {"IPRD", ""}, {"ICRD", "2001"}, {"TRACK", "2"}, {"IGNR", "G30"}}},
  });
}

TEST(MatroskaReader, CodecNamesRatesAndFrameRates) {
  const std::string bitmapInfo = std::string(16, '\0') + "XVID" + std::string(20, '\0');
  const std::tuple<std::string, const char*, const char*> cases[] = {
      {audioEntry("A_DTS/EXPRESS"), "AFMT", "DTS, 48000Hz, 2ch"},
      {audioEntry("A_VORBIS", uel(kBitDepth, 16)), "AFMT", "Vorbis, 48000Hz, 2ch"},
      {audioEntry("A_PCM/INT/BIG", uel(kBitDepth, 16)), "AFMT", "PCM, 48000Hz, 2ch, 16bit"},
      {audioEntry("A_AAC/MPEG4/LC/SBR", fel(kOutputRate, 96000)), "AFMT", "AAC, 96000Hz, 2ch"},
      {audioEntry("A_QUICKTIME"), "AFMT", "A_QUICKTIME, 48000Hz, 2ch"},
      {videoEntry("V_MS/VFW/FOURCC", el(kCodecPrivate, bitmapInfo)), "VFMT", "XVID, 320x240"},
      {videoEntry("V_MPEG4/ISO/ASP", uel(kDefaultDuration, 33366667)), "VFMT",
       "MPEG-4 Visual, 320x240, 29.970fps"},
      {videoEntry("V_THEORA"), "VFMT", "V_THEORA, 320x240"},
  };
  for (const auto& [entry, code, text] : cases) {
    EXPECT_EQ(read(mkv(info(1000) + tracks(entry)))[code], text);
  }
}

// A file of `size` bytes that holds `pieces` and zeros elsewhere, counting what is read.
class SparseFile : public RandomAccessFile {
 public:
  SparseFile(uint64_t size, std::vector<std::pair<uint64_t, std::string>> pieces)
      : size_(size), pieces_(std::move(pieces)) {}
  uint64_t size() const override { return size_; }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    if (offset >= size_) return 0;
    count = static_cast<size_t>(std::min<uint64_t>(count, size_ - offset));
    ++reads;
    bytes += count;
    auto* out = static_cast<char*>(buffer);
    std::memset(out, 0, count);
    for (const auto& [at, piece] : pieces_) {
      const uint64_t from = std::max(at, offset);
      const uint64_t to = std::min(at + piece.size(), offset + count);
      if (from < to) std::memcpy(out + (from - offset), piece.data() + (from - at), to - from);
    }
    return count;
  }
  int reads = 0;
  uint64_t bytes = 0;

 private:
  uint64_t size_;
  std::vector<std::pair<uint64_t, std::string>> pieces_;
};

TEST(MatroskaReader, AFourGigabyteMovieCostsAFewSmallReads) {
  constexpr uint64_t kFileSize = uint64_t{4} << 30;
  const std::string tags = el(kTags, tag(simpleTag("TITLE", "Long Movie")));
  const std::string tail = cluster(7200000, {0, 33}) + tags;  // the last Cluster, then Tags
  const std::string head = ebmlHeader();
  const std::string front = info(7200033) + tracks(videoEntry("V_MPEG4/ISO/AVC") + audioEntry());
  // The SeekHead, Info, Tracks, one Cluster filling the file up to the tail, the tail.
  const uint64_t segmentBodyAt = head.size() + 12;
  const uint64_t seekHeadBytes = seekHead({{kInfo, 0}, {kTracks, 0}, {kTags, 0}}).size();
  const uint64_t clusterAt = segmentBodyAt + seekHeadBytes + front.size();
  const uint64_t tailAt = kFileSize - tail.size();
  const std::string index = seekHead({{kInfo, seekHeadBytes},
                                      {kTracks, seekHeadBytes + info(7200033).size()},
                                      {kTags, kFileSize - tags.size() - segmentBodyAt}});
  for (bool withDuration : {true, false}) {
    const std::string segmentFront = withDuration
                                         ? index + front
                                         : index + info() + el(kVoid, std::string(9, '\0')) +
                                               tracks(videoEntry("V_MPEG4/ISO/AVC") + audioEntry());
    ASSERT_EQ(segmentFront.size(), seekHeadBytes + front.size());
    SparseFile file(kFileSize, {{0, head + idBytes(kSegment) +
                                        sizeBytes(kFileSize - segmentBodyAt) + segmentFront},
                                {clusterAt, idBytes(kCluster) + sizeBytes(tailAt - clusterAt - 12)},
                                {tailAt, tail}});
    const MediaInfo values = BuiltinReader::readFile(file);
    ASSERT_NE(values.find("TIME"), nullptr);
    EXPECT_EQ(utf16ToUtf8(*values.find("TIME")), "02:00:00 (7200sec)") << withDuration;
    EXPECT_EQ(utf16ToUtf8(*values.find("INAM")), "Long Movie") << withDuration;
    // The head and the tail; without Duration a bounded stretch at the end as well.
    EXPECT_LE(file.reads, withDuration ? 3 : 5) << withDuration;
    EXPECT_LE(file.bytes, withDuration ? 8u * 1024 : 80u * 1024) << withDuration;
  }
}

}  // namespace
}  // namespace sonavid::media
