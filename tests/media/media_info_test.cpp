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

}  // namespace
}  // namespace sonavid::media
