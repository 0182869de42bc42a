// Macro texts as the host holds them: "/", the macro letter the host assigned, and optionally
// "<", the parameter text and ">". Depends on nothing but the standard library, so the
// reference host can compile it as well.
#pragma once

#include <optional>
#include <string_view>

namespace sonavid {

struct MacroText {
  char16_t letter = 0;
  // What stands between the brackets; empty without brackets.
  std::u16string_view parameterText;
};

// Splits a macro text; nothing when the text is not of that form. The parameter text views
// into `text`.
std::optional<MacroText> parseMacroText(std::u16string_view text);

// Macro index of a letter under the host's assignment (letter0 for macro 0, letter1 for
// macro 1); -1 for any other letter. Letters compare exactly.
int macroIndexOfLetter(char16_t letter, char16_t letter0, char16_t letter1);

}  // namespace sonavid
