#include "media/tags/id3v1.h"

#include "common/text.h"
#include "media/tags/byte_text.h"
#include "media/tags/id3_genres.h"
#include "media/tags/trailing_tags.h"

namespace sonavid::media {
namespace {

std::u16string field(std::string_view block, size_t offset, size_t length) {
  return trimTrailing(decodeByteText(untilNul(block.substr(offset, length))), true);
}

}  // namespace

std::optional<Id3v1Tag> parseId3v1(std::string_view block) {
  if (block.size() != kId3v1Bytes || block.substr(0, 3) != "TAG") return std::nullopt;
  Id3v1Tag tag;
  tag.title = field(block, 3, 30);
  tag.artist = field(block, 33, 30);
  tag.album = field(block, 63, 30);
  tag.year = field(block, 93, 4);
  tag.comment = field(block, 97, 30);
  // v1.1: a NUL before the last comment byte turns that byte into the track number.
  const auto track = static_cast<uint8_t>(block[126]);
  if (block[125] == '\0' && track != 0) tag.track = toU16(track);
  tag.genre = std::u16string(id3GenreName(static_cast<uint8_t>(block[127])));
  return tag;
}

AlbumFacts id3v1AlbumFacts(const Id3v1Tag& tag) {
  AlbumFacts facts;
  facts.date = tag.year;
  facts.track = tag.track;
  return facts;
}

}  // namespace sonavid::media
