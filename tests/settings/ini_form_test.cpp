#include "settings/ini_form.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/platform_posix.h"
#include "common/text.h"
#include "settings/utf16_bytes.h"

namespace sonavid {
namespace {

class IniFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/sonavid-ini-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    setPlatform(&cp932_);
  }
  void TearDown() override {
    setPlatform(nullptr);
    std::filesystem::remove_all(dir_);
  }

  std::u16string pathOf(const std::string& name) const { return utf8ToUtf16(dir_ + "/" + name); }
  void writeFile(const std::string& name, std::string_view bytes) const {
    std::ofstream(dir_ + "/" + name, std::ios::binary).write(bytes.data(), bytes.size());
  }
  std::string readFile(const std::string& name) const {
    std::ifstream in(dir_ + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  PosixPlatform cp932_{"CP932"};
  std::string dir_;
};

TEST_F(IniFormTest, DecodesEveryByteOrderMarkAndAnsiWithout) {
  const std::u16string text = u"[S]\r\nTitle=テスト\r\n";
  std::string utf16be = "\xFE\xFF";
  for (char16_t c : text) {
    utf16be.push_back(static_cast<char>(c >> 8));
    utf16be.push_back(static_cast<char>(c & 0xFF));
  }
  const std::pair<const char*, std::string> files[] = {
      {"le.ini", utf16le(text)},
      {"be.ini", utf16be},
      {"utf8.ini", "\xEF\xBB\xBF" + utf16ToUtf8(text)},
      {"ansi.ini", "[S]\r\nTitle=\x83\x65\x83\x58\x83\x67\r\n"},  // Shift-JIS
      {"le-no-mark.ini", utf16le(text).substr(2)},
      {"be-no-mark.ini", utf16be.substr(2)},
      // A stray zero byte does not make ANSI text UTF-16.
      {"ansi-nul.ini", std::string("[S]\r\nTitle=\x83\x65\x83\x58\x83\x67\r\n\0", 20)},
      {"ansi-nuls.ini", std::string("[S]\0\r\nTitle=\x83\x65\x83\x58\x83\x67\r\n\0", 21)},
  };
  for (const auto& [name, bytes] : files) {
    writeFile(name, bytes);
    EXPECT_EQ(IniForm::load(pathOf(name)).readText(u"S", u"Title"), u"テスト") << name;
  }
}

TEST_F(IniFormTest, WritesUtf16LeWithMarkAndCrLf) {
  IniForm form = IniForm::load(pathOf("new.ini"));
  form.writeText(u"Sec", u"Key", u"値");
  form.writeInt(u"Sec", u"Negative", -42);
  form.writeBool(u"Other", u"Flag", true);
  ASSERT_TRUE(form.save());
  EXPECT_EQ(readFile("new.ini"),
            utf16le(u"[Sec]\r\nKey=値\r\nNegative=-42\r\n\r\n[Other]\r\nFlag=1\r\n\r\n"));
}

TEST_F(IniFormTest, WriteBackDropsCommentsAndBlanksButKeepsOrderAndKeylessLines) {
  const IniForm form = IniForm::parse(
      u"stray=before any section\r\n"
      u"; comment\r\n"
      u"  [ First ]  \r\n"
      u"\r\n"
      u"b = 2\r\n"
      u"\t; indented comment\r\n"
      u"  just a note  \r\n"
      u"a=1\r\n"
      u"[Second]\r\n"
      u"x==y\r\n");
  EXPECT_EQ(form.toText(), u"[First]\r\nb=2\r\njust a note\r\na=1\r\n\r\n[Second]\r\nx==y\r\n\r\n");
  EXPECT_EQ(form.readText(u"Second", u"x"), u"=y");  // only the first "=" separates
  EXPECT_FALSE(form.find(u"First", u"just a note").has_value());
}

TEST_F(IniFormTest, ChangedKeysStayNewKeysAndSectionsAreAppended) {
  IniForm form = IniForm::parse(u"[A]\r\nk1=1\r\nk2=2\r\n[B]\r\nz=0\r\n");
  form.writeText(u"A", u"k1", u"one");
  form.writeText(u"A", u"k3", u"3");
  form.writeText(u"C", u"c", u"new");
  EXPECT_EQ(form.toText(),
            u"[A]\r\nk1=one\r\nk2=2\r\nk3=3\r\n\r\n[B]\r\nz=0\r\n\r\n[C]\r\nc=new\r\n\r\n");
}

TEST_F(IniFormTest, NamesMatchWithoutCaseAndKeepTheirSpelling) {
  IniForm form = IniForm::parse(u"[Host]\r\nDef11=5\r\n");
  EXPECT_EQ(form.readInt(u"HOST", u"def11", 0), 5);
  form.writeInt(u"host", u"DEF11", 6);
  form.writeInt(u" HOST\t", u"Def12", 7);  // trimmed as a "[name]" line is
  EXPECT_EQ(form.readInt(u"Host ", u"Def12", 0), 7);
  EXPECT_EQ(form.toText(), u"[Host]\r\nDef11=6\r\nDef12=7\r\n\r\n");

  EXPECT_TRUE(iniNamesEqual(u"ÄÖÜ", u"äöü"));
  EXPECT_TRUE(iniNamesEqual(u"ΣΩ", u"σω"));
  EXPECT_TRUE(iniNamesEqual(u"ПЁ", u"пё"));
  EXPECT_TRUE(iniNamesEqual(u"ＡＢＣ", u"ａｂｃ"));
  EXPECT_TRUE(iniNamesEqual(u"ŁŽ", u"łž"));
  EXPECT_FALSE(iniNamesEqual(u"A", u"Ａ"));
  EXPECT_FALSE(iniNamesEqual(u"×", u"÷"));
}

TEST_F(IniFormTest, LastDuplicateIsReadAndChanged) {
  IniForm form = IniForm::parse(u"[S]\r\nk=first\r\nK=second\r\n[s]\r\nk=third\r\nk=fourth\r\n");
  EXPECT_EQ(form.readText(u"S", u"k"), u"fourth");
  form.writeText(u"S", u"k", u"changed");
  EXPECT_EQ(form.toText(),
            u"[S]\r\nk=first\r\nK=second\r\n\r\n[s]\r\nk=third\r\nk=changed\r\n\r\n");
  EXPECT_EQ(form.section(u"S").readText(u"K"), u"changed");
}

TEST_F(IniFormTest, AcceptsLfOnlyAndLoneCrBreaks) {
  const IniForm form = IniForm::parse(u"[S]\na=1\rb=2\n\n[T]\r\nc=3");
  EXPECT_EQ(form.readInt(u"S", u"a", 0), 1);
  EXPECT_EQ(form.readInt(u"S", u"b", 0), 2);
  EXPECT_EQ(form.readInt(u"T", u"c", 0), 3);
}

TEST_F(IniFormTest, IntegersAndBooleansUseTheIntegerReading) {
  const IniForm form =
      IniForm::parse(u"[S]\r\nhex=0x10\r\npadded=  -7  \r\nbad=12abc\r\non=2\r\noff=0\r\nx=y\r\n");
  EXPECT_EQ(form.readInt(u"S", u"hex", 0), 16);
  EXPECT_EQ(form.readInt(u"S", u"padded", 0), -7);
  EXPECT_EQ(form.readInt(u"S", u"bad", 99), 99);
  EXPECT_EQ(form.readInt(u"S", u"missing", 99), 99);
  EXPECT_TRUE(form.readBool(u"S", u"on", false));
  EXPECT_FALSE(form.readBool(u"S", u"off", true));
  EXPECT_TRUE(form.readBool(u"S", u"x", true));
  EXPECT_FALSE(form.readBool(u"Nope", u"on", false));
}

TEST_F(IniFormTest, EraseAndReplaceSection) {
  IniForm form = IniForm::parse(u"[A]\r\na=1\r\n[B]\r\nb=1\r\n[a]\r\nc=1\r\n");
  form.replaceSection(u"A", {{u"Count", u"1"}, {u"I1", u"TIME_x"}});
  EXPECT_EQ(form.toText(), u"[B]\r\nb=1\r\n\r\n[A]\r\nCount=1\r\nI1=TIME_x\r\n\r\n");
  form.eraseSection(u"b");
  EXPECT_FALSE(form.hasSection(u"B"));
  EXPECT_EQ(form.toText(), u"[A]\r\nCount=1\r\nI1=TIME_x\r\n\r\n");
}

TEST_F(IniFormTest, LineBreaksInWrittenTextsCannotStartNewLines) {
  IniForm form;
  form.writeText(u"S", u"Desc", u"a\r\n[Version]\r\nNo=1");
  const IniForm reread = IniForm::parse(form.toText());
  EXPECT_FALSE(reread.hasSection(u"Version"));
  EXPECT_EQ(reread.readText(u"S", u"Desc"), u"a  [Version]  No=1");
}

TEST_F(IniFormTest, AnsiFileOpenedForChangeKeepsItsText) {
  writeFile("host.ini", "; old\r\n[S]\r\nTitle=\x83\x65\x83\x58\x83\x67\r\n");
  IniForm form = IniForm::load(pathOf("host.ini"));
  form.writeInt(u"S", u"Def11", 1);
  ASSERT_TRUE(form.save());
  EXPECT_EQ(readFile("host.ini"), utf16le(u"[S]\r\nTitle=テスト\r\nDef11=1\r\n\r\n"));
}

TEST_F(IniFormTest, FileWithoutMarkIsWrittenBackOnlyWhenItsTextEncodesBackToIt) {
  const struct {
    const char* name;
    std::string bytes;
    bool written;
  } files[] = {
      {"ansi.ini", std::string("[S]\r\nk=\x83\x65\r\n\0", 12), true},
      {"utf16.ini", utf16le(u"[S]\r\nk=テ\r\n").substr(2), true},
      {"not-shift-jis.ini", "[S]\r\nk=\x81\x20\x85\r\n", false},
  };
  for (const auto& [name, bytes, written] : files) {
    writeFile(name, bytes);
    IniForm form = IniForm::load(pathOf(name));
    form.writeInt(u"S", u"n", 1);
    EXPECT_EQ(form.save(), written) << name;
    if (!written) EXPECT_EQ(readFile(name), bytes) << name;
  }
}

TEST_F(IniFormTest, Utf16FileRoundTripsUnchangedApartFromWrittenKeys) {
  const std::string original = utf16le(u"[S]\r\na=1\r\nb=テ\r\n\r\n[T]\r\nnote\r\n\r\n");
  writeFile("host.ini", original);
  IniForm form = IniForm::load(pathOf("host.ini"));
  form.writeText(u"S", u"b", u"テ");
  ASSERT_TRUE(form.save());
  EXPECT_EQ(readFile("host.ini"), original);
}

TEST_F(IniFormTest, MissingFileIsEmptyAndAnUnreadableOneIsNeverOverwritten) {
  const IniForm missing = IniForm::load(pathOf("none.ini"));
  EXPECT_FALSE(missing.readFailed());
  EXPECT_EQ(missing.readInt(u"S", u"k", 7), 7);

  // Larger than the settings-file cap: reads as empty, and a change is not written over it.
  const std::string big = dir_ + "/big.ini";
  std::ofstream(big).put('x');
  std::filesystem::resize_file(big, kMaxSettingsFileBytes + 1);
  IniForm form = IniForm::load(pathOf("big.ini"));
  EXPECT_TRUE(form.readFailed());
  form.writeInt(u"S", u"k", 1);
  EXPECT_FALSE(form.save());
  EXPECT_EQ(std::filesystem::file_size(big), kMaxSettingsFileBytes + 1);
}

TEST_F(IniFormTest, TooManyLinesReadAsUnreadable) {
  std::u16string text = u"[S]\n";
  for (size_t i = 1; i < kMaxIniLines; ++i) text += u"a\n";
  EXPECT_FALSE(IniForm::parse(text).readFailed());
  text += u"[T]\n";  // section lines count too
  const IniForm form = IniForm::parse(text);
  EXPECT_TRUE(form.readFailed());
  EXPECT_FALSE(form.hasSection(u"S"));
}

TEST_F(IniFormTest, DamagedBytesGiveWhatCanBeRead) {
  // Odd UTF-16 length, a NUL inside a value and a lone section bracket.
  using namespace std::string_view_literals;
  const std::string bytes = utf16le(u"[S]\r\nk=a\0b\r\n[\r\nx=1\r\n"sv).append("\x41");
  writeFile("odd.ini", bytes);
  const IniForm form = IniForm::load(pathOf("odd.ini"));
  EXPECT_EQ(form.readText(u"S", u"k"), std::u16string(u"a\0b", 3));
  EXPECT_EQ(form.readInt(u"S", u"x", 0), 1);  // "[" alone is a keyless line
  EXPECT_EQ(IniForm::parse(u"[]\r\n=v\r\n").readText(u"", u""), u"v");
}

}  // namespace
}  // namespace sonavid
