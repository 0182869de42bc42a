#include "setup/row_drag.h"

#include <gtest/gtest.h>

namespace sonavid::setup {
namespace {

TEST(DragScrollStep, ZonesAreTheFirstAndLastVisibleRowsButNotTheListEnds) {
  // 20 rows, rows 5 to 14 visible (10 fit).
  DragMemory memory;
  memory.scrollDelay = kScrollDelayEvents;                            // the next zone event scrolls
  EXPECT_EQ(dragScrollStep(0, 0, 10, 20, memory), DragScroll::None);  // row 0 at the top
  EXPECT_EQ(dragScrollStep(8, 5, 10, 20, memory), DragScroll::None);  // inside
  EXPECT_EQ(dragScrollStep(13, 5, 10, 20, memory), DragScroll::None);   // last but one fitting
  EXPECT_EQ(dragScrollStep(19, 10, 10, 20, memory), DragScroll::None);  // the last row
  EXPECT_EQ(memory.scrollDelay, kScrollDelayEvents);
  EXPECT_EQ(dragScrollStep(5, 5, 10, 20, memory), DragScroll::Up);
  memory.scrollDelay = kScrollDelayEvents;
  EXPECT_EQ(dragScrollStep(14, 5, 10, 20, memory), DragScroll::Down);
}

TEST(DragScrollStep, ScrollsOnEveryFourthEventInAZone) {
  DragMemory memory;
  std::string pattern;
  for (int event = 0; event < 8; ++event) {
    pattern += dragScrollStep(14, 5, 10, 20, memory) == DragScroll::Down ? 'S' : 'w';
  }
  EXPECT_EQ(pattern, "wwwSwwwS");
  EXPECT_EQ(memory.scrollDelay, 0);
}

TEST(RowDrag, ReselectsTheStartRowOnceAndKeepsTheLastRowUnderThePointer) {
  dragMemory() = {};
  RowDrag drag;
  drag.start(0, 4);
  EXPECT_EQ(dragMemory().startIndex, 4);
  int reselect = 0;
  EXPECT_FALSE(drag.over(1, 2, reselect));  // another list refuses it
  EXPECT_EQ(reselect, -1);
  EXPECT_TRUE(drag.over(0, 2, reselect));
  EXPECT_EQ(reselect, 4);
  EXPECT_EQ(dragMemory().startIndex, -1);
  EXPECT_TRUE(drag.over(0, std::nullopt, reselect));  // empty space keeps the target
  EXPECT_EQ(reselect, -1);
  EXPECT_EQ(drag.dropTarget(), 2);
  drag.leave();
  EXPECT_FALSE(drag.dropTarget());
  drag.over(0, 6, reselect);
  EXPECT_EQ(drag.dropTarget(), 6);
  drag.end();
  EXPECT_FALSE(drag.active());
  EXPECT_FALSE(drag.dropTarget());
  EXPECT_EQ(dragMemory().startIndex, -1);
}

}  // namespace
}  // namespace sonavid::setup
