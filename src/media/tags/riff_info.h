// The INFO list of a RIFF file: "LIST", size, "INFO", then sub-chunks of a four-letter id
// (INAM, IART, ICMT ...), a 32-bit little-endian size and a NUL-terminated byte text, each
// padded to an even length.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sonavid::media {

inline constexpr size_t kMaxRiffInfoItems = 256;

// Items of a list body (the bytes after "INFO"), in order; values decoded and trimmed of
// trailing NULs. Damage ends the list.
std::vector<std::pair<std::string, std::u16string>> parseRiffInfo(std::string_view body);

}  // namespace sonavid::media
