#include "regex/subst_command.h"

namespace sonavid::regex {
namespace {

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Reads one part up to the next unescaped delimiter; `pos` ends just past that delimiter.
// Returns false when the text ends first.
bool readPart(std::u16string_view text, std::u16string_view delimiter, size_t& pos,
              std::u16string& part) {
  // A backslash delimiter cannot be escaped: every backslash ends the part.
  const bool escapable = delimiter != u"\\";
  while (pos < text.size()) {
    if (text.substr(pos).starts_with(delimiter)) {
      pos += delimiter.size();
      return true;
    }
    if (escapable && text[pos] == u'\\' && pos + 1 < text.size()) {
      if (text.substr(pos + 1).starts_with(delimiter)) {
        part.append(delimiter);
        pos += 1 + delimiter.size();
      } else {
        // Kept whole, so that "\\" followed by the delimiter still ends the part.
        part.append(text.substr(pos, 2));
        pos += 2;
      }
      continue;
    }
    part.push_back(text[pos]);
    ++pos;
  }
  return false;
}

}  // namespace

std::optional<SubstCommand> parseSubstCommand(std::u16string_view command) {
  if (command.size() < 2 || command[0] != u's') return std::nullopt;
  size_t delimiterSize = 1;
  if (isHighSurrogate(command[1]) && command.size() > 2 && isLowSurrogate(command[2])) {
    delimiterSize = 2;
  }
  const std::u16string_view delimiter = command.substr(1, delimiterSize);
  size_t pos = 1 + delimiterSize;

  SubstCommand result;
  if (!readPart(command, delimiter, pos, result.pattern)) return std::nullopt;
  if (!readPart(command, delimiter, pos, result.replacement)) return std::nullopt;
  for (; pos < command.size(); ++pos) {
    switch (command[pos]) {
      case u'g':
        result.flags.global = true;
        break;
      case u'i':
        result.flags.ignoreCase = true;
        break;
      case u'm':
        result.flags.multiLine = true;
        break;
      case u's':
        result.flags.dotAll = true;
        break;
      case u'x':
        result.flags.extended = true;
        break;
      default:
        break;
    }
  }
  return result;
}

}  // namespace sonavid::regex
