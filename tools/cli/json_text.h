// JSON string literals for the `info --json` output.
#pragma once

#include <string>
#include <string_view>

namespace sonavid::cli {

// The text as a quoted JSON string (UTF-8), with quotes, backslashes and control characters
// escaped; a lone surrogate (a file-name byte that was not UTF-8) as a \u escape.
std::string jsonString(std::u16string_view text);

}  // namespace sonavid::cli
