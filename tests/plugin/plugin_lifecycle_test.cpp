#include "plugin/plugin_lifecycle.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "common/platform_posix.h"
#include "common/text.h"

namespace sonavid {
namespace {

// A POSIX platform whose "host program" lives in a folder of the test's choosing.
class HostInFolder : public PosixPlatform {
 public:
  explicit HostInFolder(std::u16string exe) : exe_(std::move(exe)) {}
  std::u16string hostExecutablePath() const override { return exe_; }

 private:
  std::u16string exe_;
};

class PluginLifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/sonavid-lifecycle-XXXXXX";
    folder_ = mkdtemp(pattern);
    setPlatform(&platform_);
  }
  void TearDown() override {
    setPlatform(nullptr);
    std::filesystem::remove_all(folder_);
  }
  std::u16string path(const std::string& name) const { return utf8ToUtf16(folder_ + "/" + name); }
  void write(const std::string& name, const std::u16string& text) const {
    std::ofstream out(folder_ + "/" + name, std::ios::binary);
    out << "\xFF\xFE";
    for (char16_t c : text) out << static_cast<char>(c & 0xFF) << static_cast<char>(c >> 8);
  }

  std::string folder_;
  HostInFolder platform_{u"/opt/host/bin/renamer.exe"};
};

TEST_F(PluginLifecycleTest, InitialiseStoresPathsAndDefaults) {
  write("host.ini", u"[Plug]\r\nDef01=1\r\nDef02=$10\r\nDef11=3\r\nDef12=-4\r\n");
  write("mac_Sonavid.dat",
        u"[Version]\r\nNo=52\r\n[WAV]\r\nCount=1\r\nI1=AFMT_x\r\nD1=d\r\nR1=s/a/b/\r\n");
  PluginState state;
  initialisePluginState(state, path("host.ini"), u"plug");

  EXPECT_EQ(state.helpFilePath, u"/opt/host/bin/mac_Sonavid.chm");
  EXPECT_EQ(state.settings.hostIniPath, path("host.ini"));
  EXPECT_EQ(state.settings.hostSection, u"plug");
  EXPECT_EQ(state.settings.dataFilePath, path("mac_Sonavid.dat"));
  EXPECT_EQ(state.settings.def01, 1);
  EXPECT_EQ(state.settings.def02, 16);
  EXPECT_EQ(state.settings.def11, 3);
  EXPECT_EQ(state.settings.def12, -4);
  EXPECT_EQ(state.lastCase, 1);
  EXPECT_EQ(state.lastNonTarget, 16);
  EXPECT_EQ(state.settings.itemLists[1], (ItemList{u"AFMT_x", u"d", u"s/a/b/"}));
  EXPECT_TRUE(state.settings.itemLists[0].empty());
}

TEST_F(PluginLifecycleTest, FinaliseDropsTheListsAndSavesTheLastChoices) {
  PluginState state;
  initialisePluginState(state, path("host.ini"), u"plug");
  state.settings.itemLists[0] = {u"TIME_a", u"d", u"s/a/b/"};
  state.settings.def11 = 5;
  state.settings.def12 = 7;
  finalisePluginState(state);
  EXPECT_TRUE(state.settings.itemLists[0].empty());

  PluginState reread;
  initialisePluginState(reread, path("host.ini"), u"PLUG");
  EXPECT_EQ(reread.settings.def11, 5);
  EXPECT_EQ(reread.settings.def12, 7);
  EXPECT_EQ(reread.settings.def01, 0);
}

TEST_F(PluginLifecycleTest, HostProgramWithoutFolderGivesABareHelpFileName) {
  HostInFolder bare(u"renamer.exe");
  setPlatform(&bare);
  PluginState state;
  initialisePluginState(state, u"host.ini", u"plug");
  EXPECT_EQ(state.helpFilePath, u"mac_Sonavid.chm");
  EXPECT_EQ(state.settings.dataFilePath, u"mac_Sonavid.dat");
}

}  // namespace
}  // namespace sonavid
