// Runs through the process-wide entry with the built-in reader and substitution on real files.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "common/text.h"
#include "engine/execute.h"
#include "plugin/engine_services.h"
#include "shared/expansion_run.h"
#include "engine/plugin_state.h"

namespace sonavid {
namespace {

namespace fs = std::filesystem;

const fs::path kMedia = fs::path(SONAVID_TEST_DATA) / "media";

std::u16string u16(const fs::path& path) { return utf8ToUtf16(path.string()); }

class ExecuteFixtureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetPluginState();
    // A folder of this test's own: ctest runs the tests of this suite as parallel processes.
    std::string pattern = (fs::path(::testing::TempDir()) / "sonavid-engine-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    scratch = pattern;
  }
  void TearDown() override {
    resetPluginState();
    fs::remove_all(scratch);
  }

  std::vector<std::vector<std::u16string>> expand(const std::vector<RunMacro>& macros,
                                                  const std::vector<fs::path>& paths) {
    std::vector<RunFile> files;
    for (const fs::path& path : paths) files.push_back(splitLocalPath(u16(path)));
    return expandRun(macros, files, [](const MacroRequest* r) { return executeMacro(r); });
  }

  fs::path scratch;
};

TEST_F(ExecuteFixtureTest, NamesTheTypesOfRealFiles) {
  std::ofstream(scratch / "Notes.TXT") << "plain text, not media\n";
  const auto rows = expand({{kMediaTypeMacro, u""}, {kMediaTypeMacro, u"1,1"}},
                           {kMedia / "tone.ogg", kMedia / "tone.wma", kMedia / "clip.wmv",
                            kMedia / "tone.ape", scratch / "Notes.TXT", scratch / "missing.mp3"});
  const std::vector<std::vector<std::u16string>> expected = {{u"OGG", u"ogg"}, {u"WMA", u"wma"},
                                                             {u"WMV", u"wmv"}, {u"APE", u"ape"},
                                                             {u"", u"TXT"},    {u"", u"mp3"}};
  // The missing file's first call finds no file; its second works on the emptied reader.
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(pluginState().loadedFileNumber, 5);
}

TEST_F(ExecuteFixtureTest, LoadsFileNamesOutsideAnyAnsiCodePage) {
  const fs::path name = scratch / fs::u8path("\xE6\x9B\xB2\xE2\x99\xAB\xF0\x9F\x8E\xB5.ogg");
  fs::copy_file(kMedia / "tone.ogg", name);
  const auto rows = expand({{kMediaTypeMacro, u""}, {kMediaInfoMacro, u"OGG,AFMT"}}, {name});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], u"OGG");
  EXPECT_FALSE(rows[0][1].empty());
}

TEST_F(ExecuteFixtureTest, PlayingTimeOfEveryFixtureHasNoColon) {
  const std::vector<std::string> mediaExtensions = {".ogg", ".oga", ".ogv", ".opus", ".mp4",
                                                    ".m4a", ".wma", ".wmv", ".ape",  ".vqf",
                                                    ".mp3", ".wav", ".avi"};
  for (const auto& entry : fs::directory_iterator(kMedia)) {
    const std::string extension = entry.path().extension().string();
    if (std::find(mediaExtensions.begin(), mediaExtensions.end(), extension) ==
        mediaExtensions.end()) {
      continue;
    }
    const auto rows = expand({{kMediaInfoMacro, u""}}, {entry.path()});
    ASSERT_EQ(rows.size(), 1u);
    const std::u16string& time = rows[0][0];
    EXPECT_FALSE(time.empty()) << entry.path();
    EXPECT_EQ(time.find(u':'), std::u16string::npos) << entry.path();
    EXPECT_NE(time.find(u"sec)"), std::u16string::npos) << entry.path();
  }
}

}  // namespace
}  // namespace sonavid
