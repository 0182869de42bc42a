// Texts in the tools' plain output, where a line is a record and a tab separates columns.
#pragma once

#include <string>
#include <string_view>

namespace sonavid::tools {

// The text with every character that could end a line or a column, or hide itself, written as
// an escape: tab, line feed and carriage return as \t, \n and \r; other control characters as
// \xNN; the bytes of a file name that were not UTF-8 (U+DC80..U+DCFF) as \xNN; other lone
// surrogates and the line and paragraph separators as \uNNNN. Everything else is unchanged.
std::u16string escapeForPlainOutput(std::u16string_view text);

}  // namespace sonavid::tools
