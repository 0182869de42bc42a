// Adapts a Perl pattern to Oniguruma over UTF-16 text.
#pragma once

#include <string>
#include <string_view>

namespace sonavid::regex {

// Rewrites the Perl escapes that Oniguruma reads otherwise:
// - "\xHH" (one or two hex digits) and "\0", "\0o", "\0oo" mean a character to Perl but a
//   single byte to Oniguruma, which is no character of a UTF-16 text (the pattern would be
//   refused): they become "\x{...}".
// - "\h" and "\H" (horizontal white space, the ideographic space included, and its opposite)
//   would be a plain "h": they become "\p{Blank}" and "\P{Blank}", which also work inside
//   a character class.
// Text between \Q and \E, escaped backslashes and every other sequence are left alone.
std::u16string adaptPerlPattern(std::u16string_view pattern);

}  // namespace sonavid::regex
