// Splits a Perl-style substitution command "s/pattern/replacement/flags" into its parts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sonavid::regex {

struct SubstFlags {
  bool global = false;      // g: replace every match, not only the first
  bool ignoreCase = false;  // i
  bool multiLine = false;   // m: ^ and $ also match at line feeds
  bool dotAll = false;      // s: . also matches a line feed
  bool extended = false;    // x: white space and # comments in the pattern are ignored
};

struct SubstCommand {
  std::u16string pattern;
  std::u16string replacement;
  SubstFlags flags;
};

// The character after "s" is the delimiter of all three parts; it may be a surrogate pair.
// Inside the pattern and the replacement a backslash before the delimiter yields the delimiter
// alone; every other backslash sequence is kept as it stands for the engine or the expander.
// Letters after the last delimiter are flags; letters we do not know are ignored.
// Returns nothing for an empty command, one not starting with "s", or one whose final
// delimiter is missing.
std::optional<SubstCommand> parseSubstCommand(std::u16string_view command);

}  // namespace sonavid::regex
