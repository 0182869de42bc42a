#include "media/tags/id3v1.h"

#include <gtest/gtest.h>

#include "common/platform_posix.h"
#include "media_test_bytes.h"

namespace sonavid::media {
namespace {

std::string field(std::string_view text, size_t size, char pad = '\0') {
  std::string out(text);
  out.resize(size, pad);
  return out;
}

std::string tagOf(std::string_view title, std::string_view comment30, uint8_t genre) {
  return "TAG" + field(title, 30) + field("Artist", 30, ' ') + field("", 30) + "1999" +
         field(comment30, 30) + std::string(1, static_cast<char>(genre));
}

TEST(Id3v1, Version11TrackAndTrimming) {
  PosixPlatform western("WINDOWS-1252");
  setPlatform(&western);
  const auto tag = parseId3v1(tagOf("Title",
                                    test::bytes("Note\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"
                                                "\0\0\0\0\0\0\0\0\0\x07",
                                                30),
                                    17));
  ASSERT_TRUE(tag);
  EXPECT_EQ(tag->title, u"Title");
  EXPECT_EQ(tag->artist, u"Artist");  // trailing spaces go
  EXPECT_EQ(tag->album, u"");
  EXPECT_EQ(tag->year, u"1999");
  EXPECT_EQ(tag->comment, u"Note");
  EXPECT_EQ(tag->track, u"7");
  EXPECT_EQ(tag->genre, u"Rock");

  // v1.0: a comment that fills all 30 bytes has no track; 255 is "no genre".
  const auto old = parseId3v1(tagOf("T", std::string(30, 'c'), 255));
  ASSERT_TRUE(old);
  EXPECT_EQ(old->comment, std::u16string(30, u'c'));
  EXPECT_EQ(old->track, u"");
  EXPECT_EQ(old->genre, u"");
  // Garbage after the first NUL of a field is not part of it.
  EXPECT_EQ(parseId3v1(tagOf(test::bytes("AB\0junk", 7), "", 0))->title, u"AB");
  setPlatform(nullptr);
}

TEST(Id3v1, ByteTextsInTheCodePageOrUtf8) {
  PosixPlatform japanese("CP932");
  setPlatform(&japanese);
  EXPECT_EQ(parseId3v1(tagOf("\x93\xfa\x96\x7b", "", 0))->title, u"日本");  // Shift-JIS
  EXPECT_EQ(parseId3v1(tagOf("\xE6\x97\xA5", "", 0))->title, u"日");        // UTF-8
  PosixPlatform western("WINDOWS-1252");
  setPlatform(&western);
  EXPECT_EQ(parseId3v1(tagOf("Caf\xE9", "", 0))->title, u"Café");
  setPlatform(nullptr);
}

TEST(Id3v1, RejectsOtherBlocks) {
  EXPECT_FALSE(parseId3v1(""));
  EXPECT_FALSE(parseId3v1("TAG"));
  EXPECT_FALSE(parseId3v1(std::string(128, 'x')));
  EXPECT_FALSE(parseId3v1(tagOf("T", "", 0) + "x"));
}

}  // namespace
}  // namespace sonavid::media
