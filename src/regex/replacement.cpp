#include "regex/replacement.h"

#include <algorithm>

#include "common/text.h"

namespace sonavid::regex {
namespace {

constexpr unsigned long kMaxCodePoint = 0x10FFFF;
constexpr char16_t kReplacementCharacter = 0xFFFD;
// Digits read after "\x{" or inside "${...}"; more cannot name anything that exists.
constexpr size_t kMaxBraceDigits = 8;
// Beyond any group count a pattern can have; larger numbers are read as one more than this.
constexpr int kMaxGroupNumber = 99'999'999;

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
// Group names are made of word characters; any character beyond ASCII is let through for the
// engine to judge.
bool isNameCharacter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || isDigit(c) || c == u'_' ||
         c >= 0x80;
}

char16_t asciiToLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }
char16_t asciiToUpper(char16_t c) { return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c; }

// Reads a group number of one digit, or of two when the two-digit group exists.
int readGroupNumber(std::u16string_view text, size_t& pos, int groupCount) {
  int number = text[pos++] - u'0';
  if (pos < text.size() && isDigit(text[pos])) {
    const int twoDigits = number * 10 + (text[pos] - u'0');
    if (twoDigits <= groupCount) {
      number = twoDigits;
      ++pos;
    }
  }
  return number;
}

}  // namespace

void Replacement::addLiteral(std::u16string_view text) {
  if (text.empty()) return;
  if (pieces_.empty() || pieces_.back().kind != Kind::kLiteral) {
    pieces_.push_back(Piece{Kind::kLiteral, 0, {}});
  }
  pieces_.back().text.append(text);
}

void Replacement::addLiteralCodePoint(unsigned long codePoint) {
  if (codePoint == 0) return;
  if (codePoint > kMaxCodePoint) {
    addLiteral(std::u16string_view(&kReplacementCharacter, 1));
  } else if (codePoint >= 0x10000) {
    const unsigned long v = codePoint - 0x10000;
    const char16_t pair[2] = {static_cast<char16_t>(0xD800 + (v >> 10)),
                              static_cast<char16_t>(0xDC00 + (v & 0x3FF))};
    addLiteral(std::u16string_view(pair, 2));
  } else {
    const auto unit = static_cast<char16_t>(codePoint);
    addLiteral(std::u16string_view(&unit, 1));
  }
}

void Replacement::add(Kind kind, int group) { pieces_.push_back(Piece{kind, group, {}}); }

Replacement Replacement::parse(std::u16string_view text, int groupCount,
                               const GroupByName& groupByName) {
  Replacement r;
  size_t pos = 0;
  const size_t n = text.size();
  auto addGroup = [&](int number) {
    // A group the pattern does not have inserts nothing.
    if (number >= 0 && number <= groupCount) r.add(Kind::kGroup, number);
  };
  while (pos < n) {
    const char16_t c = text[pos];
    if (c == u'\\') {
      if (pos + 1 >= n) {
        r.addLiteral(u"\\");
        break;
      }
      const char16_t e = text[pos + 1];
      pos += 2;
      switch (e) {
        case u'1':
        case u'2':
        case u'3':
        case u'4':
        case u'5':
        case u'6':
        case u'7':
        case u'8':
        case u'9':
          --pos;
          addGroup(readGroupNumber(text, pos, groupCount));
          break;
        case u'0': {
          unsigned long value = 0;
          for (int k = 0; k < 2 && pos < n && isOctalDigit(text[pos]); ++k, ++pos) {
            value = value * 8 + (text[pos] - u'0');
          }
          r.addLiteralCodePoint(value);
          break;
        }
        case u't':
          r.addLiteral(u"\t");
          break;
        case u'n':
          r.addLiteral(u"\n");
          break;
        case u'r':
          r.addLiteral(u"\r");
          break;
        case u'f':
          r.addLiteral(u"\f");
          break;
        case u'a':
          r.addLiteral(u"\a");
          break;
        case u'e':
          r.addLiteral(u"\x1B");
          break;
        case u'x': {
          if (pos < n && text[pos] == u'{') {
            const size_t close = text.find(u'}', pos + 1);
            const size_t digits = close == std::u16string_view::npos ? 0 : close - pos - 1;
            bool valid = digits > 0 && digits <= kMaxBraceDigits;
            unsigned long value = 0;
            for (size_t k = 0; valid && k < digits; ++k) {
              const int h = hexDigitValue(text[pos + 1 + k]);
              valid = h >= 0;
              value = value * 16 + static_cast<unsigned long>(std::max(h, 0));
            }
            if (valid) {
              r.addLiteralCodePoint(value);
              pos = close + 1;
            } else {
              r.addLiteral(u"x");  // not a code point: read on as plain text
            }
            break;
          }
          unsigned long value = 0;
          int digits = 0;
          for (; digits < 2 && pos < n && hexDigitValue(text[pos]) >= 0; ++digits, ++pos) {
            value = value * 16 + static_cast<unsigned long>(hexDigitValue(text[pos]));
          }
          if (digits == 0) {
            r.addLiteral(u"x");
          } else {
            r.addLiteralCodePoint(value);
          }
          break;
        }
        case u'l':
          r.add(Kind::kNextLower);
          break;
        case u'u':
          r.add(Kind::kNextUpper);
          break;
        case u'L':
          r.add(Kind::kLower);
          break;
        case u'U':
          r.add(Kind::kUpper);
          break;
        case u'E':
          r.add(Kind::kCaseEnd);
          break;
        default:
          r.addLiteral(std::u16string_view(&e, 1));
          break;
      }
      continue;
    }
    if (c != u'$' || pos + 1 >= n) {
      r.addLiteral(std::u16string_view(&c, 1));
      ++pos;
      continue;
    }
    const char16_t e = text[pos + 1];
    if (e == u'0') {
      r.add(Kind::kGroup, 0);
      pos += 2;
    } else if (isDigit(e)) {
      // As in Perl, "$" takes every digit that follows: "$12" is group 12 even when the pattern
      // has fewer, and then inserts nothing. The number saturates instead of wrapping.
      ++pos;
      int number = 0;
      for (; pos < n && isDigit(text[pos]); ++pos) {
        number =
            number > kMaxGroupNumber / 10 ? kMaxGroupNumber + 1 : number * 10 + (text[pos] - u'0');
      }
      addGroup(number);
    } else if (e == u'&') {
      r.add(Kind::kGroup, 0);
      pos += 2;
    } else if (e == u'`') {
      r.add(Kind::kPreMatch);
      pos += 2;
    } else if (e == u'\'') {
      r.add(Kind::kPostMatch);
      pos += 2;
    } else if (e == u'{' || (e == u'+' && pos + 2 < n && text[pos + 2] == u'{')) {
      // ${n}, ${name} or $+{name}; anything else after "${" leaves the "$" as it is.
      const size_t open = e == u'{' ? pos + 1 : pos + 2;
      size_t close = open + 1;
      while (close < n && isNameCharacter(text[close])) ++close;
      if (close >= n || text[close] != u'}' || close == open + 1) {
        r.addLiteral(u"$");
        ++pos;
        continue;
      }
      const std::u16string_view inside = text.substr(open + 1, close - open - 1);
      if (std::all_of(inside.begin(), inside.end(), isDigit)) {
        // Too many digits names no group; the cap keeps the number from overflowing.
        int number = -1;
        if (inside.size() <= kMaxBraceDigits) {
          number = 0;
          for (char16_t d : inside) number = number * 10 + (d - u'0');
        }
        addGroup(number);
      } else if (groupByName) {
        addGroup(groupByName(inside));
      }
      pos = close + 1;
    } else if (e == u'+') {
      r.add(Kind::kLastGroup);
      pos += 2;
    } else {
      r.addLiteral(u"$");
      ++pos;
    }
  }
  return r;
}

bool Replacement::expand(std::u16string_view text, std::span<const GroupSpan> groups,
                         std::u16string& out, size_t maxSize) const {
  enum class Case { kKeep, kLower, kUpper };
  Case next = Case::kKeep;  // \l or \u: the next character only
  Case run = Case::kKeep;   // \L or \U: until \E

  bool fits = true;
  auto emit = [&](std::u16string_view part) {
    if (!fits || out.size() > maxSize || part.size() > maxSize - out.size()) {
      fits = false;
      return;
    }
    if (next == Case::kKeep && run == Case::kKeep) {
      out.append(part);
      return;
    }
    for (char16_t c : part) {
      const Case mode = next != Case::kKeep ? next : run;
      next = Case::kKeep;
      out.push_back(mode == Case::kLower   ? asciiToLower(c)
                    : mode == Case::kUpper ? asciiToUpper(c)
                                           : c);
    }
  };
  auto spanText = [&](const GroupSpan& g) -> std::u16string_view {
    if (!g.matched() || static_cast<size_t>(g.end) > text.size()) return {};
    return text.substr(static_cast<size_t>(g.begin), static_cast<size_t>(g.end - g.begin));
  };

  const GroupSpan whole = groups.empty() ? GroupSpan{} : groups[0];
  for (const Piece& p : pieces_) {
    switch (p.kind) {
      case Kind::kLiteral:
        emit(p.text);
        break;
      case Kind::kGroup:
        if (static_cast<size_t>(p.group) < groups.size()) emit(spanText(groups[p.group]));
        break;
      case Kind::kLastGroup:
        for (size_t g = groups.size(); g-- > 1;) {
          if (groups[g].matched()) {
            emit(spanText(groups[g]));
            break;
          }
        }
        break;
      case Kind::kPreMatch:
        if (whole.matched()) emit(spanText(GroupSpan{0, whole.begin}));
        break;
      case Kind::kPostMatch:
        if (whole.matched()) {
          emit(spanText(GroupSpan{whole.end, static_cast<std::ptrdiff_t>(text.size())}));
        }
        break;
      case Kind::kNextLower:
        next = Case::kLower;
        break;
      case Kind::kNextUpper:
        next = Case::kUpper;
        break;
      case Kind::kLower:
        run = Case::kLower;
        break;
      case Kind::kUpper:
        run = Case::kUpper;
        break;
      case Kind::kCaseEnd:
        run = Case::kKeep;
        break;
    }
    if (!fits) return false;
  }
  return true;
}

}  // namespace sonavid::regex
