// The rename preview's own rules: how a template splits, what name each file gets, and which
// names are flagged. The plug-in's expansions are given as plain texts here.
#include "shared/rename_preview.h"

#include <gtest/gtest.h>

#include <set>

#include "shared/plain_text.h"

namespace sonavid::tools {
namespace {

TEST(RenameTemplate, SplitsTextFromTheMacrosOfTheHostsLetters) {
  const auto parts = parseTemplate(u"/x<,IART> - /y/q /x<,INAM (/x<,TIME>)", u'y', u'x');
  ASSERT_EQ(parts.size(), 6u);
  const std::vector<std::pair<int, std::u16string>> expected = {
      {1, u",IART"}, {-1, u" - "}, {0, u""}, {-1, u"/q "}, {1, u",INAM (/x<,TIME"}, {-1, u")"}};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(parts[i].isMacro ? parts[i].macroIndex : -1, expected[i].first) << i;
    EXPECT_EQ(parts[i].text, expected[i].second) << i;
  }
  EXPECT_EQ(templateMacros(parts).size(), 3u);
}

struct PreviewCase {
  const char* what;
  std::u16string templ;
  std::vector<std::u16string> names;                    // files in one folder
  std::vector<std::vector<std::u16string>> expansions;  // per file
  std::vector<std::u16string> newNames;
  std::vector<std::u16string> problems;  // per file: a word of its first problem, or ""
};

TEST(RenamePreview, NamesAndFlagsAsAHostWouldMeetThem) {
  const std::set<std::u16string> existing = {u"/m/taken.mp3", u"/m/Old.mp3"};
  const std::vector<PreviewCase> cases = {
      {"the extension is kept", u"/b<,IART> - /b<,INAM>", {u"a.mp3"}, {{u"X", u"Y"}},
       {u"X - Y.mp3"}, {u""}},
      {"a template's own extension wins", u"/b<,INAM>./a<1>", {u"a.mp3", u"b.wav"},
       {{u"A", u"mp3"}, {u"B", u"wav"}}, {u"A.mp3", u"B.wav"}, {u"", u""}},
      {"a dot inside the name is no extension", u"Vol.2 /b", {u"a.mp3"}, {{u"Y"}}, {u"Vol.2 Y.mp3"}, {u""}},
      {"forbidden characters", u"/b", {u"a.mp3", u"b.mp3"}, {{u"AC/DC"}, {u"3:25?"}},
       {u"AC/DC.mp3", u"3:25?.mp3"}, {u"characters", u"characters"}},
      {"control characters and trailing dots", u"/b", {u"a.mp3", u"b"}, {{u"a\tb"}, {u"end."}},
       {u"a\tb.mp3", u"end."}, {u"control", u"dot"}},
      {"device names and empty names", u"/b", {u"a.mp3", u"b.mp3"}, {{u"nul "}, {u""}},
       {u"nul .mp3", u".mp3"}, {u"device", u"nothing"}},
      {"two files given one name, case aside", u"/b", {u"a.mp3", u"b.mp3", u"c.mp3"},
       {{u"Same"}, {u"same"}, {u"Other"}}, {u"Same.mp3", u"same.mp3", u"Other.mp3"},
       {u"same name", u"same name", u""}},
      {"an existing file that is not renamed blocks; one that is, or the file itself, does not",
       u"/b", {u"a.mp3", u"old.mp3", u"c.mp3"}, {{u"taken"}, {u"Old"}, {u"a"}},
       {u"taken.mp3", u"Old.mp3", u"a.mp3"}, {u"exists", u"", u""}},
  };
  for (const PreviewCase& c : cases) {
    std::vector<RenameCandidate> files;
    for (const std::u16string& name : c.names) files.push_back({u"/m/", name, u""});
    const auto plans = planRenames(parseTemplate(c.templ, u'a', u'b'), files, c.expansions,
                                   [&](const std::u16string& path) { return existing.contains(path); });
    for (size_t f = 0; f < files.size(); ++f) {
      EXPECT_EQ(plans[f].newName, c.newNames[f]) << c.what;
      if (c.problems[f].empty()) {
        EXPECT_TRUE(plans[f].problems.empty()) << c.what << ": " << f;
      } else {
        ASSERT_FALSE(plans[f].problems.empty()) << c.what << ": " << f;
        EXPECT_NE(plans[f].problems[0].find(c.problems[f]), std::u16string::npos) << c.what << ": " << f;
      }
    }
  }
}

TEST(RenamePreview, AnUnreadableFileKeepsItsNameAndIsFlaggedWithItsReason) {
  const std::vector<RenameCandidate> files = {{u"/m/", u"gone.mp3", u"No such file or directory"},
                                              {u"/m/", u"b.mp3", u""}};
  const auto plans = planRenames(parseTemplate(u"gone", u'a', u'b'), files, {{}, {}},
                                 [](const std::u16string&) { return false; });
  EXPECT_EQ(plans[0].newName, u"");
  EXPECT_EQ(plans[0].problems, std::vector<std::u16string>{u"cannot be read: No such file or directory"});
  ASSERT_EQ(plans[1].problems.size(), 1u);  // b.mp3 would take the name gone.mp3 keeps
  EXPECT_EQ(formatRenamePreview(files, plans),
            u"# /m/\n"
            u"gone.mp3 \u2192 (not renamed)\n"
            u"    ! cannot be read: No such file or directory\n"
            u"b.mp3 \u2192 gone.mp3\n"
            u"    ! gets the same name as gone.mp3\n"
            u"2 files: 0 to rename, 0 unchanged, 2 flagged. Preview only: nothing was renamed.\n");
}

TEST(PlainOutput, ControlCharactersAndStrayFileNameBytesAreEscaped) {
  EXPECT_EQ(escapeForPlainOutput(u"a\tb\nTIME\r\x01\x7F\u0085 日本 \U0001F3B5"),
            u"a\\tb\\nTIME\\r\\x01\\x7F\\x85 日本 \U0001F3B5");
  EXPECT_EQ(escapeForPlainOutput(u"\xDC93\xDCFA.mp3 \xD800 \u2028"), u"\\x93\\xFA.mp3 \\uD800 \\u2028");
}

}  // namespace
}  // namespace sonavid::tools
