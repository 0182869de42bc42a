// Integer reading shared by the settings files, the macro parameters and reader values.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace sonavid {

// Reads a whole text as a signed 32-bit integer: leading spaces, an optional sign, then either
// decimal digits or, after "$", "x", "X", "0x" or "0X", hexadecimal digits, up to the end.
// Anything else (empty text, trailing characters, overflow) gives no value.
std::optional<int32_t> readInt32(std::u16string_view text);

// readInt32 with the caller's default for refused texts.
int32_t readInt32Or(std::u16string_view text, int32_t fallback);

}  // namespace sonavid
