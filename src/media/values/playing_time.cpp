#include "media/values/playing_time.h"

#include <string_view>

#include "common/text.h"

namespace sonavid::media {
namespace {

// Room for the longest text: hours and seconds of 20 digits each and the separators.
constexpr size_t kTextRoom = 2 * kMaxDecimalDigits + 16;

char16_t* writeAscii(char16_t* out, std::string_view ascii) {
  for (const char c : ascii) *out++ = static_cast<char16_t>(c);
  return out;
}

// "<minutes>:<ss> (<seconds>sec)", the minutes at least `minuteDigits` wide. The text is
// written into a buffer and made a string once: it is made for every file.
char16_t* writeMinutesSeconds(char16_t* out, uint64_t minutes, int minuteDigits,
                              uint64_t seconds) {
  out = writeDecimal(out, minutes, minuteDigits);
  *out++ = u':';
  out = writeDecimal(out, seconds % 60, 2);
  out = writeAscii(out, " (");
  out = writeDecimal(out, seconds);
  return writeAscii(out, "sec)");
}

}  // namespace

std::u16string minutesSecondsText(uint64_t seconds, int minuteDigits) {
  char16_t text[kTextRoom];
  char16_t* end = writeMinutesSeconds(text, seconds / 60, minuteDigits, seconds);
  return std::u16string(text, end);
}

std::u16string hoursMinutesSecondsText(uint64_t seconds) {
  char16_t text[kTextRoom];
  char16_t* end = writeDecimal(text, seconds / 3600, 2);
  *end++ = u':';
  end = writeMinutesSeconds(end, seconds / 60 % 60, 2, seconds);
  return std::u16string(text, end);
}

}  // namespace sonavid::media
