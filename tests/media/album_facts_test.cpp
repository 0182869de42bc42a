// The album-fact codes: over files tagged by real tools in every tag format that holds them
// (tests/data/make-media-album.sh, expected-album.tsv), and over the stored texts a tag may
// hold, well formed or not.
#include "media/values/album_facts.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "expected_values.h"
#include "media/builtin_reader.h"

namespace sonavid::media {
namespace {

constexpr std::string_view kAlbumCodes[] = {"AART",  "TRACK1", "TRACK2",   "TRACK00", "DISC1",
                                            "DISC2", "YEAR",   "COMPOSER", "BPM"};

// A code the file's tags do not answer is empty, never "0" or a guess.
TEST(AlbumFacts, EveryTaggedFixtureGivesItsFactsAndNothingElse) {
  const auto files = test::loadExpectedValues(test::kMediaDir + "expected-album.tsv");
  ASSERT_GE(files.size(), 13u);
  for (const auto& [name, expected] : files) {
    BuiltinReader reader;
    ASSERT_TRUE(reader.load(utf8ToUtf16(test::kMediaDir + name))) << name;
    for (std::string_view code : kAlbumCodes) {
      const auto it = expected.find(std::string(code));
      const std::string want = it == expected.end() ? "" : it->second;
      EXPECT_EQ(utf16ToUtf8(reader.value(asciiToUtf16(code))), want) << name << " " << code;
    }
  }
}

TEST(AlbumFacts, StoredTextsGiveNumbersOnlyWhereTheyHoldOne) {
  struct Case {
    AlbumFacts facts;
    std::string_view code;
    std::u16string_view text;
  };
  auto track = [](std::u16string number, std::u16string total = u"") {
    AlbumFacts facts;
    facts.track = std::move(number);
    facts.trackTotal = std::move(total);
    return facts;
  };
  auto date = [](std::u16string text) {
    AlbumFacts facts;
    facts.date = std::move(text);
    return facts;
  };
  auto tempo = [](std::u16string text) {
    AlbumFacts facts;
    facts.bpm = std::move(text);
    return facts;
  };
  const Case cases[] = {
      {track(u" 3 / 12 "), "TRACK1", u"3"},
      {track(u" 3 / 12 "), "TRACK2", u"12"},
      {track(u"007"), "TRACK00", u"07"},
      {track(u"7", u"120"), "TRACK00", u"007"},
      {track(u"7/1200", u"x"), "TRACK00", u"0007"},
      {track(u"123"), "TRACK00", u"123"},
      {track(u"0/0"), "TRACK1", u""},
      {track(u"0/0"), "TRACK00", u""},
      {track(u"A1"), "TRACK1", u""},
      {track(u"3/"), "TRACK2", u""},
      {track(u"99999999999999999999"), "TRACK1", u""},
      {date(u"2019-03-01T08:00:00Z"), "YEAR", u"2019"},
      {date(u"01.03.2019"), "YEAR", u"2019"},
      {date(u"20190301"), "YEAR", u"2019"},
      {date(u"0000"), "YEAR", u""},
      {date(u"3.1.19"), "YEAR", u""},
      {tempo(u"127.6"), "BPM", u"128"},
      {tempo(u"128,0"), "BPM", u"128"},
      {tempo(u"fast"), "BPM", u""},
      {tempo(u"120bpm"), "BPM", u""},
      {tempo(u"0"), "BPM", u""},
  };
  for (const Case& c : cases) {
    std::u16string out = u"old";
    EXPECT_TRUE(albumFactText(c.facts, c.code, out));
    EXPECT_EQ(out, c.text) << c.code << " of "
                           << utf16ToUtf8(c.facts.track + c.facts.date + c.facts.bpm);
  }
  std::u16string out = u"kept";
  EXPECT_FALSE(albumFactText(track(u"3"), "TRACK", out));
  EXPECT_EQ(out, u"kept");
}

}  // namespace
}  // namespace sonavid::media
