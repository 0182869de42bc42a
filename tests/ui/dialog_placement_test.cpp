#include "ui/dialog_placement.h"

#include <gtest/gtest.h>

namespace sonavid {
namespace {

TEST(DialogPlacement, CentresOnTheHostRectangle) {
  const DialogOrigin origin = centredOn(HostRect{100, 50, 800, 600}, 312, 220);
  EXPECT_EQ(origin.left, 100 + 400 - 156);
  EXPECT_EQ(origin.top, 50 + 300 - 110);
}

TEST(DialogPlacement, EmptyRectanglePutsTheCentreOnItsCorner) {
  const DialogOrigin origin = centredOn(HostRect{10, 20, 0, 0}, 300, 200);
  EXPECT_EQ(origin.left, 10 - 150);
  EXPECT_EQ(origin.top, 20 - 100);
}

TEST(DialogPlacement, HalvingTruncatesTowardZero) {
  // -7 / 2 contributes -3, not -4; odd dialog sizes lose their half pixel the same way.
  const DialogOrigin origin = centredOn(HostRect{0, 0, -7, -9}, 5, -3);
  EXPECT_EQ(origin.left, -3 - 2);
  EXPECT_EQ(origin.top, -4 - (-1));
}

TEST(DialogPlacement, SixteenBitFieldsAreWidenedBeforeAdding) {
  // 32767 + 32767 / 2 overflows 16 bits but not the 32-bit sum.
  const DialogOrigin origin = centredOn(HostRect{32767, -32768, 32767, -32768}, 0, 0);
  EXPECT_EQ(origin.left, 32767 + 16383);
  EXPECT_EQ(origin.top, -32768 - 16384);
}

}  // namespace
}  // namespace sonavid
