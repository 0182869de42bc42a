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

// Set at once or worked out on request, the plain codes read the same, in the same order.
TEST(MediaInfo, PlainCodesTakeTheFirstSuffixedValueInOrder) {
  static constexpr std::string_view kCodes[] = {"INAM", "IART", "ICMT", "IPRD"};
  static constexpr std::string_view kSuffixes[] = {"_v2", "_APE", "_v1"};
  static constexpr std::string_view kGroup[] = {"", "_v1"};
  for (const int variant : {0, 1, 2, 3}) {
    const bool withGroup = (variant & 1) != 0;
    const bool onRequest = (variant & 2) != 0;
    MediaInfo info;
    info.set("INAM_v1", u"one");
    info.set("INAM_v2", u"A title longer than a short string");
    info.set("IART_v2", u"");  // empty: the next suffix is taken
    info.set("IART_APE", u"artist");
    // A code set before (and a group entry) keeps its place.
    if (withGroup) info.set("ICMT", u"replaced");
    info.set("ICMT_v1", u"comment");
    if (withGroup) info.setUnderNames("IPRD", kGroup, u"album");
    if (onRequest) {
      info.deriveFromFirstSuffixed(kCodes, kSuffixes);
    } else {
      info.setFromFirstSuffixed(kCodes, kSuffixes);
    }
    EXPECT_EQ(valueOr(info, "INAM"), u"A title longer than a short string") << variant;
    EXPECT_EQ(valueOr(info, "IART"), u"artist") << variant;
    EXPECT_EQ(valueOr(info, "ICMT"), u"comment") << variant;
    EXPECT_EQ(valueOr(info, "IPRD"), withGroup ? u"album" : u"(none)");
    // Names set before keep their place; new ones follow in the order of the codes.
    std::vector<std::string> order;
    info.forEach([&](std::string_view code, const std::u16string&) { order.emplace_back(code); });
    std::vector<std::string> expected = {"INAM_v1", "INAM_v2", "IART_v2", "IART_APE"};
    if (withGroup) expected.insert(expected.end(), {"ICMT", "ICMT_v1", "IPRD", "IPRD_v1"});
    if (!withGroup) expected.insert(expected.end(), {"ICMT_v1"});
    expected.insert(expected.end(), {"INAM", "IART"});
    if (!withGroup) expected.insert(expected.end(), {"ICMT"});
    EXPECT_EQ(order, expected) << variant;
    EXPECT_EQ(info.size(), expected.size()) << variant;
    // Each name still acts as a value of its own: a later change of one leaves the others.
    info.set("INAM_v2", u"changed");
    EXPECT_EQ(valueOr(info, "INAM"), u"A title longer than a short string") << variant;
    info.set("IART", u"");
    EXPECT_EQ(valueOr(info, "IART_APE"), u"artist") << variant;
  }
}

TEST(MediaInfo, HoldsSuffixSeesGroupNames) {
  static constexpr std::string_view kGroup[] = {"", "_v1"};
  MediaInfo info;
  info.set("TIME", u"1:00 (60sec)");
  EXPECT_FALSE(info.holdsSuffix("_v1"));
  info.setUnderNames("IPRD", kGroup, u"album");
  EXPECT_TRUE(info.holdsSuffix("_v1"));
  EXPECT_TRUE(info.holdsSuffix("D_v1"));  // the code's last letter and the group's suffix
  EXPECT_TRUE(info.holdsSuffix("ME"));
  EXPECT_FALSE(info.holdsSuffix("_v2"));
}

}  // namespace
}  // namespace sonavid::media
