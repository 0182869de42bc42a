#include "media/tags/riff_info.h"

#include "media/byte_reader.h"
#include "media/tags/byte_text.h"

namespace sonavid::media {

std::vector<std::pair<std::string, std::u16string>> parseRiffInfo(std::string_view body) {
  std::vector<std::pair<std::string, std::u16string>> items;
  ByteReader in(body);
  while (items.size() < kMaxRiffInfoItems && in.has(8)) {
    const std::string_view id = in.bytes(4);
    const uint32_t size = in.u32le();
    // A size past the list's end is cut to what is there.
    const size_t length = size < in.remaining() ? size : in.remaining();
    const std::string_view value = in.bytes(length);
    if ((length & 1) != 0 && in.remaining() > 0) in.skip(1);
    for (char c : id) {
      if (c < 0x20 || c > 0x7E) return items;
    }
    items.emplace_back(std::string(id), trimTrailing(decodeByteText(untilNul(value))));
  }
  return items;
}

}  // namespace sonavid::media
