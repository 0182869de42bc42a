#include <gtest/gtest.h>

#include "common/platform_posix.h"
#include "media/memory_file.h"
#include "media/tags/apev2.h"
#include "media/tags/trailing_tags.h"
#include "media_test_bytes.h"
#include "media/western_code_page.h"

namespace sonavid::media {
namespace {

using test::le32;

std::string item(std::string_view key, std::string_view value, uint32_t flags = 0) {
  return le32(static_cast<uint32_t>(value.size())) + le32(flags) + std::string(key) +
         std::string(1, '\0') + std::string(value);
}

// An APEv2 tag with header and footer around `items`.
std::string apeTag(std::string_view items, uint32_t count, bool header = true) {
  const uint32_t size = static_cast<uint32_t>(items.size() + 32);
  auto block = [&](uint32_t flags) {
    return "APETAGEX" + le32(2000) + le32(size) + le32(count) + le32(flags) + std::string(8, '\0');
  };
  return (header ? block(0xA0000000u) : "") + std::string(items) + block(header ? 0x80000000u : 0);
}

std::string id3v1Block() { return "TAG" + std::string(125, '\0'); }

std::string lyrics3v2() {
  const std::string body =
      "LYRICSBEGININD00002"
      "10";
  char size[8];
  std::snprintf(size, sizeof size, "%06zu", body.size());
  return body + size + "LYRICS200";
}

class ApeTagTest : public test::WesternCodePageTest {};

TEST_F(ApeTagTest, ItemsWithKeysMatchedWithoutCase) {
  const std::string items = item("Title", "Song") + item("ARTIST", "\xE6\x97\xA5") +
                            item("Cover Art (Front)", std::string(10, '\xFF'), 2) +
                            item("Genre", test::bytes("Rock\0Pop\0", 9));
  MemoryFile file(std::string(1000, 'a') + apeTag(items, 4));
  const auto tag = findApeTagAtEnd(file);
  ASSERT_TRUE(tag);
  EXPECT_EQ(tag->start, 1000u);
  EXPECT_EQ(tag->version, 2000u);
  EXPECT_EQ(tag->value(u"title"), u"Song");
  EXPECT_EQ(tag->value(u"Artist"), u"日");
  EXPECT_EQ(tag->value(u"Cover Art (Front)"), u"");  // binary
  EXPECT_EQ(tag->value(u"GENRE"), u"Rock; Pop");
  EXPECT_EQ(tag->value(u"Album"), u"");
  EXPECT_LE(file.readCalls(), 2);
}

TEST_F(ApeTagTest, BeforeId3v1AndLyrics3) {
  const std::string ape = apeTag(item("Title", "T"), 1, false);
  for (const std::string& tail : {id3v1Block(), lyrics3v2() + id3v1Block()}) {
    MemoryFile file("audio" + ape + tail);
    const TrailingTags found = readTrailingTags(file, file.size());
    ASSERT_TRUE(found.ape);
    EXPECT_EQ(found.ape->value(u"Title"), u"T");
    EXPECT_EQ(found.ape->start, 5u);
    EXPECT_EQ(found.audioEnd, 5u);
    EXPECT_TRUE(found.id3v1);
  }
  // The tag after the lyrics is found too.
  MemoryFile after("audio" + lyrics3v2() + ape + id3v1Block());
  const TrailingTags found = readTrailingTags(after, after.size());
  ASSERT_TRUE(found.ape);
  EXPECT_EQ(found.audioEnd, 5u);
}

TEST_F(ApeTagTest, DamagedSizesAndCounts) {
  // A size larger than the file, a count the bytes cannot hold, a header flag on the footer.
  auto footer = [](uint32_t size, uint32_t count, uint32_t flags) {
    return "APETAGEX" + le32(2000) + le32(size) + le32(count) + le32(flags) + std::string(8, '\0');
  };
  for (const std::string& bad :
       {footer(0xFFFFFFFFu, 1, 0), footer(100, 1, 0), footer(40, 1000000, 0),
        footer(32, 0, 0x20000000u), footer(10, 0, 0)}) {
    MemoryFile file(std::string(60, 'x') + bad);
    EXPECT_FALSE(findApeTagAtEnd(file));
  }
  // An item whose value size runs past the tag ends the items; the ones before stay.
  const std::string items =
      item("Title", "Ok") + le32(0x7FFFFFFF) + le32(0) + "Artist" + std::string(1, '\0') + "x";
  MemoryFile file(apeTag(items, 2));
  const auto tag = findApeTagAtEnd(file);
  ASSERT_TRUE(tag);
  EXPECT_EQ(tag->value(u"Title"), u"Ok");
  EXPECT_EQ(tag->value(u"Artist"), u"");
  // A footer that claims a header which is not there.
  std::string noHeader = apeTag(item("Title", "T"), 1, false);
  noHeader[noHeader.size() - 9] = '\x80';
  MemoryFile claimed("0123456789" + std::string(40, 'z') + noHeader);
  ASSERT_TRUE(findApeTagAtEnd(claimed));
  EXPECT_EQ(findApeTagAtEnd(claimed)->start, 50u);
  // A key without its NUL, or with control characters.
  ApeTag parsed;
  parseApeItems(ByteReader(le32(1) + le32(0) + "Key"), 1, 2000, parsed);
  parseApeItems(ByteReader(le32(1) + le32(0) + "K\x01y" + std::string(1, '\0') + "v"), 1, 2000,
                parsed);
  EXPECT_TRUE(parsed.items.empty());
}

TEST_F(ApeTagTest, Lyrics3WithABadSizeIsNotSkipped) {
  std::string lyrics = lyrics3v2();
  lyrics.replace(lyrics.size() - 15, 6, "999999");
  MemoryFile file(apeTag(item("Title", "T"), 1) + lyrics + id3v1Block());
  EXPECT_FALSE(readTrailingTags(file, file.size()).ape);
  EXPECT_TRUE(readTrailingTags(file, file.size()).id3v1);
}

TEST_F(ApeTagTest, NoTagsAtAll) {
  MemoryFile empty("");
  EXPECT_FALSE(findApeTagAtEnd(empty));
  MemoryFile plain(std::string(5000, '\0'));
  const TrailingTags found = readTrailingTags(plain, plain.size());
  EXPECT_FALSE(found.ape);
  EXPECT_FALSE(found.id3v1);
  EXPECT_EQ(found.audioEnd, 5000u);
}

TEST_F(ApeTagTest, TextsAfterALargeCoverAreFound) {
  // A 2 MiB binary item (flags 2: binary) before the texts.
  const std::string cover = le32(2 << 20) + le32(2) + "Cover Art (Front)" + std::string(1, '\0') +
                            std::string(2 << 20, 'j');
  MemoryFile file(apeTag(cover + item("Title", "After cover"), 2));
  const auto tag = findApeTagAtEnd(file);
  ASSERT_TRUE(tag);
  EXPECT_EQ(tag->value(u"Title"), u"After cover");
  EXPECT_EQ(tag->start, 0u);
}
}  // namespace
}  // namespace sonavid::media
