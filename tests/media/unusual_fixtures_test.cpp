// Files shaped the way other projects' test files and everyday files are
// (tests/data/make-media-unusual.sh): their values against expected-unusual.tsv, and MPEG
// transport and program streams, which must never be taken for MPEG audio.
#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "core/media_reader.h"
#include "expected_values.h"
#include "media/builtin_reader.h"

namespace sonavid::media {
namespace {

TEST(UnusualFixtures, EveryFixtureGivesItsExpectedValues) {
  const auto files = test::loadExpected("expected-unusual.tsv");
  ASSERT_GE(files.size(), 9u);
  for (const auto& [name, expected] : files) {
    BuiltinReader reader;
    ASSERT_TRUE(reader.load(utf8ToUtf16(test::kMediaDir + name))) << name;
    EXPECT_EQ(reader.type(), expected.type) << name;
    for (const auto& [code, value] : expected.values) {
      const std::u16string* found = reader.info().find(code);
      EXPECT_EQ(found ? utf16ToUtf8(*found) : "<none>", value) << name << " " << code;
    }
  }
}

TEST(UnusualFixtures, TransportAndProgramStreamsAreNotMpegAudio) {
  for (const char* name : {"ts-h264-aac.ts", "m2ts-h264-ac3.m2ts", "vcd-mpeg1-mp2.mpg",
                           "dvd-mpeg2-mp2.vob", "ps-mpeg2-audio.mpg"}) {
    BuiltinReader reader;
    ASSERT_TRUE(reader.load(utf8ToUtf16(test::kMediaDir + name))) << name;
    EXPECT_NE(reader.type(), kTypeMp3) << name;
  }
}

}  // namespace
}  // namespace sonavid::media
