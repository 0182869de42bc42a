// Tags of ASF files (WMA, WMV): the Content Description object's five fixed texts and the
// named attributes of the Extended Content Description, Metadata and Metadata Library objects.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "media/byte_reader.h"
#include "media/media_info.h"

namespace sonavid::media {

// Most attributes kept from one file; later ones are ignored.
inline constexpr size_t kMaxAsfAttributes = 4096;

// UTF-16LE bytes up to the first NUL character (an odd last byte is dropped).
std::u16string decodeUtf16Le(std::string_view bytes);

class AsfContent {
 public:
  // Each takes the object's body (after the 24-byte object header).
  void readContentDescription(ByteReader body);
  void readExtendedContentDescription(ByteReader body);
  // The Metadata and Metadata Library objects share one record layout.
  void readMetadata(ByteReader body);

  // Value of the first attribute of that name with a non-empty text ("" when none).
  std::u16string attribute(std::u16string_view name) const;
  // Sets INAM, IART, ICOP, ICMT, IPRD, ICRD, IGNR, URL1, URL2 and TRACK, and keeps the album
  // facts.
  void fill(MediaInfo& info) const;

 private:
  void addAttribute(std::u16string name, uint16_t type, std::string_view data);

  std::u16string title_, author_, copyright_, description_;
  std::vector<std::pair<std::u16string, std::u16string>> attributes_;
};

}  // namespace sonavid::media
