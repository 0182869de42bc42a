// Texts stored as bytes with no declared encoding (ID3v1, ID3v2 encoding 0, RIFF INFO, VQF,
// APE and Vorbis texts that are not UTF-8): UTF-8 when the bytes are valid UTF-8 with at least
// one multi-byte sequence. Otherwise, on a system whose ANSI code page is Japanese (932) or
// Western (1252), Shift-JIS or Windows-1252, whichever the bytes read as (the code page only
// breaks a tie), so both kinds of tag read right on both systems; on any other system its
// ANSI code page.
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
