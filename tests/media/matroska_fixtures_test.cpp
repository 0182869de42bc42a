// Reads every Matroska and WebM fixture made by ffmpeg, mkvmerge and mkvpropedit
// (tests/data/make-media-matroska.sh) and compares the values with expected-matroska.tsv.
#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "core/media_reader.h"
#include "expected_values.h"
#include "media/builtin_reader.h"

namespace sonavid::media {
namespace {

TEST(MatroskaFixtures, EveryFixtureGivesItsExpectedValues) {
  const auto files = test::loadExpected("expected-matroska.tsv");
  ASSERT_GE(files.size(), 9u);
  for (const auto& [name, expected] : files) {
    BuiltinReader reader;
    ASSERT_TRUE(reader.load(utf8ToUtf16(test::kMediaDir + name))) << name;
    EXPECT_EQ(reader.type(), kTypeMatroska) << name;
    for (const auto& [code, value] : expected.values) {
      EXPECT_EQ(utf16ToUtf8(reader.value(utf8ToUtf16(code))), value) << name << " " << code;
    }
    // MKV and MKA are told apart by whether VFMT is there at all.
    EXPECT_EQ(reader.info().find("VFMT") != nullptr, expected.values.contains("VFMT")) << name;
    EXPECT_EQ(reader.value(u"INAM_v2"), reader.value(u"INAM")) << name;
  }
}

}  // namespace
}  // namespace sonavid::media
