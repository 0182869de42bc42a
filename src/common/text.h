// UTF-16 text helpers used across the portable code.
#pragma once

#include <string>
#include <string_view>

namespace sonavid {

// Strict UTF-8 decoding; invalid sequences become U+FFFD.
std::u16string utf8ToUtf16(std::string_view bytes);
std::string utf16ToUtf8(std::u16string_view text);

// True when the bytes are valid UTF-8 and contain at least one multi-byte sequence.
bool isMultiByteUtf8(std::string_view bytes);

// Changes only the ASCII letters A to Z.
std::u16string asciiLower(std::u16string_view text);
bool equalsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b);

// Replaces every occurrence, left to right, without overlap.
void replaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to);

// Text up to and including the last '\\' or '/' ("" when there is none).
std::u16string_view directoryPart(std::u16string_view path);

// Decimal text of an integer.
std::u16string toU16(long long value);

}  // namespace sonavid
