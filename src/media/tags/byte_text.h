// Texts stored as bytes with no declared encoding (ID3v1, ID3v2 encoding 0, RIFF INFO, APE):
// UTF-8 when the bytes are valid UTF-8 with at least one multi-byte sequence, otherwise the
// system ANSI code page, so Shift-JIS tags read right on a Japanese system.
#pragma once

#include <string>
#include <string_view>

namespace sonavid::media {

std::u16string decodeByteText(std::string_view bytes);

// The bytes before the first NUL (all of them when there is none).
std::string_view untilNul(std::string_view bytes);

// Removes trailing NULs, and also trailing spaces when `spacesToo` (ID3v1 pads with either).
std::u16string trimTrailing(std::u16string text, bool spacesToo = false);

}  // namespace sonavid::media
