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

void rewriteTimeValue(std::u16string& value) { replaceAll(value, u":", u"'"); }

void rewriteAudioFormatValue(std::u16string& value) {
  // "bits/s" and then "b/s" become "bps", in one pass: every "/s" is looked at once.
  const std::u16string_view text(value);
  if (text.find(u"/s") == std::u16string_view::npos) return;
  std::u16string out;
  out.reserve(value.size());
  size_t copied = 0;
  for (size_t slash = text.find(u"/s"); slash != std::u16string_view::npos;
       slash = text.find(u"/s", slash + 2)) {
    size_t from = slash;
    if (slash >= 4 && text.substr(slash - 4, 4) == u"bits") {
      from = slash - 4;
    } else if (slash >= 1 && text[slash - 1] == u'b') {
      from = slash - 1;
    }
    if (from == slash || from < copied) continue;
    out.append(text.substr(copied, from - copied));
    out += u"bps";
    copied = slash + 2;
  }
  if (copied == 0) return;
  out.append(text.substr(copied));
  value = std::move(out);
}

void removeLineFeeds(std::u16string& value) { std::erase(value, u'\n'); }

void applySubstitution(std::u16string& value, std::u16string_view command,
                       Substitution& substitution) {
  if (command.empty()) return;
  SubstResult rewritten = substitution.subst(command, value);
  if (rewritten.count > 0) value = std::move(rewritten.output);
}

}  // namespace sonavid
