// Vorbis comments, the tags of Ogg Vorbis, Opus and FLAC: a vendor text, then "NAME=value"
// fields in UTF-8 with case-insensitive names. Also the plain tag codes that formats with one
// tag source share, and their tag-source aliases.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "media/byte_reader.h"
#include "media/media_info.h"

namespace sonavid::media {

// Most fields kept from one comment block.
inline constexpr uint32_t kMaxVorbisFields = 4096;

struct VorbisComments {
  // Field names in upper case, values decoded from UTF-8, in stored order.
  std::vector<std::pair<std::string, std::u16string>> fields;

  // First value of the field (name in upper case), "" when absent.
  std::u16string first(std::string_view upperName) const;
};

// Reads a comment block from the reader's position: vendor length and text, field count,
// then length-prefixed fields. A block cut short keeps the fields read before the cut.
VorbisComments parseVorbisComments(ByteReader& reader);

// Sets INAM, IART, IPRD, ICMT, ICRD, IGNR and TRACK (with aliases) from the fields, and keeps
// their album facts.
void setVorbisCommentValues(const VorbisComments& comments, MediaInfo& info);

// Sets a plain tag code and the same code with each tag-source suffix ("_v1", "_v2",
// "_rmp", "_APE"), so the field list's suffixed entries answer on files with one tag source.
void setTagWithAliases(MediaInfo& info, std::string_view code, std::u16string value);

}  // namespace sonavid::media
