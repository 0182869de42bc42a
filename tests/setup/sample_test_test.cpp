#include "setup/sample_test.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "common/text.h"
#include "regex/builtin_substitution.h"

namespace sonavid::setup {
namespace {

// Answers the media-info requests from a table and records what was asked.
struct RecordingRunner {
  std::map<std::u16string, std::u16string> answers;
  std::vector<std::u16string> calls;

  MacroRunner runner() {
    return [this](const MacroRequest* request) -> std::u16string {
      if (request == nullptr) {
        calls.push_back(u"reset");
        return {};
      }
      EXPECT_EQ(request->macroIndex, kMediaInfoMacro);
      EXPECT_EQ(request->directory, u"C:\\m");
      EXPECT_EQ(request->fileName, u"a.avi");
      EXPECT_EQ(request->fileNumber, 0);
      calls.push_back(std::u16string(request->parameterText) + u"#" +
                      static_cast<char16_t>(u'0' + request->callNumber));
      auto found = answers.find(std::u16string(request->parameterText));
      return found != answers.end() ? found->second : std::u16string();
    };
  }
};

TEST(ReadSampleTexts, StopsAtTheFirstEmptyText) {
  RecordingRunner all{{{u",TIME", u"0'05 (5sec)"}, {u",AFMT", u"PCM"}, {u",VFMT", u"XVID"}}};
  SampleTexts texts = readSampleTexts(u"C:\\m", u"a.avi", all.runner());
  EXPECT_EQ(texts.texts, (std::vector<std::u16string>{u"0'05 (5sec)", u"PCM", u"XVID"}));
  EXPECT_TRUE(texts.dropDown);
  EXPECT_EQ(all.calls, (std::vector<std::u16string>{u"reset", u",TIME#1", u",AFMT#2", u",VFMT#3"}));

  RecordingRunner noVideo{{{u",TIME", u"t"}, {u",AFMT", u"a"}}};
  texts = readSampleTexts(u"C:\\m", u"a.avi", noVideo.runner());
  EXPECT_EQ(texts.texts.size(), 2u);
  EXPECT_TRUE(texts.dropDown);

  RecordingRunner noAudio{{{u",TIME", u"t"}, {u",VFMT", u"v"}}};
  texts = readSampleTexts(u"C:\\m", u"a.avi", noAudio.runner());
  EXPECT_EQ(texts.texts, std::vector<std::u16string>{u"t"});
  EXPECT_FALSE(texts.dropDown);
  EXPECT_EQ(noAudio.calls.size(), 3u);  // VFMT is not asked

  RecordingRunner unreadable;
  texts = readSampleTexts(u"C:\\m", u"a.avi", unreadable.runner());
  EXPECT_TRUE(texts.texts.empty());
  EXPECT_FALSE(texts.dropDown);
}

class ScriptedSubstitution : public Substitution {
 public:
  explicit ScriptedSubstitution(SubstResult result) : result_(std::move(result)) {}
  SubstResult subst(std::u16string_view command, std::u16string_view target) override {
    lastCommand = command;
    lastTarget = target;
    return result_;
  }
  std::u16string lastCommand, lastTarget;

 private:
  SubstResult result_;
};

TEST(TrySubstitution, ShowsOutputOnlyWhenSomethingWasReplaced) {
  ScriptedSubstitution replaced({1, u"3"});
  EXPECT_EQ(trySubstitution(replaced, u"s/'.*//", u"3'25 (205sec)"), u"3");
  EXPECT_EQ(replaced.lastTarget, u"3'25 (205sec)");
  ScriptedSubstitution noMatch({0, u"3'25 (205sec)"});
  EXPECT_EQ(trySubstitution(noMatch, u"s/x//", u"3'25 (205sec)"), u"");
}

// A command that cannot run shows why instead of an empty result.
TEST(TrySubstitution, ShowsWhyACommandCannotRun) {
  ScriptedSubstitution silent({-1, u"junk", u""});
  EXPECT_EQ(trySubstitution(silent, u"s/(/", u"abc"), u"正規表現エラー");
  ScriptedSubstitution library({-1, u"", u"Unmatched ( in regex"});
  EXPECT_EQ(trySubstitution(library, u"s/(/", u"abc"), u"正規表現エラー: Unmatched ( in regex");

  BuiltinSubstitution engine;
  const std::pair<std::u16string_view, std::u16string_view> cases[] = {
      {u"s/(/x/", u"正規表現エラー: end pattern with unmatched parenthesis"},
      {u"s/a{2,1}/x/", u"正規表現エラー: upper is smaller than lower in repeat range"},
      {u"s/(?<n>a)\\k<m>/x/", u"正規表現エラー: undefined name <m> reference"},
      {u"s/a/b", u"正規表現エラー: s/パターン/置換文字列/ の形になっていません"},
      {u"", u"正規表現エラー: s/パターン/置換文字列/ の形になっていません"},
  };
  for (const auto& [command, shown] : cases) {
    EXPECT_EQ(trySubstitution(engine, command, u"abc"), shown) << utf16ToUtf8(command);
  }
}

}  // namespace
}  // namespace sonavid::setup
