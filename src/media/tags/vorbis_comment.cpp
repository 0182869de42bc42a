#include "media/tags/vorbis_comment.h"

#include <iterator>

#include "common/text.h"

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
    comments.fields.emplace_back(std::move(name), utf8ToUtf16(field.substr(equals + 1)));
  }
  return comments;
}

void setTagWithAliases(MediaInfo& info, std::string_view code, const std::u16string& value) {
  static constexpr std::string_view kSuffixes[] = {"", "_v1", "_v2", "_rmp", "_APE"};
  constexpr size_t kCount = std::size(kSuffixes);
  // As info.set() name by name, in one pass over the values: the names already there get the
  // value, the others are added in the order above.
  bool present[kCount] = {};
  for (auto& [name, old] : info.values) {
    if (!name.starts_with(code)) continue;
    const std::string_view suffix = std::string_view(name).substr(code.size());
    for (size_t i = 0; i < kCount; ++i) {
      if (!present[i] && suffix == kSuffixes[i]) {
        old = value;
        present[i] = true;
        break;
      }
    }
  }
  // Tags come as a handful of fields: room for several at once saves growing the list each time.
  if (info.values.capacity() - info.values.size() < kCount) {
    info.values.reserve(info.values.size() + 8 * kCount);
  }
  for (size_t i = 0; i < kCount; ++i) {
    if (present[i]) continue;
    std::string name(code);
    name += kSuffixes[i];
    info.values.emplace_back(std::move(name), value);
  }
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
}

}  // namespace sonavid::media
