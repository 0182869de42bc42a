// The adapter to an installed bregonig.dll, against the test double: the record's life, the
// null output, empty targets and commands, and the C calling convention.
#include <gtest/gtest.h>

#include "plugin/bregonig_substitution_win.h"
#include "win/platform_libraries_support.h"

namespace sonavid::test {
namespace {

class BregonigSubstitutionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring path = doublesFolder(L"complete") + L"bregonig.dll";
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr);
    log = logOf<FakeRegexLog>(module);
    substitution = BregonigSubstitution::fromModule(module, u16(path));
    ASSERT_NE(substitution, nullptr);
    ASSERT_NE(log, nullptr);
  }

  std::unique_ptr<BregonigSubstitution> substitution;
  FakeRegexLog* log = nullptr;
};

TEST_F(BregonigSubstitutionTest, OutputIsCopiedBeforeTheRecordIsReleased) {
  // The double overwrites the output when it releases the record.
  const SubstResult upper = substitution->subst(u"upper", u"abc日本");
  EXPECT_EQ(upper.count, 1);
  EXPECT_EQ(upper.output, u"ABC日本");
  const SubstResult twice = substitution->subst(u"twice", u"ab");
  EXPECT_EQ(twice.count, 2);
  EXPECT_EQ(twice.output, u"abab");
  EXPECT_EQ(log->lastTargetLength, 2);
}

TEST_F(BregonigSubstitutionTest, OnlyAResultAboveZeroCountsAndEveryRecordIsReleased) {
  // A null output with a result above 0 is an empty output.
  const SubstResult null = substitution->subst(u"null", u"text");
  EXPECT_EQ(null.count, 1);
  EXPECT_EQ(null.output, u"");
  // A record handed out with result 0 is released as well.
  const SubstResult noMatch = substitution->subst(u"nomatch", u"text");
  EXPECT_EQ(noMatch.count, 0);
  EXPECT_EQ(noMatch.output, u"");
  const SubstResult bad = substitution->subst(u"bad", u"text");
  EXPECT_LT(bad.count, 0);
  EXPECT_EQ(bad.output, u"");
  substitution->subst(u"unknown", u"text");
  substitution->subst(u"echo", u"text");
  EXPECT_EQ(log->calls, 5);
  EXPECT_EQ(log->nonNullRecordsOnEntry, 0);
  EXPECT_EQ(log->releases, 3);
  EXPECT_EQ(log->liveRecords, 0);
  EXPECT_EQ(log->foreignReleases, 0);
}

TEST_F(BregonigSubstitutionTest, EmptyTargetAndCommandAreEmptyTextsNotNullPointers) {
  const SubstResult echo = substitution->subst(u"echo", u"");
  EXPECT_EQ(echo.count, 1);
  EXPECT_EQ(echo.output, u"");
  EXPECT_EQ(log->nullTargets, 0);
  EXPECT_TRUE(log->lastTargetWasEmptyText);
  EXPECT_EQ(log->lastTargetLength, 0);
  substitution->subst(u"", u"text");
  substitution->subst(std::u16string_view(), std::u16string_view());
  EXPECT_EQ(log->nullCommands, 0);
  EXPECT_EQ(log->nullTargets, 0);
  // A target with a NUL inside is passed whole (its end is start plus its length); the output
  // is read up to its terminator.
  EXPECT_EQ(substitution->subst(u"echo", std::u16string_view(u"a\0b", 3)).output, u"a");
  EXPECT_EQ(log->lastTargetLength, 3);
}

TEST(BregonigSubstitutionAbi, DoubleUsesTheCConventionAndTheAdapterStaysBalanced) {
  const std::wstring path = doublesFolder(L"complete") + L"bregonig.dll";
  HMODULE module = LoadLibraryW(path.c_str());
  ASSERT_NE(module, nullptr);
  // The caller removes the arguments: the double takes none off the stack.
  const void* subst = reinterpret_cast<const void*>(GetProcAddress(module, "BSubstW"));
  const void* release = reinterpret_cast<const void*>(GetProcAddress(module, "BRegfreeW"));
  wchar_t target[] = L"abc";
  void* record = nullptr;
  wchar_t message[80] = {};
  const uint32_t substArgs[] = {
      reinterpret_cast<uintptr_t>(L"upper"), reinterpret_cast<uintptr_t>(target),
      reinterpret_cast<uintptr_t>(target + 3), reinterpret_cast<uintptr_t>(&record),
      reinterpret_cast<uintptr_t>(message)};
  EXPECT_EQ(bytesRemovedByCallee(subst, substArgs, 5), 0u);
  ASSERT_NE(record, nullptr);
  const uint32_t releaseArgs[] = {reinterpret_cast<uintptr_t>(record)};
  EXPECT_EQ(bytesRemovedByCallee(release, releaseArgs, 1), 0u);

  auto substitution = BregonigSubstitution::fromModule(module, u16(path));
  ASSERT_NE(substitution, nullptr);
  static BregonigSubstitution* shared = nullptr;
  shared = substitution.get();
  void (*manyCalls)() = [] {
    for (int i = 0; i < 100; ++i) {
      shared->subst(u"upper", u"abc");
      shared->subst(u"bad", u"");
    }
  };
  EXPECT_EQ(bytesRemovedByCallee(reinterpret_cast<const void*>(manyCalls), nullptr, 0), 0u);
  EXPECT_EQ(logOf<FakeRegexLog>(module)->liveRecords, 0);
}

}  // namespace
}  // namespace sonavid::test
