#include "common/int_reading.h"

#include <gtest/gtest.h>

namespace sonavid {
namespace {

TEST(IntReading, DecimalWithSpacesAndSigns) {
  EXPECT_EQ(readInt32(u"42"), 42);
  EXPECT_EQ(readInt32(u"   42"), 42);
  EXPECT_EQ(readInt32(u"+7"), 7);
  EXPECT_EQ(readInt32(u"-7"), -7);
  EXPECT_EQ(readInt32(u" -0"), 0);
}

TEST(IntReading, EveryHexPrefix) {
  EXPECT_EQ(readInt32(u"0x10"), 16);
  EXPECT_EQ(readInt32(u"0X10"), 16);
  EXPECT_EQ(readInt32(u"x1f"), 31);
  EXPECT_EQ(readInt32(u"X1F"), 31);
  EXPECT_EQ(readInt32(u"$Ff"), 255);
  EXPECT_EQ(readInt32(u"-$10"), -16);
  EXPECT_EQ(readInt32(u"$7FFFFFFF"), 2147483647);
}

TEST(IntReading, RefusesAnythingButAWholeNumber) {
  for (const char16_t* text : {u"", u" ", u"+", u"-", u"$", u"0x", u"12 ", u"1a", u"abc",
                               u"１２", u"0x1g", u"1.5", u" + 1", u"x,1", u"--1"}) {
    EXPECT_FALSE(readInt32(text).has_value()) << "accepted a refused text";
  }
}

TEST(IntReading, SignedThirtyTwoBitRange) {
  EXPECT_EQ(readInt32(u"2147483647"), 2147483647);
  EXPECT_FALSE(readInt32(u"2147483648").has_value());
  EXPECT_EQ(readInt32(u"-2147483648"), INT32_MIN);
  EXPECT_FALSE(readInt32(u"-2147483649").has_value());
  EXPECT_FALSE(readInt32(u"$80000000").has_value());
  EXPECT_FALSE(readInt32(u"99999999999999999999999").has_value());
  EXPECT_EQ(readInt32(u"0000000000000000000012"), 12);
}

TEST(IntReading, DefaultForRefusedText) {
  EXPECT_EQ(readInt32Or(u"0x10", 5), 16);
  EXPECT_EQ(readInt32Or(u"1 ", 5), 5);
}

}  // namespace
}  // namespace sonavid
