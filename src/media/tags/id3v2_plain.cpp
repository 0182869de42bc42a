#include "media/tags/id3v2_plain.h"

#include <utility>

namespace sonavid::media {

std::u16string id3v2PlainValue(const Id3v2Tag& tag, std::string_view code) {
  static constexpr std::pair<std::string_view, std::string_view> kFrames[] = {
      {"INAM", "TIT2"}, {"IART", "TPE1"}, {"IPRD", "TALB"},
      {"ICMT", "COMM"}, {"ICOP", "TCOP"}, {"TRACK", "TRCK"}};
  for (const auto& [plain, frame] : kFrames) {
    if (code == plain) return tag.text(frame);
  }
  if (code == "ICRD") {
    std::u16string year = tag.text("TYER");
    return year.empty() ? tag.text("TDRC") : year;
  }
  if (code == "IGNR") return resolveId3Genre(tag.text("TCON"));
  return {};
}

AlbumFacts id3v2AlbumFacts(const Id3v2Tag& tag) {
  AlbumFacts facts;
  facts.albumArtist = tag.text("TPE2");
  facts.track = tag.text("TRCK");
  facts.disc = tag.text("TPOS");
  facts.date = tag.text("TYER");
  if (facts.date.empty()) facts.date = tag.text("TDRC");
  facts.composer = tag.text("TCOM");
  facts.bpm = tag.text("TBPM");
  return facts;
}

}  // namespace sonavid::media
