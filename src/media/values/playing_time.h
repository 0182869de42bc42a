// Playing-time texts: "m:ss (Nsec)" for audio (minutes are not wrapped into hours, so
// "75:02 (4502sec)") and "hh:mm:ss (Nsec)" for video.
#pragma once

#include <cstdint>
#include <string>

namespace sonavid::media {

// The minutes are at least `minuteDigits` wide ("01:05 (65sec)" with 2).
std::u16string minutesSecondsText(uint64_t seconds, int minuteDigits = 1);
std::u16string hoursMinutesSecondsText(uint64_t seconds);

}  // namespace sonavid::media
