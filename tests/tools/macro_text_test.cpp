#include "shared/macro_text.h"

#include <gtest/gtest.h>

#include "shared/expansion_run.h"

namespace sonavid {
namespace {

TEST(MacroTextTest, SplitsLetterAndParameterText) {
  auto plain = parseMacroText(u"/a");
  ASSERT_TRUE(plain.has_value());
  EXPECT_EQ(plain->letter, u'a');
  EXPECT_EQ(plain->parameterText, u"");

  auto withParams = parseMacroText(u"/b<MP3,INAM_v1>");
  ASSERT_TRUE(withParams.has_value());
  EXPECT_EQ(withParams->letter, u'b');
  EXPECT_EQ(withParams->parameterText, u"MP3,INAM_v1");

  auto emptyBrackets = parseMacroText(u"/b<>");
  ASSERT_TRUE(emptyBrackets.has_value());
  EXPECT_EQ(emptyBrackets->parameterText, u"");

  // Only the outer brackets delimit the parameter text.
  EXPECT_EQ(parseMacroText(u"/b<,a<b>>")->parameterText, u",a<b>");
}

TEST(MacroTextTest, RefusesTextsOfAnotherForm) {
  for (std::u16string_view text :
       {u"", u"/", u"a", u"a<1>", u"/<1>", u"/a<1", u"/a1>", u"/a<", u"/ab", u"//", u"/a<1>x"}) {
    EXPECT_FALSE(parseMacroText(text).has_value()) << std::string(text.begin(), text.end());
  }
}

TEST(ExpansionRunTest, ResetsThenNumbersFilesAndCalls) {
  std::vector<std::string> log;
  const ExecuteFunction execute = [&](const MacroRequest* r) -> const char16_t* {
    if (r == nullptr) {
      log.push_back("reset");
      return u"";
    }
    log.push_back(std::to_string(r->macroIndex) + " " + std::to_string(r->fileNumber) + "/" +
                  std::to_string(r->callNumber));
    return r->parameterText.empty() ? u"type" : u"info";
  };
  const auto rows =
      expandRun({{0, u""}, {1, u",TIME"}}, {{u"/m/", u"a.mp3"}, {u"/m/", u"b.wav"}}, execute);
  EXPECT_EQ(log, (std::vector<std::string>{"reset", "0 0/1", "1 0/2", "0 1/1", "1 1/2"}));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1], (std::vector<std::u16string>{u"type", u"info"}));
}

TEST(ExpansionRunTest, SplitsLocalPathsIntoFolderAndName) {
  const RunFile nested = splitLocalPath(u"/music/a b/x.mp3");
  EXPECT_EQ(nested.directory, u"/music/a b/");
  EXPECT_EQ(nested.fileName, u"x.mp3");
  const RunFile bare = splitLocalPath(u"x.mp3");
  EXPECT_EQ(bare.directory, u"./");
  EXPECT_EQ(bare.fileName, u"x.mp3");
}

}  // namespace
}  // namespace sonavid
