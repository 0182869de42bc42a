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

void put(MediaInfo& info, std::string_view base, std::string_view suffix, std::u16string value) {
  if (value.empty()) return;
  std::string code(base);
  code += suffix;
  info.set(code, std::move(value));
}

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

void addId3v1Values(const Id3v1Tag& tag, MediaInfo& info) {
  put(info, "INAM", "_v1", tag.title);
  put(info, "IART", "_v1", tag.artist);
  put(info, "IPRD", "_v1", tag.album);
  put(info, "ICMT", "_v1", tag.comment);
  put(info, "ICRD", "_v1", tag.year);
  put(info, "IGNR", "_v1", tag.genre);
  put(info, "TRACK", "_v1", tag.track);
  info.album.fillFrom(id3v1AlbumFacts(tag));
}

void addId3v2Values(const Id3v2Tag& tag, MediaInfo& info) {
  static constexpr std::pair<std::string_view, std::string_view> kFrames[] = {
      {"INAM", "TIT2"}, {"IART", "TPE1"}, {"IPRD", "TALB"}, {"ICMT", "COMM"},
      {"ICOP", "TCOP"}, {"ISFT", "TSSE"}, {"COMP", "TCOM"}, {"OART", "TOPE"},
      {"URL", "WXXX"},  {"ENC2", "TENC"}, {"TRACK", "TRCK"}};
  for (const auto& [code, frame] : kFrames) put(info, code, "_v2", tag.text(frame));
  std::u16string year = tag.text("TYER");
  put(info, "ICRD", "_v2", year.empty() ? tag.text("TDRC") : year);
  put(info, "IGNR", "_v2", resolveId3Genre(tag.text("TCON")));
  info.album.fillFrom(id3v2AlbumFacts(tag));
}

void addApeValues(const ApeTag& tag, MediaInfo& info) {
  static constexpr std::pair<std::string_view, std::u16string_view> kKeys[] = {
      {"INAM", u"Title"}, {"IART", u"Artist"}, {"IPRD", u"Album"}, {"ICMT", u"Comment"},
      {"ICRD", u"Year"},  {"IGNR", u"Genre"},  {"TRACK", u"Track"}};
  for (const auto& [code, key] : kKeys) put(info, code, "_APE", tag.value(key));
  info.album.fillFrom(apeAlbumFacts(tag));
}

void addPlainTagValues(MediaInfo& info) {
  static constexpr std::string_view kCodes[] = {"INAM", "IART", "IPRD", "ICMT", "ICRD",
                                                "IGNR", "ICOP", "ISFT", "COMP", "OART",
                                                "URL",  "ENC2", "ISRC", "IENG", "TRACK"};
  static constexpr std::string_view kSuffixes[] = {"_v2", "_APE", "_rmp", "_v1"};
  constexpr size_t kCodeCount = std::size(kCodes);
  constexpr size_t kNone = std::size(kSuffixes);
  // One pass over the values: for each code, the non-empty value with the earliest suffix.
  size_t bestRank[kCodeCount];
  std::fill(std::begin(bestRank), std::end(bestRank), kNone);
  const std::u16string* best[kCodeCount] = {};
  info.forEach([&](std::string_view name, const std::u16string& value) {
    const size_t underscore = name.find('_');
    if (value.empty() || underscore == std::string_view::npos) return;
    const std::string_view suffix = name.substr(underscore);
    size_t rank = 0;
    while (rank < kNone && !sameShortText(suffix, kSuffixes[rank])) ++rank;
    if (rank == kNone) return;
    const std::string_view base = name.substr(0, underscore);
    for (size_t c = 0; c < kCodeCount; ++c) {
      if (!sameShortText(base, kCodes[c])) continue;
      if (rank < bestRank[c]) {
        bestRank[c] = rank;
        best[c] = &value;
      }
      break;
    }
  });
  // Copied before any is set: setting a code may move the values found.
  std::u16string chosen[kCodeCount];
  for (size_t c = 0; c < kCodeCount; ++c) {
    if (best[c] != nullptr) chosen[c] = *best[c];
  }
  for (size_t c = 0; c < kCodeCount; ++c) {
    if (best[c] != nullptr) info.set(kCodes[c], std::move(chosen[c]));
  }
}

void addStreamTagValues(std::optional<Id3v2Tag> leading, const TrailingTags& trailing,
                        MediaInfo& info) {
  if (!leading && trailing.id3v2) leading = parseId3v2(*trailing.id3v2);
  if (leading) addId3v2Values(*leading, info);
  if (trailing.ape) addApeValues(*trailing.ape, info);
  if (trailing.id3v1) {
    if (auto v1 = parseId3v1(*trailing.id3v1)) addId3v1Values(*v1, info);
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
