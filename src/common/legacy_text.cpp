#include "common/legacy_text.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>

namespace sonavid {
namespace {

// Evidence, in points, that a character belongs to one reading. A code that no encoder writes
// counts heavily against its reading; the rest add up, so a long text outweighs a stray
// character that happens to fit the other reading.
constexpr int kUnassigned = -6;
constexpr int kRare = -2;
constexpr int kKana = 3;
constexpr int kCommon = 2;
constexpr int kPlausible = 1;
constexpr int kLetterBesideAscii = 3;

bool isAsciiLetter(uint8_t b) { return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'); }

// --- Shift-JIS (code page 932) ----------------------------------------------------------

bool isLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrailByte(uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
bool isHalfWidthKatakana(uint8_t b) { return b >= 0xA1 && b <= 0xDF; }

bool inRanges(int cell, std::initializer_list<std::pair<int, int>> ranges) {
  for (const auto& [first, last] : ranges) {
    if (cell >= first && cell <= last) return true;
  }
  return false;
}

// Points for one double-byte character, by its JIS X 0208 row and cell (rows 13 and 89 on
// are the code page's own extensions).
int shiftJisCharacterPoints(uint8_t lead, uint8_t trail) {
  int row = (lead <= 0x9F ? lead - 0x81 : lead - 0xC1) * 2 + 1;
  int cell = 0;
  if (trail >= 0x9F) {
    ++row;
    cell = trail - 0x9E;
  } else {
    cell = trail - 0x40 + (trail >= 0x80 ? 0 : 1);
  }
  switch (row) {
    case 1:  // punctuation: 、。・ー「」 and the ideographic space
      return kCommon;
    case 2:  // symbols, with gaps
      return inRanges(cell, {{1, 14}, {26, 33}, {42, 48}, {60, 74}, {82, 89}, {94, 94}})
                 ? kPlausible
                 : kUnassigned;
    case 3:  // full-width digits and Latin letters
      return inRanges(cell, {{16, 25}, {33, 58}, {65, 90}}) ? kCommon : kUnassigned;
    case 4:  // hiragana
      return cell <= 83 ? kKana : kUnassigned;
    case 5:  // katakana
      return cell <= 86 ? kKana : kUnassigned;
    case 6:  // Greek
      return inRanges(cell, {{1, 24}, {33, 56}}) ? kPlausible : kUnassigned;
    case 7:  // Cyrillic
      return inRanges(cell, {{1, 33}, {49, 81}}) ? 0 : kUnassigned;
    case 8:  // box drawing
      return cell <= 32 ? 0 : kUnassigned;
    case 13:  // circled numbers, Roman numerals, units
      return inRanges(cell, {{1, 30}, {32, 54}, {63, 92}}) ? kPlausible : kUnassigned;
    default:
      break;
  }
  if (row >= 16 && row <= 47) return row < 47 || cell <= 51 ? kCommon : kUnassigned;
  if (row >= 48 && row <= 84) return row < 84 || cell <= 6 ? kPlausible : kUnassigned;
  if (row >= 89 && row <= 92) return kRare;  // IBM extensions in NEC's arrangement
  if (row >= 115 && row <= 119) return row < 119 || cell <= 12 ? kRare : kUnassigned;
  return kUnassigned;  // empty rows and the user-defined area
}

// Points for the Shift-JIS reading, or nothing when the bytes are not Shift-JIS at all.
std::optional<int> shiftJisPoints(std::string_view bytes) {
  int points = 0;
  const size_t n = bytes.size();
  bool afterJapanese = false;  // the previous character was a double-byte one that fits
  for (size_t i = 0; i < n; ++i) {
    const auto b = static_cast<uint8_t>(bytes[i]);
    const bool previousFits = afterJapanese;
    afterJapanese = false;
    if (b < 0x80) continue;
    if (isHalfWidthKatakana(b)) {
      // Half-width katakana come in words; one alone among ASCII is more likely a Latin-1
      // sign or capital.
      const bool besideKana =
          (i > 0 && isHalfWidthKatakana(static_cast<uint8_t>(bytes[i - 1]))) ||
          (i + 1 < n && isHalfWidthKatakana(static_cast<uint8_t>(bytes[i + 1])));
      points += besideKana ? kPlausible : -kPlausible;
      continue;
    }
    if (!isLeadByte(b)) return std::nullopt;
    if (i + 1 == n) {
      // Half a character at the end: a field cut to its size, or a Latin-1 letter.
      points += kRare;
      break;
    }
    const auto trail = static_cast<uint8_t>(bytes[++i]);
    if (!isTrailByte(trail)) return std::nullopt;
    const int character = shiftJisCharacterPoints(b, trail);
    // Japanese characters come in runs; accented letters read as Shift-JIS make characters
    // that stand alone between ASCII ones.
    points += character + (character > 0 && previousFits ? kPlausible : 0);
    afterJapanese = character > 0;
  }
  return points;
}

// --- Windows-1252 ----------------------------------------------------------------------

constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

bool isUndefined1252(uint8_t b) {
  return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}
bool isLower1252(uint8_t b) {
  return b == 0x9A || b == 0x9C || b == 0x9E || (b >= 0xDF && b != 0xF7);
}
bool isUpper1252(uint8_t b) {
  return b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9F || (b >= 0xC0 && b <= 0xDE && b != 0xD7);
}
bool isLetter1252(uint8_t b) { return isAsciiLetter(b) || isLower1252(b) || isUpper1252(b); }
// Letters of Western languages other than French, German and Spanish, which Shift-JIS lead
// bytes also make: Š š Ž ž Ÿ Œ.
bool isRareLetter1252(uint8_t b) {
  return b == 0x8A || b == 0x9A || b == 0x8E || b == 0x9E || b == 0x9F || b == 0x8C;
}
bool isAsciiUpper(uint8_t b) { return b >= 'A' && b <= 'Z'; }
bool isAsciiLower(uint8_t b) { return b >= 'a' && b <= 'z'; }
// Quotes and the ellipsis that Western taggers type: ‘ “ „ open, ’ ” … and German “ close.
bool isOpeningMark1252(uint8_t b) { return b == 0x91 || b == 0x93 || b == 0x84; }
bool isClosingMark1252(uint8_t b) { return b == 0x92 || b == 0x93 || b == 0x94 || b == 0x85; }
bool isSpaceOrEdge(std::string_view bytes, size_t i) {
  return i >= bytes.size() || bytes[i] == ' ';
}

// Points for the Windows-1252 reading: accented letters next to ASCII letters, typographic
// marks at word edges.
int windows1252Points(std::string_view bytes) {
  int points = 0;
  const size_t n = bytes.size();
  auto at = [&](size_t i) { return i < n ? static_cast<uint8_t>(bytes[i]) : uint8_t{0}; };
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = at(i);
    if (b < 0x80) continue;
    const uint8_t before = i > 0 ? at(i - 1) : 0;
    const uint8_t after = at(i + 1);
    if (isUndefined1252(b)) {
      points += kUnassigned;
    } else if (isLower1252(b) || isUpper1252(b)) {
      // A small letter inside or at the end of a word, or starting one; a capital starting a
      // word or inside a word in capitals.
      const bool inWord = isLower1252(b) ? isAsciiLetter(before) || isAsciiLower(after)
                                         : isAsciiUpper(before) || isAsciiUpper(after) ||
                                               (!isLetter1252(before) && isAsciiLower(after));
      if (inWord) points += isRareLetter1252(b) ? kPlausible : kLetterBesideAscii;
    } else if (b == 0x92 && isAsciiLetter(before) && isAsciiLetter(after)) {
      points += kLetterBesideAscii;  // the apostrophe of "l’été", "don’t"
    } else if (isOpeningMark1252(b) || isClosingMark1252(b) || b == 0xA1 || b == 0xBF) {
      // Quotes, and Spanish ¡ and ¿, at the edges of words.
      const bool opens = !isClosingMark1252(b) || b == 0x93;
      if (opens && (i == 0 || before == ' ') && isLetter1252(after)) {
        points += isAsciiLetter(after) ? kCommon : kPlausible;
      } else if (isClosingMark1252(b) && isLetter1252(before) && isSpaceOrEdge(bytes, i + 1)) {
        points += kCommon;
      }
    }
  }
  return points;
}

}  // namespace

LegacyEncoding guessLegacyEncoding(std::string_view bytes, LegacyEncoding tie) {
  const std::optional<int> japanese = shiftJisPoints(bytes);
  if (!japanese) return LegacyEncoding::kWindows1252;
  const int western = windows1252Points(bytes);
  if (*japanese != western) {
    return *japanese > western ? LegacyEncoding::kShiftJis : LegacyEncoding::kWindows1252;
  }
  return tie;
}

std::u16string windows1252ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto b = static_cast<uint8_t>(c);
    out.push_back(b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : static_cast<char16_t>(b));
  }
  return out;
}

std::string_view withoutCutShiftJisCharacter(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<uint8_t>(bytes[i]);
    if (!isLeadByte(b)) {
      ++i;
    } else if (i + 1 == bytes.size()) {
      return bytes.substr(0, i);
    } else {
      i += 2;
    }
  }
  return bytes;
}

}  // namespace sonavid
