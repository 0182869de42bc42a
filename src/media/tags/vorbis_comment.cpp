#include "media/tags/vorbis_comment.h"

#include <iterator>

#include "media/tags/byte_text.h"

namespace sonavid::media {

std::u16string VorbisComments::first(std::string_view upperName) const {
  for (const auto& [name, value] : fields) {
    if (name == upperName) return value;
  }
  return {};
}

VorbisComments parseVorbisComments(ByteReader& reader) {
  VorbisComments comments;
  const uint32_t vendorLength = reader.u32le();
  reader.skip(vendorLength);
  const uint32_t count = reader.u32le();
  for (uint32_t i = 0; i < count && i < kMaxVorbisFields && reader.ok(); ++i) {
    const uint32_t length = reader.u32le();
    std::string_view field = reader.bytes(length);
    if (reader.failed()) break;
    const size_t equals = field.find('=');
    if (equals == std::string_view::npos || equals == 0) continue;
    std::string name(field.substr(0, equals));
    for (char& c : name) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    comments.fields.emplace_back(std::move(name), decodeByteText(field.substr(equals + 1)));
  }
  return comments;
}

namespace {

// The album facts in one pass over the fields: most blocks hold none of them. A fact takes the
// first field of its names; the album artist and the composer every field of the name that
// came first, joined.
void setVorbisAlbumFacts(const VorbisComments& comments, AlbumFacts& facts) {
  struct Name {
    std::string_view name;
    std::u16string AlbumFacts::*fact;
    bool joined;
  };
  static constexpr Name kNames[] = {
      {"ALBUMARTIST", &AlbumFacts::albumArtist, true},
      {"ALBUM ARTIST", &AlbumFacts::albumArtist, true},
      {"ALBUM_ARTIST", &AlbumFacts::albumArtist, true},
      {"TRACKNUMBER", &AlbumFacts::track, false},
      {"TRACKTOTAL", &AlbumFacts::trackTotal, false},
      {"TOTALTRACKS", &AlbumFacts::trackTotal, false},
      {"DISCNUMBER", &AlbumFacts::disc, false},
      {"DISCTOTAL", &AlbumFacts::discTotal, false},
      {"TOTALDISCS", &AlbumFacts::discTotal, false},
      {"DATE", &AlbumFacts::date, false},
      {"COMPOSER", &AlbumFacts::composer, true},
      {"BPM", &AlbumFacts::bpm, false},
  };
  std::string_view albumArtistName;
  for (const auto& [name, value] : comments.fields) {
    if (value.empty()) continue;
    for (const Name& known : kNames) {
      if (name != known.name) continue;
      std::u16string& kept = facts.*known.fact;
      if (known.fact == &AlbumFacts::albumArtist) {
        if (albumArtistName.empty()) albumArtistName = known.name;
        if (albumArtistName != known.name) break;
      }
      if (kept.empty()) {
        kept = value;
      } else if (known.joined) {
        kept += u"; ";
        kept += value;
      }
      break;
    }
  }
}

}  // namespace

void setTagWithAliases(MediaInfo& info, std::string_view code, std::u16string value) {
  static constexpr std::string_view kSuffixes[] = {"", "_v1", "_v2", "_rmp", "_APE"};
  info.setUnderNames(code, kSuffixes, std::move(value));
}

void setVorbisCommentValues(const VorbisComments& comments, MediaInfo& info) {
  std::u16string comment = comments.first("COMMENT");
  if (comment.empty()) comment = comments.first("DESCRIPTION");
  setTagWithAliases(info, "INAM", comments.first("TITLE"));
  setTagWithAliases(info, "IART", comments.first("ARTIST"));
  setTagWithAliases(info, "IPRD", comments.first("ALBUM"));
  setTagWithAliases(info, "ICMT", comment);
  setTagWithAliases(info, "ICRD", comments.first("DATE"));
  setTagWithAliases(info, "IGNR", comments.first("GENRE"));
  setTagWithAliases(info, "TRACK", comments.first("TRACKNUMBER"));

  setVorbisAlbumFacts(comments, info.album);
}

}  // namespace sonavid::media
