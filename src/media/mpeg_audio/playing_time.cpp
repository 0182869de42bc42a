#include "media/mpeg_audio/playing_time.h"

#include "common/text.h"

namespace sonavid::media {

std::u16string minutesSecondsText(uint64_t seconds) {
  std::u16string text;
  text.reserve(24);
  appendDecimal(text, seconds / 60);
  text += u':';
  appendDecimal(text, seconds % 60, 2);
  text += u" (";
  appendDecimal(text, seconds);
  text += u"sec)";
  return text;
}

std::u16string hoursMinutesSecondsText(uint64_t seconds) {
  std::u16string text;
  text.reserve(32);
  appendDecimal(text, seconds / 3600, 2);
  text += u':';
  appendDecimal(text, seconds / 60 % 60, 2);
  text += u':';
  appendDecimal(text, seconds % 60, 2);
  text += u" (";
  appendDecimal(text, seconds);
  text += u"sec)";
  return text;
}

}  // namespace sonavid::media
