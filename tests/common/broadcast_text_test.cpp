// The broadcast text decoders. ARIB texts come from tests/data/broadcast-texts.tsv (written by
// make-broadcast.py with the text each one shows) and are cross-checked against libaribb24
// where it is installed; where libaribb24 departs from ARIB STD-B24 the file says how, and the
// test checks that it still does (so a note never outlives the difference).
#include <gtest/gtest.h>

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
  // Every additional symbol our table maps (the others show U+3013).
  for (char row = 0x7A; row <= 0x7E; ++row) {
    for (char cell = 0x21; cell <= 0x7E; ++cell) {
      const std::string bytes = {row, cell};
      const std::string ours = utf16ToUtf8(decodeAribText(bytes));
      if (ours != "\u3013") EXPECT_EQ(theirsOf(bytes), ours) << std::hex << int{row} << int{cell};
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
