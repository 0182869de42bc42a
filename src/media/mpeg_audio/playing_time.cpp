#include "media/mpeg_audio/playing_time.h"

#include <cinttypes>
#include <cstdio>

#include "common/text.h"

namespace sonavid::media {

std::u16string minutesSecondsText(uint64_t seconds) {
  char text[64];
  std::snprintf(text, sizeof text, "%" PRIu64 ":%02u (%" PRIu64 "sec)", seconds / 60,
                static_cast<unsigned>(seconds % 60), seconds);
  return utf8ToUtf16(text);
}

std::u16string hoursMinutesSecondsText(uint64_t seconds) {
  char text[80];
  std::snprintf(text, sizeof text, "%02" PRIu64 ":%02u:%02u (%" PRIu64 "sec)", seconds / 3600,
                static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60),
                seconds);
  return utf8ToUtf16(text);
}

}  // namespace sonavid::media
