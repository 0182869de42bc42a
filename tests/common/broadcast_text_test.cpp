// The broadcast text decoders. ARIB texts come from tests/data/broadcast-texts.tsv (written by
// make-broadcast.py with the text each one shows) and are cross-checked against libaribb24
// where it is installed; where libaribb24 departs from ARIB STD-B24 the file says how, and the
// test checks that it still does (so a note never outlives the difference).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "common/arib_text.h"
#include "common/dvb_text.h"
#include "common/text.h"
#include "media/expected_values.h"

#ifdef SONAVID_HAVE_ARIBB24
extern "C" {  // its headers declare C functions without saying so
#include <aribb24/aribb24.h>
#include <aribb24/decoder.h>
}
#endif

namespace sonavid {
namespace {

struct AribCase {
  std::string name, bytes, expected, departure;
};

std::string fromHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

std::vector<AribCase> loadAribCases() {
  std::vector<AribCase> cases;
  std::ifstream in(std::string(SONAVID_TEST_DATA) + "/broadcast-texts.tsv");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> columns;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
      columns.push_back(line.substr(start, tab - start));
    }
    columns.push_back(line.substr(start));
    if (columns.size() != 4) continue;
    cases.push_back(
        {columns[0], fromHex(columns[1]), media::test::unescapeExpected(columns[2]), columns[3]});
  }
  return cases;
}

TEST(AribText, DecodesEveryShiftDesignationAndSizeAsGenerated) {
  const auto cases = loadAribCases();
  ASSERT_GE(cases.size(), 15u) << "broadcast-texts.tsv missing or short";
  for (const AribCase& c : cases) {
    const std::u16string decoded = decodeAribText(c.bytes);
    EXPECT_EQ(utf16ToUtf8(decoded), c.expected) << c.name;
    // Cut anywhere, a text decodes to the part before the damage.
    for (size_t cut = 0; cut < c.bytes.size(); ++cut) {
      const std::u16string part = decodeAribText(std::string_view(c.bytes).substr(0, cut));
      EXPECT_EQ(decoded.compare(0, part.size(), part), 0) << c.name << " cut at " << cut;
    }
  }
}

TEST(AribText, AgreesWithLibaribb24ExceptWhereItDepartsFromTheStandard) {
#ifndef SONAVID_HAVE_ARIBB24
  GTEST_SKIP() << "libaribb24 is not installed";
#else
  arib_instance_t* instance = arib_instance_new(nullptr);
  ASSERT_NE(instance, nullptr);
  arib_decoder_t* decoder = arib_get_decoder(instance);
  const auto theirsOf = [decoder](const std::string& bytes) {
    arib_initialize_decoder(decoder);
    std::string theirs(4096, '\0');
    theirs.resize(arib_decode_buffer(decoder, reinterpret_cast<const unsigned char*>(bytes.data()),
                                     bytes.size(), theirs.data(), theirs.size()));
    arib_finalize_decoder(decoder);
    return theirs;
  };
  // Every additional symbol our table maps (the others show U+3013). In these cells libaribb24
  // gives the code points of a 2008 draft of the Unicode proposal, which the published Unicode
  // gave to other characters: U+26CE OPHIUCHUS for the obstacle sign, U+26E2 URANUS for the
  // speed limit sign, and squared 手, デ, 字... for squared 演 and the baseball positions; and
  // it shows nothing for 1/8, which sits between 1/7 and 1/9.
  const std::vector<std::string> departures = {"\x7a\x23", "\x7a\x40", "\x7c\x7a", "\x7d\x3b",
                                               "\x7d\x3c", "\x7d\x3d", "\x7d\x3e", "\x7d\x3f",
                                               "\x7d\x40", "\x7d\x41", "\x7d\x42", "\x7d\x43",
                                               "\x7d\x44", "\x7d\x45", "\x7d\x46", "\x7d\x5d"};
  for (char row = 0x7A; row <= 0x7E; ++row) {
    for (char cell = 0x21; cell <= 0x7E; ++cell) {
      const std::string bytes = {row, cell};
      const std::string ours = utf16ToUtf8(decodeAribText(bytes));
      if (ours == "\u3013") continue;
      if (std::find(departures.begin(), departures.end(), bytes) != departures.end()) {
        EXPECT_NE(theirsOf(bytes), ours) << std::hex << int{row} << int{cell} << " now agrees";
      } else {
        EXPECT_EQ(theirsOf(bytes), ours) << std::hex << int{row} << int{cell};
      }
    }
  }
  for (const AribCase& c : loadAribCases()) {
    const std::string theirs = theirsOf(c.bytes);
    if (c.departure.empty()) {
      EXPECT_EQ(theirs, c.expected) << c.name;
    } else {
      EXPECT_NE(theirs, c.expected)
          << c.name << ": libaribb24 " << c.departure << " no longer differs";
    }
  }
  arib_instance_destroy(instance);
#endif
}

// Rows 90 to 94 of the Kanji set: a few symbols of each row, the cells next to a gap in the
// generator's list (a slip there shifts every symbol after it) and cells left unmapped, which
// show U+3013. Each expected character is the one Unicode encoded for that ARIB code.
TEST(AribText, DecodesAdditionalSymbolsOfEachRow) {
  const struct {
    int row, cell;
    const char* expected;
  } cases[] = {
      {90, 1, "⛌"},   {90, 3, "❗"},   {90, 6, "⛑"},   {90, 7, "〓"},  {90, 8, "⛒"},
      {90, 16, "🅿"},  {90, 32, "⭕"},  {90, 40, "㉏"}, {90, 45, "⒑"},  {90, 48, "🅊"},
      {90, 84, "🈀"},  {90, 85, "〓"}, {91, 1, "⛣"},   {91, 6, "☓"},   {91, 13, "࿖"},
      {91, 26, "⛳"},  {91, 27, "〓"}, {91, 28, "⛵"},  {91, 36, "🆌"},  {91, 38, "⛷"},
      {91, 49, "⛿"},  {91, 50, "〓"}, {92, 1, "➡"},   {92, 16, "🄀"},  {92, 26, "〓"},
      {92, 32, "🄁"},  {92, 45, "㈱"}, {92, 55, "🄭"},  {92, 56, "〓"}, {92, 86, "🄬"},
      {92, 89, "〓"}, {92, 90, "🈦"},  {92, 91, "℻"},  {93, 1, "㈪"},  {93, 12, "㍻"},
      {93, 16, "⚾"},  {93, 17, "〓"}, {93, 26, "🄪"},  {93, 30, "🈔"},  {93, 38, "🈱"},
      {93, 47, "〓"}, {93, 48, "½"},  {93, 49, "↉"},  {93, 61, "⅛"},  {93, 75, "♠"},
      {93, 87, "〓"}, {93, 88, "⚞"},  {93, 91, "☎"},  {94, 1, "Ⅰ"},   {94, 33, "🄐"},
      {94, 58, "🄩"},  {94, 92, "⓬"},  {94, 93, "㉛"}, {94, 94, "〓"},
  };
  for (const auto& c : cases) {
    const std::string bytes = {static_cast<char>(c.row + 0x20), static_cast<char>(c.cell + 0x20)};
    EXPECT_EQ(utf16ToUtf8(decodeAribText(bytes)), c.expected) << c.row << "-" << c.cell;
  }
  // Symbols outside the BMP take two UTF-16 units; a run of them stays in order.
  EXPECT_EQ(decodeAribText(fromHex("7A507B2F7E21")), u"🅊⛫Ⅰ");
}

TEST(AribText, EndlessDesignationsAndStrayBytesGiveNothing) {
  std::string escapes;
  for (int i = 0; i < 100000; ++i) escapes += "\x1b\x24\x2b\x20";
  EXPECT_EQ(decodeAribText(escapes).size(), 0u);
  EXPECT_EQ(decodeAribText(std::string("\x7f\xa0\xff\x9b\x31", 5)), u"");
}

TEST(DvbText, DecodesEachCharacterTable) {
  using namespace std::string_literals;
  const struct {
    std::string bytes;
    std::u16string expected;
  } cases[] = {
      {"Plain", u"Plain"},
      {"\xc2"
       "e\xc8u \xa4 \xc2",
       u"éü € "},  // default table: diacritic first; cut diacritic
      {"\xc2"
       "1",
       u"1\u0301"},                 // no composed form: letter and combining mark
      {"\x01\xd0\xe0", u"ар"},      // ISO/IEC 8859-5
      {"\x10\x00\x02\xb9"s, u"š"},  // 8859-2 by number
      {"\x10\x00\x0c\xb9"s, u""},   // 8859-12 was never published
      {"\x11\x30\x42\xe0\x8a\x00\x41\x00"s, u"あ\r\nA"},  // UCS-2; odd byte dropped
      {"\x15\xe3\x81\x82\xee\x82\x86x", u"あx"},          // UTF-8 with an emphasis code
      {"\x86"
       "A\x87\x8a"
       "B",
       u"A\r\nB"},
      {"\x12\xb0\xa1", u""},  // Korean: not decoded
      {"\x10\x00"s, u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(decodeDvbText(c.bytes), c.expected) << c.bytes;
  }
}

}  // namespace
}  // namespace sonavid
