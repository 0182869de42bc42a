// The replacement part of a substitution, read once per command and expanded for each match.
//
// Understood sequences:
//   \1..\9, \nn         group n; a second digit is read only when that group exists
//   $n, $nn...            group n, every digit read as in Perl ("$12" is group 12, never
//                         group 1 and "2"); "$0" is the whole match and stops there
//   ${n}, ${name}, $+{name}  group by number or by name
//   $0, $&                whole match;   $+  the highest-numbered group that took part
//   $` $'                 text before / after the match
//   \t \n \r \f \a \e     control characters;  \xHH, \x{H..}  a code point;  \0, \0o, \0oo  octal
//   \l \u                 next character in lower / upper case (ASCII letters)
//   \L \U ... \E          lower / upper case until \E or the end (ASCII letters)
//   any other \c          c itself; a "$" that starts nothing above stays "$".
// A group that does not exist or did not take part in the match inserts nothing. A code point
// of zero is dropped (the output is passed on as a NUL-terminated text); one beyond U+10FFFF
// becomes U+FFFD.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sonavid::regex {

// Where one group of a match lies in the searched text, in UTF-16 units; -1 when the group
// did not take part.
struct GroupSpan {
  std::ptrdiff_t begin = -1;
  std::ptrdiff_t end = -1;
  bool matched() const { return begin >= 0 && end >= begin; }
};

class Replacement {
 public:
  // Gives the number of the named group, or a negative number when there is none.
  using GroupByName = std::function<int(std::u16string_view)>;

  Replacement() = default;
  // `groupCount` is the number of capture groups in the pattern (the whole match not counted).
  static Replacement parse(std::u16string_view text, int groupCount,
                           const GroupByName& groupByName = {});

  // Appends the expansion for one match. groups[0] is the whole match; `text` the searched
  // text the spans refer to. Returns false, with `out` cut short, as soon as `out` would grow
  // beyond `maxSize` units.
  bool expand(std::u16string_view text, std::span<const GroupSpan> groups, std::u16string& out,
              size_t maxSize) const;

 private:
  enum class Kind {
    kLiteral,
    kGroup,
    kLastGroup,
    kPreMatch,
    kPostMatch,
    kNextLower,
    kNextUpper,
    kLower,
    kUpper,
    kCaseEnd
  };
  struct Piece {
    Kind kind;
    int group = 0;        // kGroup
    std::u16string text;  // kLiteral
  };

  void addLiteral(std::u16string_view text);
  void addLiteralCodePoint(unsigned long codePoint);
  void add(Kind kind, int group = 0);

  std::vector<Piece> pieces_;
};

}  // namespace sonavid::regex
