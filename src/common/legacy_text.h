// Texts in a legacy encoding with nothing saying which. Tags without a declared Unicode
// encoding were written by Japanese taggers in Shift-JIS and by Western ones in Latin-1
// (Windows-1252); the bytes alone tell them apart almost always, so each text is decoded the
// way its bytes read best, whatever the system's code page.
#pragma once

#include <string>
#include <string_view>

namespace sonavid {

enum class LegacyEncoding { kShiftJis, kWindows1252 };

// The more plausible reading of `bytes`: Shift-JIS when they are well-formed Shift-JIS whose
// characters look Japanese (kana, common kanji, full-width forms) more than their Windows-1252
// reading looks like accented letters among ASCII ones; Windows-1252 otherwise. `tie` decides
// when both readings score the same (pure ASCII among them).
LegacyEncoding guessLegacyEncoding(std::string_view bytes, LegacyEncoding tie);

// Windows-1252 to UTF-16. The five bytes the code page leaves undefined keep their own codes,
// as Windows' own conversion does.
std::u16string windows1252ToUtf16(std::string_view bytes);

// Well-formed Shift-JIS that ends with the first byte of a double-byte character (a field cut
// to its size in the middle of one): the bytes without that half character.
std::string_view withoutCutShiftJisCharacter(std::string_view bytes);

}  // namespace sonavid
