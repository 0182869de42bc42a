#include "media/tags/vorbis_comment.h"

#include <initializer_list>
#include <iterator>

#include "media/tags/byte_text.h"

namespace sonavid::media {

std::u16string VorbisComments::first(std::string_view upperName) const {
  for (const auto& [name, value] : fields) {
    if (name == upperName) return value;
  }
  return {};
}

std::u16string VorbisComments::joined(std::string_view upperName) const {
  std::u16string out;
  for (const auto& [name, value] : fields) {
    if (name != upperName || value.empty()) continue;
    if (!out.empty()) out += u"; ";
    out += value;
  }
  return out;
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

void setTagWithAliases(MediaInfo& info, std::string_view code, const std::u16string& value) {
  static constexpr std::string_view kSuffixes[] = {"", "_v1", "_v2", "_rmp", "_APE"};
  info.setUnderNames(code, kSuffixes, value);
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

  // Each fact under the first of its names that the block uses.
  auto firstOf = [&](std::initializer_list<std::string_view> names) {
    std::u16string value;
    for (auto it = names.begin(); it != names.end() && value.empty(); ++it) {
      value = comments.first(*it);
    }
    return value;
  };
  AlbumFacts& album = info.album;
  for (std::string_view name : {"ALBUMARTIST", "ALBUM ARTIST", "ALBUM_ARTIST"}) {
    if (album.albumArtist.empty()) album.albumArtist = comments.joined(name);
  }
  album.track = comments.first("TRACKNUMBER");
  album.trackTotal = firstOf({"TRACKTOTAL", "TOTALTRACKS"});
  album.disc = comments.first("DISCNUMBER");
  album.discTotal = firstOf({"DISCTOTAL", "TOTALDISCS"});
  album.date = comments.first("DATE");
  album.composer = comments.joined("COMPOSER");
  album.bpm = comments.first("BPM");
}

}  // namespace sonavid::media
