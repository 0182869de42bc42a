#include "engine/execute.h"

#include <gtest/gtest.h>

#include <memory>

#include "plugin/engine_services.h"
#include "engine_fakes.h"
#include "engine/plugin_state.h"

namespace sonavid {
namespace {

using testing::FakeFile;
using testing::FakeReader;
using testing::FakeSubstitution;

FakeFile mp3File() { return {kTypeMp3, {{u"TIME", u"3:25 (205sec)"}}}; }

// Drives the process-wide entry as the host does, with a fake reader installed in the state.
class ExecuteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetPluginState();
    auto fake = std::make_unique<FakeReader>();
    reader = fake.get();
    pluginState().reader = std::move(fake);
    pluginState().substitution = std::make_unique<FakeSubstitution>();
    reader->addFile(u"C:\\music\\a.mp3", mp3File());
    reader->addFile(u"C:\\music\\b.mp3", mp3File());
  }
  void TearDown() override { resetPluginState(); }

  MacroRequest request(int32_t fileNumber, int32_t callNumber, std::u16string_view name = u"a.mp3",
                       int32_t macroIndex = kMediaTypeMacro) {
    MacroRequest r;
    r.macroIndex = macroIndex;
    r.directory = u"C:\\music";
    r.fileName = name;
    r.fileNumber = fileNumber;
    r.callNumber = callNumber;
    return r;
  }

  std::u16string run(const MacroRequest& r) {
    const char16_t* text = executeMacro(&r);
    EXPECT_NE(text, nullptr);
    return text != nullptr ? std::u16string(text) : std::u16string(u"<null>");
  }

  FakeReader* reader = nullptr;
};

TEST_F(ExecuteTest, ResetReturnsEmptyTextAndTouchesNothingElse) {
  pluginState().macroResult = u"kept";
  const char16_t* text = executeMacro(nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text[0], u'\0');
  EXPECT_EQ(pluginState().loadedFileNumber, -1);
  EXPECT_TRUE(reader->loads.empty());
  EXPECT_EQ(pluginState().macroResult, u"kept");
}

TEST_F(ExecuteTest, LoadsEachFileOnceAtItsFirstCall) {
  executeMacro(nullptr);
  EXPECT_EQ(run(request(0, 1, u"a.mp3")), u"MP3");
  EXPECT_EQ(run(request(0, 2, u"a.mp3")), u"MP3");
  EXPECT_EQ(run(request(1, 1, u"b.mp3")), u"MP3");
  EXPECT_EQ(reader->loads, (std::vector<std::u16string>{u"C:\\music\\a.mp3", u"C:\\music\\b.mp3"}));
  EXPECT_EQ(pluginState().loadedFileNumber, 1);
}

TEST_F(ExecuteTest, CounterAdvancesByOneNotToTheFileNumber) {
  // Without a reset the counter already stands at 0: file 0 is taken as loaded.
  EXPECT_EQ(run(request(0, 1)), u"");
  EXPECT_TRUE(reader->loads.empty());

  // A run that starts at file 5 loads on every first call, since the counter never catches up.
  executeMacro(nullptr);
  run(request(5, 1));
  run(request(5, 1));
  EXPECT_EQ(reader->loads.size(), 2u);
  EXPECT_EQ(pluginState().loadedFileNumber, 1);
}

TEST_F(ExecuteTest, CounterWrapsInsteadOfOverflowing) {
  pluginState().loadedFileNumber = INT32_MAX;
  run(request(0, 1));
  EXPECT_EQ(pluginState().loadedFileNumber, INT32_MIN);
}

TEST_F(ExecuteTest, SkipFlagAnswersAtOnceAndDefersTheLoad) {
  executeMacro(nullptr);
  MacroRequest skipped = request(0, 1);
  skipped.skipFlag = 1;
  EXPECT_EQ(run(skipped), u"");
  EXPECT_TRUE(reader->loads.empty());
  EXPECT_EQ(pluginState().loadedFileNumber, -1);

  EXPECT_EQ(run(request(0, 1)), u"MP3");
  EXPECT_EQ(reader->loads.size(), 1u);
}

TEST_F(ExecuteTest, FailedLoadAnswersEmptyAndIsNotRetried) {
  executeMacro(nullptr);
  pluginState().macroResult = u"old";
  EXPECT_EQ(run(request(0, 1, u"missing.mp3")), u"");
  EXPECT_EQ(pluginState().loadedFileNumber, 0);
  EXPECT_EQ(pluginState().macroResult, u"old");

  // Later calls on the same file dispatch on whatever the reader holds; no second load.
  pluginState().settings.def02 = 1;
  EXPECT_EQ(run(request(0, 2, u"missing.mp3")), u"mp3");
  EXPECT_EQ(run(request(0, 1, u"missing.mp3")), u"mp3");
  EXPECT_EQ(reader->loads.size(), 1u);
}

TEST_F(ExecuteTest, JoinsFolderAndNameWithOneSeparator) {
  std::u16string path = u"an earlier, longer path";
  const auto join = [&path](std::u16string_view directory, std::u16string_view fileName) {
    joinMediaPath(directory, fileName, path);
    return path;
  };
  EXPECT_EQ(join(u"", u"a.mp3"), u"\\a.mp3");
  EXPECT_EQ(join(u"C:\\music", u"a.mp3"), u"C:\\music\\a.mp3");
  EXPECT_EQ(join(u"C:\\music\\", u"a.mp3"), u"C:\\music\\a.mp3");
  EXPECT_EQ(join(u"C:/music/", u"a.mp3"), u"C:/music/a.mp3");

  executeMacro(nullptr);
  MacroRequest r = request(0, 1);
  r.directory = u"";
  run(r);
  EXPECT_EQ(reader->loads, std::vector<std::u16string>{u"\\a.mp3"});
}

TEST_F(ExecuteTest, PathReachesTheReaderAsUtf16) {
  // Characters outside any ANSI code page are not replaced on the way to the reader.
  reader->addFile(u"C:\\music\\\u266B\u6771\U0001F3B5.mp3", mp3File());
  executeMacro(nullptr);
  EXPECT_EQ(run(request(0, 1, u"\u266B\u6771\U0001F3B5.mp3")), u"MP3");
}

TEST_F(ExecuteTest, DispatchesByMacroIndexAndIgnoresUnknownIndexes) {
  executeMacro(nullptr);
  EXPECT_EQ(run(request(0, 1, u"a.mp3", kMediaTypeMacro)), u"MP3");
  EXPECT_EQ(run(request(0, 2, u"a.mp3", kMediaInfoMacro)), u"3'25 (205sec)");
  EXPECT_EQ(run(request(0, 3, u"a.mp3", 2)), u"");
  EXPECT_EQ(run(request(0, 4, u"a.mp3", -1)), u"");
  EXPECT_EQ(run(request(0, 5, u"a.mp3", INT32_MIN)), u"");
}

TEST_F(ExecuteTest, EmptyResultIsTheConstantEmptyText) {
  executeMacro(nullptr);
  MacroRequest r = request(0, 1, u"a.mp3", kMediaInfoMacro);
  r.parameterText = u",INAM_v1";  // not in the file
  EXPECT_EQ(executeMacro(&r), executeMacro(nullptr));
}

TEST(HostTextTest, NullPointerReadsAsEmptyText) {
  EXPECT_TRUE(hostText(nullptr).empty());
  EXPECT_EQ(hostText(u"a.mp3"), u"a.mp3");
}

TEST(EngineServicesTest, FallsBackToBuiltInServicesUntilOnesAreChosen) {
  resetPluginState();
  MediaReader& builtinReader = activeReader();
  Substitution& builtinSubstitution = activeSubstitution();
  EXPECT_EQ(&builtinReader, &activeReader());

  auto reader = std::make_unique<FakeReader>();
  auto substitution = std::make_unique<FakeSubstitution>();
  MediaReader* chosenReader = reader.get();
  Substitution* chosenSubstitution = substitution.get();
  pluginState().reader = std::move(reader);
  pluginState().substitution = std::move(substitution);
  EXPECT_EQ(&activeReader(), chosenReader);
  EXPECT_EQ(&activeSubstitution(), chosenSubstitution);

  resetPluginState();
  EXPECT_EQ(&activeReader(), &builtinReader);
  EXPECT_EQ(&activeSubstitution(), &builtinSubstitution);
}

}  // namespace
}  // namespace sonavid
