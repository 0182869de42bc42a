#include "media/values/playing_time.h"

#include "common/text.h"

namespace sonavid::media {
namespace {

// "<minutes>:<ss> (<seconds>sec)", the minutes at least `minuteDigits` wide.
void appendMinutesSeconds(std::u16string& text, uint64_t minutes, int minuteDigits,
                          uint64_t seconds) {
  appendDecimal(text, minutes, minuteDigits);
  text += u':';
  appendDecimal(text, seconds % 60, 2);
  text += u" (";
  appendDecimal(text, seconds);
  text += u"sec)";
}

}  // namespace

std::u16string minutesSecondsText(uint64_t seconds, int minuteDigits) {
  std::u16string text;
  text.reserve(24);
  appendMinutesSeconds(text, seconds / 60, minuteDigits, seconds);
  return text;
}

std::u16string hoursMinutesSecondsText(uint64_t seconds) {
  std::u16string text;
  text.reserve(32);
  appendDecimal(text, seconds / 3600, 2);
  text += u':';
  appendMinutesSeconds(text, seconds / 60 % 60, 2, seconds);
  return text;
}

}  // namespace sonavid::media
