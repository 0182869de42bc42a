#include "engine/value_formatting.h"

#include "common/int_reading.h"
#include "common/text.h"

namespace sonavid {

std::u16string formatPlayingTime(std::u16string_view secondsText) {
  const int32_t seconds = readInt32Or(secondsText, 0);
  // Truncation toward zero, so a negative count gives negative minutes and seconds.
  const int32_t minutes = seconds / 60;
  const int32_t remainder = seconds - minutes * 60;
  std::u16string text = toU16(minutes);
  text += u':';
  if (remainder >= 0 && remainder < 10) text += u'0';
  text += toU16(remainder);
  text += u" (";
  text += secondsText;
  text += u"sec)";
  return text;
}

std::u16string secondsFromAudioFormat(std::u16string_view audioFormat, Substitution& substitution) {
  SubstResult found = substitution.subst(kDefaultTimeExpression, audioFormat);
  return found.count > 0 ? std::move(found.output) : std::u16string();
}

void rewriteTimeValue(std::u16string& value) {
  for (char16_t& c : value) {
    if (c == u':') c = u'\'';
  }
}

void rewriteAudioFormatValue(std::u16string& value) {
  // Most texts have no slash at all: one plain scan passes them over.
  const size_t slash = value.find(u'/');
  if (slash == std::u16string::npos) return;
  // "bits/s" and then "b/s" become "bps": one pass from left to right, in place, as neither
  // replacement is longer than what it replaces. It starts where the first "bits/s" could.
  const size_t start = slash < 4 ? 0 : slash - 4;
  size_t write = start;
  for (size_t read = start; read < value.size();) {
    size_t matched = 0;
    if (value[read] == u'b') {
      const std::u16string_view rest = std::u16string_view(value).substr(read);
      matched = rest.starts_with(u"bits/s") ? 6 : rest.starts_with(u"b/s") ? 3 : 0;
    }
    if (matched == 0) {
      value[write++] = value[read++];
      continue;
    }
    value[write++] = u'b';
    value[write++] = u'p';
    value[write++] = u's';
    read += matched;
  }
  value.resize(write);
}

void removeLineFeeds(std::u16string& value) { std::erase(value, u'\n'); }

void applySubstitution(std::u16string& value, std::u16string_view command,
                       Substitution& substitution) {
  if (command.empty()) return;
  SubstResult rewritten = substitution.subst(command, value);
  if (rewritten.count > 0) value = std::move(rewritten.output);
}

}  // namespace sonavid
