#include "media/mpeg_audio/mp3_values.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "common/text.h"
#include "media/file_reads.h"
#include "media/tags/id3v2_plain.h"
#include "media/values/playing_time.h"

namespace sonavid::media {
namespace {

// Sets the values of one tag, each under its code and the tag's suffix ("INAM_v2"). The codes
// of a tag are set once each: they are looked for in the list only when an earlier tag of the
// same kind set some (an "id3 " chunk seen twice).
class TagValues {
 public:
  TagValues(MediaInfo& info, std::string_view suffix)
      : info_(info), suffix_(suffix), fresh_(!info.holdsSuffix(suffix)) {}

  void put(std::string_view base, std::u16string value) {
    if (value.empty()) return;
    char code[32];
    if (base.size() + suffix_.size() > sizeof code) return;
    std::copy(base.begin(), base.end(), code);
    std::copy(suffix_.begin(), suffix_.end(), code + base.size());
    const std::string_view name(code, base.size() + suffix_.size());
    if (fresh_) {
      info_.setNew(name, std::move(value));
    } else {
      info_.set(name, std::move(value));
    }
  }

 private:
  MediaInfo& info_;
  std::string_view suffix_;
  bool fresh_;
};

}  // namespace

void addMpegStreamValues(const MpegStreamInfo& stream, MediaInfo& info) {
  info.set("TIME", minutesSecondsText(stream.durationMs / 1000));
  info.set("AFMT", mpegAudioFormatText(stream));
  info.set("VFMT", u"");
  StreamFacts& facts = info.facts;
  facts.durationMs = static_cast<int64_t>(stream.durationMs);
  const int layer = stream.first.layer;
  facts.audioCodec = layer == 1 ? "MP1" : layer == 2 ? "MP2" : "MP3";
  facts.audioKbps = static_cast<uint32_t>(stream.bitrateKbps < 0 ? 0 : stream.bitrateKbps);
  facts.sampleRate = static_cast<uint32_t>(stream.first.sampleRate);
  facts.channels = stream.first.mode == ChannelMode::kMono ? 1 : 2;
}

void addId3v1Values(Id3v1Tag tag, MediaInfo& info) {
  info.album.fillFrom(id3v1AlbumFacts(tag));
  TagValues values(info, "_v1");
  values.put("INAM", std::move(tag.title));
  values.put("IART", std::move(tag.artist));
  values.put("IPRD", std::move(tag.album));
  values.put("ICMT", std::move(tag.comment));
  values.put("ICRD", std::move(tag.year));
  values.put("IGNR", std::move(tag.genre));
  values.put("TRACK", std::move(tag.track));
}

void addId3v2Values(Id3v2Tag tag, MediaInfo& info) {
  info.album.fillFrom(id3v2AlbumFacts(tag));
  // The frames each code takes, in the order the codes are set; the year is TYER, else TDRC.
  static constexpr std::pair<std::string_view, std::string_view> kFrames[] = {
      {"INAM", "TIT2"}, {"IART", "TPE1"}, {"IPRD", "TALB"}, {"ICMT", "COMM"},
      {"ICOP", "TCOP"}, {"ISFT", "TSSE"}, {"COMP", "TCOM"}, {"OART", "TOPE"},
      {"URL", "WXXX"},  {"ENC2", "TENC"}, {"TRACK", "TRCK"}, {"ICRD", "TYER"},
      {"ICRD", "TDRC"}, {"IGNR", "TCON"}};
  constexpr size_t kYear = 11, kRecordingTime = 12, kGenre = 13;
  // One pass over the frames finds each one's text (the first frame of an id); the texts are
  // then moved into the values, not copied.
  std::u16string* found[std::size(kFrames)] = {};
  for (auto& [id, text] : tag.frames) {
    for (size_t i = 0; i < std::size(kFrames); ++i) {
      if (found[i] == nullptr && sameShortText(id, kFrames[i].second)) {
        found[i] = &text;
        break;
      }
    }
  }
  TagValues values(info, "_v2");
  for (size_t i = 0; i < kYear; ++i) {
    if (found[i] != nullptr) values.put(kFrames[i].first, std::move(*found[i]));
  }
  std::u16string* year = found[kYear] != nullptr && !found[kYear]->empty() ? found[kYear]
                                                                           : found[kRecordingTime];
  if (year != nullptr) values.put("ICRD", std::move(*year));
  if (found[kGenre] != nullptr) values.put("IGNR", resolveId3Genre(*found[kGenre]));
}

void addApeValues(const ApeTag& tag, MediaInfo& info) {
  static constexpr std::pair<std::string_view, std::u16string_view> kKeys[] = {
      {"INAM", u"Title"}, {"IART", u"Artist"}, {"IPRD", u"Album"}, {"ICMT", u"Comment"},
      {"ICRD", u"Year"},  {"IGNR", u"Genre"},  {"TRACK", u"Track"}};
  TagValues values(info, "_APE");
  for (const auto& [code, key] : kKeys) values.put(code, tag.value(key));
  info.album.fillFrom(apeAlbumFacts(tag));
}

void addPlainTagValues(MediaInfo& info) {
  static constexpr std::string_view kCodes[] = {"INAM", "IART", "IPRD", "ICMT", "ICRD",
                                                "IGNR", "ICOP", "ISFT", "COMP", "OART",
                                                "URL",  "ENC2", "ISRC", "IENG", "TRACK"};
  static constexpr std::string_view kSuffixes[] = {"_v2", "_APE", "_rmp", "_v1"};
  info.deriveFromFirstSuffixed(kCodes, kSuffixes);
}

void addStreamTagValues(std::optional<Id3v2Tag> leading, const TrailingTags& trailing,
                        MediaInfo& info) {
  if (!leading && trailing.id3v2) leading = parseId3v2(*trailing.id3v2);
  if (leading) addId3v2Values(std::move(*leading), info);
  if (trailing.ape) addApeValues(*trailing.ape, info);
  if (trailing.id3v1) {
    if (auto v1 = parseId3v1(*trailing.id3v1)) addId3v1Values(std::move(*v1), info);
  }
  addPlainTagValues(info);
}

std::optional<Id3v2Tag> readLeadingId3v2(RandomAccessFile& file, std::string_view head,
                                         uint64_t& audioStart) {
  const uint64_t tagSize = id3v2TagSize(head);
  if (tagSize == 0) return std::nullopt;
  audioStart = std::min(tagSize, file.size());
  if (tagSize <= kMaxBlockBytes) {
    ReadBuffer storage;
    return parseId3v2(viewBlock(file, 0, static_cast<size_t>(tagSize), storage));
  }
  return parseId3v2(readId3v2Tag(file, tagSize));
}

}  // namespace sonavid::media
