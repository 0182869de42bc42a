// The values of one file: replacing, keeping order, and one text under several field codes
// that still behaves as separate values.
#include "media/media_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sonavid::media {
namespace {

std::u16string valueOr(const MediaInfo& info, std::string_view code) {
  const std::u16string* value = info.find(code);
  return value ? *value : u"(none)";
}

TEST(MediaInfo, SharedTextActsAsOneValuePerName) {
  static constexpr std::string_view kSuffixes[] = {"", "_v1", "_v2"};
  MediaInfo info;
  info.set("INAM_v1", u"old");
  info.set("TIME", u"1:00 (60sec)");
  info.setUnderNames("INAM", kSuffixes, u"A title longer than a short string");
  // A name that was there keeps its place; the others follow in the order given.
  std::vector<std::string> order;
  info.forEach([&](std::string_view code, const std::u16string&) { order.emplace_back(code); });
  EXPECT_EQ(order, (std::vector<std::string>{"INAM_v1", "TIME", "INAM", "INAM_v2"}));
  for (std::string_view code : {"INAM", "INAM_v1", "INAM_v2"}) {
    EXPECT_EQ(valueOr(info, code), u"A title longer than a short string") << code;
  }
  // Setting one name later leaves the others as they were, and in their places.
  info.set("INAM", u"new");
  EXPECT_EQ(valueOr(info, "INAM"), u"new");
  EXPECT_EQ(valueOr(info, "INAM_v2"), u"A title longer than a short string");
  order.clear();
  info.forEach([&](std::string_view code, const std::u16string&) { order.emplace_back(code); });
  EXPECT_EQ(order, (std::vector<std::string>{"INAM_v1", "TIME", "INAM", "INAM_v2"}));
  info.setIfEmpty("INAM_v1", u"ignored");
  EXPECT_EQ(valueOr(info, "INAM_v1"), u"A title longer than a short string");
  // A second shared text replaces the first under every name, the one set alone included.
  info.setUnderNames("INAM", kSuffixes, u"");
  EXPECT_EQ(valueOr(info, "INAM"), u"");
  EXPECT_EQ(valueOr(info, "INAM_v2"), u"");
  info.setIfEmpty("INAM_v2", u"filled");
  EXPECT_EQ(valueOr(info, "INAM_v2"), u"filled");
  EXPECT_EQ(valueOr(info, "INAM_v1"), u"");
  EXPECT_EQ(info.size(), 4u);
  EXPECT_EQ(valueOr(info, "INAM_x"), u"(none)");
}

TEST(MediaInfo, PlainCodesTakeTheFirstSuffixedValueInOrder) {
  static constexpr std::string_view kCodes[] = {"INAM", "IART", "ICMT", "IPRD"};
  static constexpr std::string_view kSuffixes[] = {"_v2", "_APE", "_v1"};
  static constexpr std::string_view kGroup[] = {"", "_v1"};
  for (const bool withGroup : {false, true}) {
    MediaInfo info;
    info.set("INAM_v1", u"one");
    info.set("INAM_v2", u"A title longer than a short string");
    info.set("IART_v2", u"");  // empty: the next suffix is taken
    info.set("IART_APE", u"artist");
    info.set("ICMT", u"stays where it is");
    info.set("ICMT_v1", u"comment");
    if (withGroup) info.setUnderNames("IPRD", kGroup, u"album");
    info.setFromFirstSuffixed(kCodes, kSuffixes);
    EXPECT_EQ(valueOr(info, "INAM"), u"A title longer than a short string") << withGroup;
    EXPECT_EQ(valueOr(info, "IART"), u"artist") << withGroup;
    EXPECT_EQ(valueOr(info, "ICMT"), u"comment") << withGroup;
    EXPECT_EQ(valueOr(info, "IPRD"), withGroup ? u"album" : u"(none)");
    // Names set before keep their place; new ones follow in the order of the codes.
    std::vector<std::string> order;
    info.forEach([&](std::string_view code, const std::u16string&) { order.emplace_back(code); });
    std::vector<std::string> expected = {"INAM_v1", "INAM_v2", "IART_v2", "IART_APE", "ICMT",
                                         "ICMT_v1"};
    if (withGroup) expected.insert(expected.end(), {"IPRD", "IPRD_v1"});
    expected.insert(expected.end(), {"INAM", "IART"});
    EXPECT_EQ(order, expected);
    // The shared text still acts as a value per name.
    info.set("INAM_v2", u"changed");
    EXPECT_EQ(valueOr(info, "INAM"), u"A title longer than a short string");
  }
}

}  // namespace
}  // namespace sonavid::media
