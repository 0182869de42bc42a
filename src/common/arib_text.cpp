#include "common/arib_text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace sonavid {
namespace arib {
// Generated tables (arib_text_tables.cpp).
extern const char16_t kJisX0208[94 * 94];
extern const char16_t kJisX0213Plane1[94 * 94 * 2];
extern const char16_t kJisX0213Plane2[94 * 94 * 2];
extern const char16_t kAdditionalSymbols[5 * 94 * 2];
extern const char16_t kHalfWidthKana[];
extern const size_t kHalfWidthKanaCount;
}  // namespace arib

namespace {

constexpr char16_t kGetaMark = u'\u3013';

// The graphic sets a G buffer can hold. Layout of an 8-bit text (ISO/IEC 2022 as ARIB uses
// it): G0..G3 hold sets, GL (0x21-0x7E) and GR (0xA1-0xFE) are each invoked from one of them.
enum class GraphicSet : uint8_t {
  kKanji,              // JIS X 0208 with the additional symbols in rows 90-94
  kJisPlane1,          // JIS X 0213 plane 1
  kJisPlane2,          // JIS X 0213 plane 2
  kAdditionalSymbols,  // rows 90-94 as above; its other rows are additional kanji
  kAlphanumeric,
  kHiragana,
  kKatakana,
  kJisKatakana,  // JIS X 0201 katakana
  kDrcs,         // one-byte drawn characters
  kDrcsTwoByte,
  kNoText,         // mosaics and macros: drawn, no text
  kNoTextTwoByte,  // an unknown two-byte set
};

bool isTwoByte(GraphicSet set) {
  switch (set) {
    case GraphicSet::kKanji:
    case GraphicSet::kJisPlane1:
    case GraphicSet::kJisPlane2:
    case GraphicSet::kAdditionalSymbols:
    case GraphicSet::kDrcsTwoByte:
    case GraphicSet::kNoTextTwoByte:
      return true;
    default:
      return false;
  }
}

// Final bytes of the designation escapes (ARIB STD-B24 volume 1, its second part, table 7-3).
GraphicSet oneByteSet(uint8_t final) {
  switch (final) {
    case 0x4A:  // alphanumeric
    case 0x36:  // proportional alphanumeric
      return GraphicSet::kAlphanumeric;
    case 0x30:  // hiragana
    case 0x37:  // proportional hiragana
      return GraphicSet::kHiragana;
    case 0x31:  // katakana
    case 0x38:  // proportional katakana
      return GraphicSet::kKatakana;
    case 0x49:
      return GraphicSet::kJisKatakana;
    default:  // mosaic A-D (0x32-0x35) and anything unknown
      return GraphicSet::kNoText;
  }
}

GraphicSet twoByteSet(uint8_t final) {
  switch (final) {
    case 0x42:
      return GraphicSet::kKanji;
    case 0x39:
      return GraphicSet::kJisPlane1;
    case 0x3A:
      return GraphicSet::kJisPlane2;
    case 0x3B:
      return GraphicSet::kAdditionalSymbols;
    default:
      return GraphicSet::kNoTextTwoByte;
  }
}

// DRCS-0 (0x40) is the two-byte drawn set; DRCS-1..15 (0x41-0x4F) are one-byte; 0x70 is the
// macro set, whose characters run stored control sequences and show nothing themselves.
GraphicSet drcsSet(uint8_t final, bool twoByte) {
  if (twoByte) return final == 0x40 ? GraphicSet::kDrcsTwoByte : GraphicSet::kNoTextTwoByte;
  return final >= 0x41 && final <= 0x4F ? GraphicSet::kDrcs : GraphicSet::kNoText;
}

// Codes 0x77-0x7E of the hiragana and katakana sets: iteration marks and punctuation.
constexpr std::array<char16_t, 8> kHiraganaExtras = {u'ゝ', u'ゞ', u'ー', u'。',
                                                     u'「', u'」', u'、', u'・'};
constexpr std::array<char16_t, 8> kKatakanaExtras = {u'ヽ', u'ヾ', u'ー', u'。',
                                                     u'「', u'」', u'、', u'・'};

void appendCell(std::u16string& out, const char16_t* pair) {
  if (pair[0] == 0) return;
  out.push_back(pair[0]);
  if (pair[1] != 0) out.push_back(pair[1]);
}

// Rows 90-94 hold the additional symbols; the other rows (the additional kanji and unused
// rows) have no mapping here and show the geta mark, as a receiver without the glyph does.
void appendAdditionalSymbol(std::u16string& out, int row, int cell) {
  if (row < 90) {
    out.push_back(kGetaMark);
    return;
  }
  appendCell(out, &arib::kAdditionalSymbols[((row - 90) * 94 + cell) * 2]);
}

// The half-width form of one full-width character into `out` (the character itself when it
// has none).
void appendHalfWidth(std::u16string& out, char16_t c) {
  if (c >= 0xFF01 && c <= 0xFF5E) {
    out.push_back(static_cast<char16_t>(c - 0xFEE0));
    return;
  }
  if (c == 0x3000) return out.push_back(u' ');
  if (c == 0xFFE5) return out.push_back(u'\u00A5');
  if (c == 0xFFE3) return out.push_back(u'\u203E');
  const size_t rows = arib::kHalfWidthKanaCount;
  size_t lo = 0, hi = rows;
  while (lo < hi) {  // rows are sorted by their full-width character
    const size_t mid = (lo + hi) / 2;
    const char16_t key = arib::kHalfWidthKana[mid * 3];
    if (key == c) return appendCell(out, &arib::kHalfWidthKana[mid * 3 + 1]);
    if (key < c) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  out.push_back(c);
}

// The full-width form of an ASCII or half-width kana character (the character itself when it
// has none).
char16_t fullWidth(char16_t c) {
  if (c >= 0x21 && c <= 0x7E) return static_cast<char16_t>(c + 0xFEE0);
  if (c == u' ') return u'\u3000';
  if (c == 0x00A5) return u'\uFFE5';
  if (c == 0x203E) return u'\uFFE3';
  for (size_t i = 0; i < arib::kHalfWidthKanaCount * 3; i += 3) {
    if (arib::kHalfWidthKana[i + 1] == c && arib::kHalfWidthKana[i + 2] == 0) {
      return arib::kHalfWidthKana[i];
    }
  }
  return c;
}

class AribDecoder {
 public:
  explicit AribDecoder(std::string_view bytes) : text_(bytes) {}

  std::u16string decode() {
    while (pos_ < text_.size()) {
      const uint8_t b = byteAt(pos_);
      bool ok = true;
      if (b < 0x20) {
        ok = controlC0(b);
      } else if (b == 0x20) {
        ++pos_;
        appendSized(u' ', true);
      } else if (b < 0x7F) {
        ok = graphic(singleShift_ >= 0 ? g_[singleShift_] : g_[gl_]);
      } else if (b >= 0x80 && b < 0xA0) {
        ok = controlC1(b);
      } else if (b > 0xA0 && b < 0xFF) {
        ok = graphic(g_[gr_]);
      } else {
        ++pos_;  // DEL, 0xA0 and 0xFF show nothing
      }
      if (!ok) break;  // cut inside a character, an escape or a parameter
    }
    return std::move(out_);
  }

 private:
  uint8_t byteAt(size_t i) const { return static_cast<uint8_t>(text_[i]); }
  bool has(size_t n) const { return text_.size() - pos_ >= n; }

  // Skips a control code of `length` bytes (its parameters included).
  bool skip(size_t length) {
    if (!has(length)) return false;
    pos_ += length;
    return true;
  }

  bool controlC0(uint8_t b) {
    switch (b) {
      case 0x0D:  // APR: to the start of the next line
        out_ += u"\r\n";
        return skip(1);
      case 0x0E:  // LS1
        gl_ = 1;
        return skip(1);
      case 0x0F:  // LS0
        gl_ = 0;
        return skip(1);
      case 0x19:  // SS2
        singleShift_ = 2;
        return skip(1);
      case 0x1D:  // SS3
        singleShift_ = 3;
        return skip(1);
      case 0x1B:
        return escape();
      case 0x16:  // PAPF and its column count
        return skip(2);
      case 0x1C:  // APS and its row and column
        return skip(3);
      default:  // NUL, BEL, the other position and screen codes
        return skip(1);
    }
  }

  bool controlC1(uint8_t b) {
    switch (b) {
      case 0x88:  // SSZ: small size
      case 0x89:  // MSZ: middle size
        halfWidth_ = true;
        return skip(1);
      case 0x8A:  // NSZ: normal size
        halfWidth_ = false;
        return skip(1);
      case 0x8B:  // SZX
      case 0x91:  // FLC
      case 0x93:  // POL
      case 0x94:  // WMM
      case 0x97:  // HLC
      case 0x98:  // RPC
        return skip(2);
      case 0x90:  // COL: one parameter, two when the first is 0x20 (palette)
      case 0x92:  // CDC: likewise
        if (!has(2)) return false;
        return skip(byteAt(pos_ + 1) == 0x20 ? 3 : 2);
      case 0x9D:  // TIME: a kind and its value
        return skip(3);
      case 0x95:  // MACRO: a definition runs to MACRO 0x4F
        if (!has(2)) return false;
        if (byteAt(pos_ + 1) == 0x40 || byteAt(pos_ + 1) == 0x41) return skipMacroDefinition();
        return skip(2);
      case 0x9B:  // CSI: parameters, the intermediate 0x20 and a final byte
        return skipControlSequence();
      default:  // colours, SPL, STL and codes without parameters
        return skip(1);
    }
  }

  bool skipMacroDefinition() {
    for (size_t i = pos_ + 2; i + 1 < text_.size(); ++i) {
      if (byteAt(i) == 0x95 && byteAt(i + 1) == 0x4F) {
        pos_ = i + 2;
        return true;
      }
    }
    return false;
  }

  bool skipControlSequence() {
    for (size_t i = pos_ + 1; i + 1 < text_.size(); ++i) {
      if (byteAt(i) == 0x20) {
        pos_ = i + 2;
        return true;
      }
    }
    return false;
  }

  // ESC sequences: locking shifts to GL or GR, and designations of a set to G0..G3.
  bool escape() {
    if (!has(2)) return false;
    const uint8_t b1 = byteAt(pos_ + 1);
    switch (b1) {
      case 0x6E:  // LS2
        gl_ = 2;
        return skip(2);
      case 0x6F:  // LS3
        gl_ = 3;
        return skip(2);
      case 0x7E:  // LS1R
        gr_ = 1;
        return skip(2);
      case 0x7D:  // LS2R
        gr_ = 2;
        return skip(2);
      case 0x7C:  // LS3R
        gr_ = 3;
        return skip(2);
      default:
        break;
    }
    // Intermediate bytes (0x20-0x2F), then the final byte.
    size_t end = pos_ + 1;
    while (end < text_.size() && byteAt(end) >= 0x20 && byteAt(end) <= 0x2F) ++end;
    if (end >= text_.size()) return false;
    const uint8_t final = byteAt(end);
    if (final < 0x30 || final > 0x7E) {  // broken off: the next code starts afresh
      pos_ = end;
      return true;
    }
    designate(text_.substr(pos_ + 1, end - pos_ - 1), final);
    pos_ = end + 1;
    return true;
  }

  // ESC 2/8..2/11 F (one-byte set to G0..G3), ESC 2/4 F (two-byte set to G0),
  // ESC 2/4 2/9..2/11 F (two-byte set to G1..G3), and the same with 2/0 before F for the
  // drawn sets. Other sequences change nothing.
  void designate(std::string_view intermediates, uint8_t final) {
    bool twoByte = false;
    if (!intermediates.empty() && intermediates[0] == 0x24) {
      twoByte = true;
      intermediates.remove_prefix(1);
    }
    int index = 0;
    if (!intermediates.empty() && intermediates[0] >= 0x28 && intermediates[0] <= 0x2B) {
      index = intermediates[0] - 0x28;
      intermediates.remove_prefix(1);
    } else if (!twoByte) {
      return;
    }
    if (intermediates.empty()) {
      g_[index] = twoByte ? twoByteSet(final) : oneByteSet(final);
    } else if (intermediates == std::string_view("\x20", 1)) {
      g_[index] = final == 0x70 && !twoByte ? GraphicSet::kNoText : drcsSet(final, twoByte);
    }
  }

  bool graphic(GraphicSet set) {
    const size_t length = isTwoByte(set) ? 2 : 1;
    if (!has(length)) return false;
    const int c1 = (byteAt(pos_) & 0x7F) - 0x21;  // 0..93
    const int c2 = length == 2 ? (byteAt(pos_ + 1) & 0x7F) - 0x21 : 0;
    pos_ += length;
    singleShift_ = -1;
    if (c1 < 0 || c1 > 93 || c2 < 0 || c2 > 93) return true;  // 0x20 or 0x7F inside a pair

    switch (set) {
      case GraphicSet::kKanji:
        // Rows 85 on are ARIB's own: additional kanji (85-86) and symbols (90-94).
        if (c1 + 1 >= 85) return appendAdditionalSymbol(out_, c1 + 1, c2), true;
        if (char16_t c = arib::kJisX0208[c1 * 94 + c2]) appendSized(c, false);
        return true;
      case GraphicSet::kJisPlane1:
        return appendCell(out_, &arib::kJisX0213Plane1[(c1 * 94 + c2) * 2]), true;
      case GraphicSet::kJisPlane2:
        return appendCell(out_, &arib::kJisX0213Plane2[(c1 * 94 + c2) * 2]), true;
      case GraphicSet::kAdditionalSymbols:
        return appendAdditionalSymbol(out_, c1 + 1, c2), true;
      case GraphicSet::kAlphanumeric: {
        char16_t c = static_cast<char16_t>(c1 + 0x21);
        if (c == 0x5C) c = u'\u00A5';  // JIS X 0201 Roman: yen sign
        if (c == 0x7E) c = u'\u203E';  // and overline
        return appendSized(c, true), true;
      }
      case GraphicSet::kHiragana:
      case GraphicSet::kKatakana: {
        const bool hiragana = set == GraphicSet::kHiragana;
        const int lastKana = hiragana ? 0x73 - 0x21 : 0x76 - 0x21;
        if (c1 <= lastKana) {
          appendSized(arib::kJisX0208[(hiragana ? 3 : 4) * 94 + c1], false);
        } else if (c1 >= 0x77 - 0x21) {
          appendSized((hiragana ? kHiraganaExtras : kKatakanaExtras)[c1 - (0x77 - 0x21)], false);
        }
        return true;
      }
      case GraphicSet::kJisKatakana:
        if (c1 <= 0x5F - 0x21) appendSized(static_cast<char16_t>(0xFF61 + c1), true);
        return true;
      case GraphicSet::kDrcs:
      case GraphicSet::kDrcsTwoByte:
        out_.push_back(kGetaMark);
        return true;
      default:
        return true;
    }
  }

  // A character at the current size: half-width at middle and small size; a character of a
  // half-width set (`halfWidthSet`) is widened at normal size.
  void appendSized(char16_t c, bool halfWidthSet) {
    if (halfWidth_) {
      appendHalfWidth(out_, halfWidthSet ? fullWidth(c) : c);
    } else {
      out_.push_back(halfWidthSet ? fullWidth(c) : c);
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  std::u16string out_;
  // The designations and invocations of SI texts.
  std::array<GraphicSet, 4> g_ = {GraphicSet::kKanji, GraphicSet::kAlphanumeric,
                                  GraphicSet::kHiragana, GraphicSet::kKatakana};
  int gl_ = 0;
  int gr_ = 2;
  int singleShift_ = -1;
  bool halfWidth_ = false;
};

}  // namespace

std::u16string decodeAribText(std::string_view bytes) { return AribDecoder(bytes).decode(); }

}  // namespace sonavid
