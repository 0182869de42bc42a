#include "media/values/playing_time.h"

#include "common/text.h"

namespace sonavid::media {
namespace {

// Room for the longest text: hours and seconds of 20 digits each and the separators.
constexpr size_t kTextRoom = 2 * kMaxDecimalDigits + 16;
using TimeText = ShortText<kTextRoom>;

// "<minutes>:<ss> (<seconds>sec)", the minutes at least `minuteDigits` wide.
void addMinutesSeconds(TimeText& text, uint64_t minutes, int minuteDigits, uint64_t seconds) {
  text.decimal(minutes, minuteDigits).ascii(":").decimal(seconds % 60, 2);
  text.ascii(" (").decimal(seconds).ascii("sec)");
}

}  // namespace

std::u16string minutesSecondsText(uint64_t seconds, int minuteDigits) {
  TimeText text;
  addMinutesSeconds(text, seconds / 60, minuteDigits, seconds);
  return text.str();
}

std::u16string hoursMinutesSecondsText(uint64_t seconds) {
  TimeText text;
  text.decimal(seconds / 3600, 2).ascii(":");
  addMinutesSeconds(text, seconds / 60 % 60, 2, seconds);
  return text.str();
}

}  // namespace sonavid::media
