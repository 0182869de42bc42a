// A test whose legacy (ANSI) tag texts are decoded in the Western code page, 1252, whatever
// the locale of the machine running it.
#pragma once

#include <gtest/gtest.h>

#include "common/platform.h"
#include "common/platform_posix.h"

namespace sonavid::media::test {

class WesternCodePageTest : public ::testing::Test {
 protected:
  void SetUp() override { setPlatform(&western_); }
  void TearDown() override { setPlatform(nullptr); }
  PosixPlatform western_{"WINDOWS-1252"};
};

}  // namespace sonavid::media::test
