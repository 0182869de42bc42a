// Adapts a Perl pattern to Oniguruma over UTF-16 text.
#pragma once

#include <string>
#include <string_view>

namespace sonavid::regex {

// Oniguruma reads "\xHH" and octal escapes as single bytes, which are not characters in a
// UTF-16 text (the pattern would be refused). Perl means a character: "\xHH" (one or two hex
// digits) and "\0", "\0o", "\0oo" become "\x{...}". Text between \Q and \E, and escaped
// backslashes, are left alone; so is every other sequence.
std::u16string rewriteByteEscapes(std::u16string_view pattern);

}  // namespace sonavid::regex
