// Settings-file bytes for the tests, made independently of the code under test.
#pragma once

#include <string>
#include <string_view>

namespace sonavid {

// UTF-16LE bytes after the mark FF FE.
inline std::string utf16le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

}  // namespace sonavid
