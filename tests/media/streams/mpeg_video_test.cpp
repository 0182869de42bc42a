// The MPEG video sequence header reader.
#include "media/streams/mpeg_video.h"

#include <gtest/gtest.h>

#include <string>

#include "media/expected_values.h"

namespace sonavid::media {
namespace {

// A reader that stops gathering a stream once the sequence is whole never stops on a cut that
// reads differently from the whole: every cut of a DVD stream's sequence header and extension
// either is not taken or gives the format the whole stream gives.
TEST(MpegVideoSequence, WholeSequenceIsNeverTakenFromACutThatReadsDifferently) {
  const std::string vob = test::readFileBytes(std::string(SONAVID_TEST_DATA) + "/media/dvd.vob");
  const std::string stream = vob.substr(vob.find(std::string("\0\0\1\xB3", 4)), 64);
  VideoFormat full;
  ASSERT_TRUE(findMpegVideoSequence(stream, full));
  ASSERT_EQ(full.codec, "MPEG-2");
  bool taken = false;
  for (size_t cut = 0; cut <= stream.size(); ++cut) {
    VideoFormat format;
    if (!findWholeMpegVideoSequence(stream.substr(0, cut), format)) continue;
    taken = true;
    EXPECT_EQ(format.codec, full.codec) << cut;
    EXPECT_EQ(format.width, full.width) << cut;
    EXPECT_EQ(format.rateNum, full.rateNum) << cut;
    EXPECT_EQ(format.rateDen, full.rateDen) << cut;
    EXPECT_EQ(format.interlaced, full.interlaced) << cut;
  }
  EXPECT_TRUE(taken);
}

}  // namespace
}  // namespace sonavid::media
