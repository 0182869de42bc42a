#include "media/tags/id3v2.h"

#include <gtest/gtest.h>

#include "common/platform_posix.h"
#include "media/tags/id3_genres.h"
#include "media_test_bytes.h"
#include "media/western_code_page.h"

namespace sonavid::media {
namespace {

using namespace test;

class Id3v2Test : public test::WesternCodePageTest {};

// Inserts a NUL after every 0xFF, as unsynchronisation does.
std::string unsync(std::string_view data) {
  std::string out;
  for (char c : data) {
    out.push_back(c);
    if (static_cast<uint8_t>(c) == 0xFF) out.push_back('\0');
  }
  return out;
}

TEST_F(Id3v2Test, AllFourTextEncodings) {
  const std::string frames =
      frame23("TIT2", bytes("\0Caf\xE9", 5)) +             // Latin-1 / ANSI
      frame23("TPE1", bytes("\x01\xFF\xFEO\0k\0", 7)) +    // UTF-16 LE with BOM
      frame23("TALB", bytes("\x01\xFE\xFF\0B\0E", 7)) +    // UTF-16 BE with BOM
      frame23("TCOP", bytes("\x02\x30\xB3\x30\xFC", 5)) +  // UTF-16BE, no BOM
      frame23("TSSE",
              "\x03"
              "\xE6\x97\xA5\xE6\x9C\xAC") +          // UTF-8
      frame23("TCOM", bytes("\0\xE6\x97\xA5", 4)) +  // UTF-8 bytes as enc 0
      frame23("TOPE", bytes("\x01O\0k\0", 5));       // UTF-16 without BOM: LE
  const Id3v2Tag tag = parseId3v2(id3v2(3, frames));
  EXPECT_EQ(tag.majorVersion, 3);
  EXPECT_EQ(tag.text("TIT2"), u"Café");
  EXPECT_EQ(tag.text("TPE1"), u"Ok");
  EXPECT_EQ(tag.text("TALB"), u"BE");
  EXPECT_EQ(tag.text("TCOP"), u"コー");
  EXPECT_EQ(tag.text("TSSE"), u"日本");
  EXPECT_EQ(tag.text("TCOM"), u"日");
  EXPECT_EQ(tag.text("TOPE"), u"Ok");
}

TEST_F(Id3v2Test, SeveralStringsShareOneByteOrderMark) {
  // v2.4 separates values with NULs; the second UTF-16 string has no mark of its own.
  const std::string value = bytes("\x01\xFE\xFF\0A\0\0\0B", 9);
  EXPECT_EQ(parseId3v2(id3v2(4, frame24("TPE1", value))).text("TPE1"), u"A; B");
  EXPECT_EQ(parseId3v2(id3v2(4, frame24("TPE1", bytes("\x03One\0Two\0", 9)))).text("TPE1"),
            u"One; Two");
}

TEST_F(Id3v2Test, WholeTagUnsynchronisationInVersion23) {
  const std::string frames =
      frame23("TIT2", bytes("\x01\xFF\xFEH\0i\0", 7)) + frame23("TPE1", bytes("\0\xFF\xFF", 3));
  const Id3v2Tag tag = parseId3v2(id3v2(3, unsync(frames), 0x80));
  EXPECT_EQ(tag.text("TIT2"), u"Hi");
  EXPECT_EQ(tag.text("TPE1"), u"ÿÿ");
}

TEST_F(Id3v2Test, PerFrameUnsynchronisationInVersion24) {
  const std::string stored = unsync(bytes("\x01\xFF\xFEH\0i\0", 7));
  const std::string frames = frame24("TIT2", stored, 0x0002) + frame24("TPE1",
                                                                       "\x03"
                                                                       "x");
  const Id3v2Tag tag = parseId3v2(id3v2(4, frames));
  EXPECT_EQ(tag.text("TIT2"), u"Hi");
  EXPECT_EQ(tag.text("TPE1"), u"x");
  // The tag-level flag in v2.4 marks every frame.
  EXPECT_EQ(parseId3v2(id3v2(4, frame24("TIT2", stored), 0x80)).text("TIT2"), u"Hi");
}

TEST_F(Id3v2Test, Version22ThreeLetterFrames) {
  auto frame22 = [](std::string_view id, std::string_view data) {
    std::string size = be32(static_cast<uint32_t>(data.size())).substr(1);
    return std::string(id) + size + std::string(data);
  };
  const std::string frames = frame22("TT2", bytes("\0Old", 4)) +
                             frame22("TP1", bytes("\x01\xFF\xFEO\0", 5)) +
                             frame22("COM", bytes("\0eng\0Note", 9)) + frame22("XYZ", "abc") +
                             frame22("TRK", bytes("\0"
                                                  "2/9",
                                                  4));
  const Id3v2Tag tag = parseId3v2(id3v2(2, frames));
  EXPECT_EQ(tag.text("TIT2"), u"Old");
  EXPECT_EQ(tag.text("TPE1"), u"O");
  EXPECT_EQ(tag.text("COMM"), u"Note");
  EXPECT_EQ(tag.text("TRCK"), u"2/9");
  // v2.2 compression of the whole tag cannot be read: nothing, not garbage.
  EXPECT_TRUE(parseId3v2(id3v2(2, frames, 0x40)).frames.empty());
}

TEST_F(Id3v2Test, Version24FrameSizesFallBackToPlainIntegers) {
  // 256 bytes written as a plain integer (00 00 01 00): read as syncsafe that is 128, which
  // lands inside the text; the plain reading lands on the next frame.
  std::string text(256, 'a');
  text[0] = '\0';
  std::string frames = "TIT2" + be32(256) + bytes("\0\0", 2) + text;
  frames += "TPE1" + be32(3) + bytes("\0\0", 2) + bytes("\0Me", 3);
  Id3v2Tag tag = parseId3v2(id3v2(4, frames));
  EXPECT_EQ(tag.text("TIT2").size(), 255u);
  EXPECT_EQ(tag.text("TPE1"), u"Me");
  // A size byte with its high bit set cannot be syncsafe at all.
  std::string big(200, 'b');
  big[0] = '\0';
  frames = "TIT2" + be32(200) + bytes("\0\0", 2) + big + frame24("TPE1", bytes("\0Me", 3));
  tag = parseId3v2(id3v2(4, frames));
  EXPECT_EQ(tag.text("TIT2").size(), 199u);
  EXPECT_EQ(tag.text("TPE1"), u"Me");
  // A proper syncsafe size stays syncsafe.
  frames = frame24("TIT2", bytes("\0") + std::string(200, 'c')) + frame24("TPE1", bytes("\0Me", 3));
  EXPECT_EQ(parseId3v2(id3v2(4, frames)).text("TPE1"), u"Me");
}

TEST_F(Id3v2Test, ExtendedHeadersAreSkipped) {
  const std::string frame = frame23("TIT2", bytes("\0T", 2));
  // v2.3: size of the rest (6), then flags and padding size.
  EXPECT_EQ(parseId3v2(id3v2(3, be32(6) + std::string(6, '\0') + frame, 0x40)).text("TIT2"), u"T");
  // v2.4: syncsafe size including itself.
  EXPECT_EQ(parseId3v2(id3v2(4, syncsafe32(6) + bytes("\x01\0", 2) + frame, 0x40)).text("TIT2"),
            u"T");
  // An extended header larger than the tag leaves nothing to read.
  EXPECT_TRUE(parseId3v2(id3v2(3, be32(0x7FFFFFFF) + frame, 0x40)).frames.empty());
  // The flag set without an extended header (some taggers write this): the frames start right
  // after the tag header.
  EXPECT_EQ(parseId3v2(id3v2(4, frame24("TIT2", bytes("\0T", 2)), 0x40)).text("TIT2"), u"T");
  EXPECT_EQ(parseId3v2(id3v2(3, frame, 0x40)).text("TIT2"), u"T");
}

TEST_F(Id3v2Test, CompressedEncryptedAndGroupedFrames) {
  const std::string v23 = frame23("TIT2", bytes("\0zip", 4), 0x0080) +
                          frame23("TPE1", bytes("\0enc", 4), 0x0040) +
                          frame23("TALB", bytes("\x07\0Grp", 5), 0x0020);
  Id3v2Tag tag = parseId3v2(id3v2(3, v23));
  EXPECT_EQ(tag.text("TIT2"), u"");
  EXPECT_EQ(tag.text("TPE1"), u"");
  EXPECT_EQ(tag.text("TALB"), u"Grp");
  const std::string v24 = frame24("TIT2", bytes("\0zip", 4), 0x0008) +
                          frame24("TPE1", syncsafe32(3) + bytes("\0Dl", 3), 0x0001);
  tag = parseId3v2(id3v2(4, v24));
  EXPECT_EQ(tag.text("TIT2"), u"");
  EXPECT_EQ(tag.text("TPE1"), u"Dl");
}

TEST_F(Id3v2Test, DamagedTagsKeepWhatCameBefore) {
  std::string frames = frame23("TIT2", bytes("\0Kept", 5)) + "TPE1" + be32(0xFFFFFFF0) + "\0\0x";
  EXPECT_EQ(parseId3v2(id3v2(3, frames)).text("TIT2"), u"Kept");
  // A cut-off tag: the header promises more than there is.
  std::string cut = id3v2(3, frame23("TIT2", bytes("\0Cut", 4)) + std::string(500, '\0'));
  cut.resize(23);
  EXPECT_EQ(parseId3v2(cut).text("TIT2"), u"");  // frame data incomplete
  cut = id3v2(3, frame23("TIT2", bytes("\0Cut", 4)) + std::string(500, '\0'));
  cut.resize(30);
  EXPECT_EQ(parseId3v2(cut).text("TIT2"), u"Cut");
  // Empty frames and a frame of only an encoding byte.
  EXPECT_EQ(
      parseId3v2(id3v2(3, frame23("TIT2", "") + frame23("TPE1", bytes("\x01", 1)))).text("TPE1"),
      u"");
  EXPECT_TRUE(parseId3v2("ID3").frames.empty());
  EXPECT_TRUE(parseId3v2("").frames.empty());
}

TEST_F(Id3v2Test, HeaderSizes) {
  EXPECT_EQ(id3v2TagSize(id3v2(3, std::string(100, '\0'))), 110u);
  EXPECT_EQ(id3v2TagSize(bytes("ID3\x04\0\x10", 6) + syncsafe32(100)), 120u);  // footer
  EXPECT_EQ(id3v2TagSize(bytes("ID3\x03\0\0\x7F\x7F\x7F\x7F", 10)), 0x0FFFFFFFu + 10);
  EXPECT_EQ(id3v2TagSize(bytes("ID3\x03\0\0\0\0\0\x80", 10)), 0u);       // not syncsafe
  EXPECT_EQ(id3v2TagSize(bytes("ID3\x05\0\0", 6) + syncsafe32(1)), 0u);  // unknown version
  EXPECT_EQ(id3v2TagSize(bytes("ID3\x03\0", 5)), 0u);
  EXPECT_EQ(id3v2TagSize(bytes("TAG\x03\0\0\0\0\0\0", 10)), 0u);
}

TEST_F(Id3v2Test, CommentsAndUrls) {
  const std::string frames = frame23("COMM", bytes("\0engiTunNORM\0 0000", 18)) +
                             frame23("COMM", bytes("\0eng\0Real\0", 10)) +
                             frame23("COMM", bytes("\0eng\0Later", 10)) +
                             frame23("WXXX", bytes("\x01\xFF\xFE"
                                                   "d\0\0\0http://x.jp/",
                                                   19));
  const Id3v2Tag tag = parseId3v2(id3v2(3, frames));
  EXPECT_EQ(tag.text("COMM"), u"Real");
  EXPECT_EQ(tag.text("WXXX"), u"http://x.jp/");
  // With only a described comment, that one is used.
  EXPECT_EQ(parseId3v2(id3v2(3, frame23("COMM", bytes("\0engd\0Only", 10)))).text("COMM"), u"Only");
}

TEST(Id3Genres, TableAndReferences) {
  // The ends of the table and past them.
  EXPECT_EQ(id3GenreName(0), u"Blues");
  EXPECT_EQ(id3GenreName(191), u"Psybient");
  EXPECT_EQ(id3GenreName(192), u"");
  EXPECT_EQ(id3GenreName(-1), u"");

  EXPECT_EQ(resolveId3Genre(u"(17)"), u"Rock");
  EXPECT_EQ(resolveId3Genre(u"(17)Rock"), u"Rock");
  EXPECT_EQ(resolveId3Genre(u"(17)(18)Foo"), u"Rock; Techno; Foo");
  EXPECT_EQ(resolveId3Genre(u"13; Jazz"), u"Pop; Jazz");
  EXPECT_EQ(resolveId3Genre(u"(RX)(CR)"), u"Remix; Cover");
  EXPECT_EQ(resolveId3Genre(u"((Weird)"), u"(Weird)");
  EXPECT_EQ(resolveId3Genre(u"(999)"), u"(999)");
  EXPECT_EQ(resolveId3Genre(u"(12345678901234567890)"), u"(12345678901234567890)");
  EXPECT_EQ(resolveId3Genre(u"Shoegaze"), u"Shoegaze");
  EXPECT_EQ(resolveId3Genre(u""), u"");
}

}  // namespace
}  // namespace sonavid::media
