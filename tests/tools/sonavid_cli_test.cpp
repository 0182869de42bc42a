// The `sonavid` tool as a user meets it: help, version, usage errors, unreadable files, the
// code page, and values that must not break the plain output. Runs the tool's entry in process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "common/platform.h"

namespace sonavid::cli {
namespace {

namespace fs = std::filesystem;

const std::string kMedia = std::string(SONAVID_TEST_DATA) + "/media/";

struct RunResult {
  int status;
  std::string out;
  std::string err;
};

RunResult run(const std::vector<std::string>& args) {
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const int status = runSonavid(args);
  std::fflush(nullptr);
  RunResult result{status, ::testing::internal::GetCapturedStdout(),
                   ::testing::internal::GetCapturedStderr()};
  setPlatform(nullptr);
  return result;
}

// A copy of a fixture with an ID3v1 title that tries to forge a line and a column.
class ToolFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(::testing::TempDir()) / ("sonavid-cli-" + std::to_string(getpid()));
    fs::create_directories(folder_);
    forged_ = (folder_ / "forged.mp3").string();
    fs::copy_file(kMedia + "mp3-id3v1-latin1.mp3", forged_, fs::copy_options::overwrite_existing);
    std::fstream file(forged_, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(-125, std::ios::end);  // the title field, after "TAG"
    const char title[30] = "a\tb\nTIME\t9:99 (599sec)";
    file.write(title, sizeof title);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
  std::string forged_;
};

TEST_F(ToolFiles, HelpVersionAndUsageErrorsFollowTheUsualConventions) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string outHas, errHas;
  };
  const std::vector<Case> cases = {
      {{"--help"}, 0, "preview", ""},
      {{"info", "--help"}, 0, "usage: sonavid info", ""},
      {{"preview", "-h"}, 0, "usage: sonavid preview", ""},
      {{"--version"}, 0, "sonavid 5.0.0.2\n", ""},
      {{}, 2, "", "no command given"},
      {{"frob"}, 2, "", "unknown command: frob"},
      {{"info", "--bogus", "x"}, 2, "", "unknown option: --bogus"},
      {{"info", "--codepage"}, 2, "", "--codepage needs a value"},
      {{"info", "--codepage", "", "x"}, 2, "", "the code page is empty"},
      {{"info", "--codepage=KLINGON", "x"}, 2, "", "unknown code page: KLINGON"},
      {{"expand", "/a", "x"}, 2, "", "expected -- before the files"},
      {{"expand", "/q", "--", "x"}, 2, "", "not a macro text of this plug-in: /q"},
  };
  for (const Case& c : cases) {
    const RunResult result = run(c.args);
    const std::string what = c.args.empty() ? "(none)" : c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : "");
    EXPECT_EQ(result.status, c.status) << what;
    EXPECT_NE(result.out.find(c.outHas), std::string::npos) << what << ": " << result.out;
    EXPECT_NE(result.err.find(c.errHas), std::string::npos) << what << ": " << result.err;
    if (c.status != 0) EXPECT_EQ(result.out, "") << what;
  }
}

TEST_F(ToolFiles, UnreadableFilesAreListedWithTheirReasonAndFailTheRun) {
  const std::string missing = (folder_ / "missing.mp3").string();
  const std::string folder = folder_.string();
  const RunResult info = run({"info", missing, folder, forged_});
  EXPECT_EQ(info.status, 1);
  EXPECT_NE(info.out.find("# " + missing + "\nERROR\tNo such file or directory\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("# " + folder + "\nERROR\tis a directory\n"), std::string::npos) << info.out;
  EXPECT_NE(info.err.find(missing + ": No such file or directory"), std::string::npos) << info.err;

  const RunResult expand = run({"expand", "/a", "--", missing, forged_});
  EXPECT_EQ(expand.status, 1);
  EXPECT_EQ(expand.out, missing + "\t\n" + forged_ + "\tMP3\n");
  EXPECT_NE(expand.err.find(missing + ": No such file or directory"), std::string::npos);
}

TEST_F(ToolFiles, PlainOutputEscapesWhatCouldForgeALineOrAColumnAndJsonStaysExact) {
  const std::string escaped = "a\\tb\\nTIME\\t9:99 (599sec)";
  const RunResult info = run({"info", "--codepage", "1252", forged_});
  EXPECT_NE(info.out.find("TYPE\t1 MP3\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("\t" + escaped + "\n"), std::string::npos) << info.out;
  EXPECT_EQ(info.out.find("\nTIME\t9"), std::string::npos) << info.out;

  const RunResult expand = run({"expand", "/b<,INAM_v1>", "--", forged_});
  EXPECT_EQ(expand.out, forged_ + "\t" + escaped + "\n");

  const RunResult json = run({"info", "--json", forged_});
  EXPECT_NE(json.out.find("\"INAM_v1\": \"a\\tb\\nTIME\\t9:99 (599sec)\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"typeName\": \"MP3\""), std::string::npos);
}

TEST_F(ToolFiles, InfoSkipsEmptyValuesUnlessAllIsGiven) {
  const std::string video = kMedia + "mp3-id3v1-latin1.mp3";
  EXPECT_EQ(run({"info", video}).out.find("VFMT"), std::string::npos);
  EXPECT_NE(run({"info", "--all", video}).out.find("VFMT\t\n"), std::string::npos);
}

// The common fields: worked out for the file and listed, with their descriptions, in the help.
TEST_F(ToolFiles, InfoGivesTheCommonFieldsAndItsHelpListsThem) {
  const std::string album = kMedia + "album-id3v23-ape.mp3";
  const RunResult info = run({"info", album});
  EXPECT_NE(info.out.find("\nAART\tV23 Album Artist\nTRACK1\t7\nTRACK2\t120\nTRACK00\t007\n"),
            std::string::npos)
      << info.out;
  EXPECT_EQ(info.out.find("BPM"), std::string::npos) << info.out;
  const RunResult json = run({"info", "--json", album});
  EXPECT_NE(json.out.find("\"TRACK00\": \"007\", \"DISC1\": \"2\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"FPS\": \"\"}"), std::string::npos) << json.out;
  EXPECT_EQ(run({"info", "--json", forged_ + ".missing"}).out.find("AART"), std::string::npos);
  const RunResult help = run({"info", "--help"});
  EXPECT_NE(help.out.find("  AART      \xE3\x82\xA2\xE3\x83\xAB\xE3\x83\x90\xE3\x83\xA0"),
            std::string::npos)
      << help.out;
  EXPECT_NE(help.out.find("  FPS       \xE3"), std::string::npos);
}

TEST(ToolCodePage, ComesFromTheLocaleUnlessGiven) {
  EXPECT_EQ(codePageOfLocale(nullptr, nullptr, "ja_JP.UTF-8"), "932");
  EXPECT_EQ(codePageOfLocale("", "ja_JP.eucJP", "C.UTF-8"), "932");
  EXPECT_EQ(codePageOfLocale("C", nullptr, "ja_JP.UTF-8"), "1252");  // LC_ALL wins
  EXPECT_EQ(codePageOfLocale(nullptr, nullptr, nullptr), "1252");
  EXPECT_EQ(iconvNameOfCodePage("932"), "CP932");
  EXPECT_EQ(iconvNameOfCodePage("windows-1252"), "windows-1252");
  EXPECT_EQ(iconvNameOfCodePage(""), std::nullopt);
  EXPECT_EQ(iconvNameOfCodePage("99999"), std::nullopt);

  // The Shift-JIS tag reads right under a Japanese locale, with no option.
  ASSERT_EQ(setenv("LC_ALL", "ja_JP.UTF-8", 1), 0);
  const RunResult result = run({"expand", "/b<,INAM_v2>", "--", kMedia + "mp3-sjis.mp3"});
  unsetenv("LC_ALL");
  EXPECT_NE(result.out.find("\t\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE6\x9B\xB2\n"), std::string::npos)
      << result.out;
}

TEST_F(ToolFiles, FileNamesThatAreNotUtf8AreOpenedAsTheBytesTheyAre) {
  const std::string sjisName = (folder_ / "\x93\xFA\x96\x7B.mp3").string();
  fs::copy_file(forged_, sjisName);
  const RunResult expand = run({"expand", "/a", "--", sjisName});
  EXPECT_EQ(expand.status, 0) << expand.err;
  EXPECT_EQ(expand.out, folder_.string() + "/\\x93\\xFA\\x96{.mp3\tMP3\n");
}

TEST_F(ToolFiles, PreviewFlagsAndNeverRenames) {
  const std::string other = (folder_ / "other.mp3").string();
  fs::copy_file(forged_, other);
  const RunResult result = run({"preview", "/b<,INAM_v1>", forged_, other});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("forged.mp3 \xE2\x86\x92 a\\tb\\nTIME\\t9:99 (599sec).mp3\n"
                            "    ! has characters Windows does not allow in file names: :\n"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("gets the same name as forged.mp3"), std::string::npos);
  EXPECT_TRUE(fs::exists(forged_) && fs::exists(other));
}

}  // namespace
}  // namespace sonavid::cli
