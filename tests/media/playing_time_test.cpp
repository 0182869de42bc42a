// Playing-time texts, up to the widest counts.
#include "media/values/playing_time.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace sonavid::media {
namespace {

TEST(PlayingTime, TextsUpToTheWidestCounts) {
  EXPECT_EQ(minutesSecondsText(0), u"0:00 (0sec)");
  EXPECT_EQ(minutesSecondsText(3725, 1), u"62:05 (3725sec)");
  EXPECT_EQ(hoursMinutesSecondsText(3725), u"01:02:05 (3725sec)");
  EXPECT_EQ(hoursMinutesSecondsText(UINT64_MAX),
            u"5124095576030431:00:15 (18446744073709551615sec)");
  EXPECT_EQ(minutesSecondsText(UINT64_MAX, 99),
            u"00307445734561825860:15 (18446744073709551615sec)");
}

}  // namespace
}  // namespace sonavid::media
