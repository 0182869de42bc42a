#include "shared/macro_text.h"

namespace sonavid {

std::optional<MacroText> parseMacroText(std::u16string_view text) {
  constexpr size_t kHeadLength = 2;  // "/" and the letter
  if (text.size() < kHeadLength || text[0] != u'/') return std::nullopt;
  MacroText macro;
  macro.letter = text[1];
  if (macro.letter == u'<' || macro.letter == u'/' || macro.letter == u'>') return std::nullopt;
  std::u16string_view rest = text.substr(kHeadLength);
  if (rest.empty()) return macro;
  if (rest.size() < 2 || rest.front() != u'<' || rest.back() != u'>') return std::nullopt;
  macro.parameterText = rest.substr(1, rest.size() - 2);
  return macro;
}

int macroIndexOfLetter(char16_t letter, char16_t letter0, char16_t letter1) {
  if (letter == letter0) return 0;
  if (letter == letter1) return 1;
  return -1;
}

}  // namespace sonavid
