#include "setup/window_settings.h"

#include <gtest/gtest.h>

namespace sonavid::setup {
namespace {

TEST(UsableWindowSettings, KeepsSaneValuesAndBringsBrokenOnesIntoRange) {
  SetupWindowSettings saved;
  saved.width = 700;
  saved.height = 500;
  saved.columnWidths[3] = {0, 51, 130, 260};
  EXPECT_EQ(usableWindowSettings(saved).width, 700);
  EXPECT_EQ(usableWindowSettings(saved).columnWidths, saved.columnWidths);

  SetupWindowSettings broken;
  broken.width = -5;
  broken.height = 0;
  broken.columnWidths[0] = {-1, -2, 100000, 50};  // -1 and -2 would ask the list to auto-size
  const SetupWindowSettings usable = usableWindowSettings(broken);
  EXPECT_EQ(usable.width, kMinWindowWidth);
  EXPECT_EQ(usable.height, kMinWindowHeight);
  EXPECT_EQ(usable.columnWidths[0], (std::array<int32_t, 4>{0, 0, kMaxColumnWidth, 50}));
  broken.height = 2000000;
  EXPECT_EQ(usableWindowSettings(broken).height, kMaxWindowExtent);
}

}  // namespace
}  // namespace sonavid::setup
