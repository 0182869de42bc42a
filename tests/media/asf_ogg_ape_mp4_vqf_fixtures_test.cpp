// Reads every WMA/WMV, Ogg, Monkey's Audio, MP4 and VQF fixture made by real encoders
// (tests/data/make-media-containers.sh) and compares the values with expected-containers.tsv.
#include <gtest/gtest.h>

#include <string>

#include "common/platform_posix.h"
#include "common/text.h"
#include "expected_values.h"
#include "media/builtin_reader.h"

namespace sonavid::media {
namespace {

using test::kMediaDir;
using test::loadExpected;

class ContainerFixtures : public ::testing::Test {
 protected:
  // The VQF fixture has a Shift-JIS title: read texts as a Japanese system does.
  void SetUp() override { setPlatform(&cp932_); }
  void TearDown() override { setPlatform(nullptr); }

  BuiltinReader load(const std::string& name) {
    BuiltinReader reader;
    EXPECT_TRUE(reader.load(utf8ToUtf16(kMediaDir + name))) << name;
    return reader;
  }

  PosixPlatform cp932_{"CP932"};
};

TEST_F(ContainerFixtures, EveryFixtureGivesItsExpectedValues) {
  const auto files = loadExpected("expected-containers.tsv");
  ASSERT_GE(files.size(), 17u);
  for (const auto& [name, expected] : files) {
    BuiltinReader reader = load(name);
    EXPECT_EQ(reader.type(), expected.type) << name;
    for (const auto& [code, value] : expected.values) {
      EXPECT_EQ(utf16ToUtf8(reader.value(utf8ToUtf16(code))), value) << name << " " << code;
    }
  }
}

TEST_F(ContainerFixtures, SuffixedTagCodesAnswerLikePlainOnesOnOggApeAndMp4) {
  EXPECT_EQ(load("tone.ogg").value(u"INAM_v2"), u"Ogg Title");
  EXPECT_EQ(load("tone.ogg").value(u"TRACK_APE"), u"5");
  EXPECT_EQ(load("tone.ape").value(u"IART_v1"), u"APE Artist");
  EXPECT_EQ(load("tone.ape").value(u"TRACK_APE"), u"9");
  EXPECT_EQ(load("clip.mp4").value(u"IPRD_rmp"), u"MP4 Album");
}

TEST_F(ContainerFixtures, WmaAndWmvAreToldApartByVideoFormat) {
  EXPECT_EQ(load("tone.wma").value(u"VFMT"), u"N/A");
  EXPECT_EQ(load("mono-attributes.wma").value(u"VFMT"), u"N/A");
  EXPECT_NE(load("clip.wmv").value(u"VFMT"), u"N/A");
}

TEST_F(ContainerFixtures, MatroskaWithMp3InsideIsNoMp3) {
  EXPECT_NE(load("matroska-mp3.mka").type(), kTypeMp3);
}

TEST_F(ContainerFixtures, FragmentedMp4StillNamesItsVideoCodec) {
  BuiltinReader reader = load("fragmented.mp4");
  EXPECT_EQ(reader.type(), kTypeMp4);
  EXPECT_EQ(reader.value(u"VFMT").rfind(u"H264 Baseline@", 0), 0u);
}

}  // namespace
}  // namespace sonavid::media
