// The adapter to an installed mp3infp.dll, against the test double: ordinals, calling
// convention, the ANSI code page both ways, what a failed load leaves, and the built-in reader
// behind it for the files it does not know.
#include <gtest/gtest.h>

#include <cstring>

#include "media/builtin_reader.h"
#include "plugin/installed_reader_with_fallback.h"
#include "plugin/mp3infp_reader_win.h"
#include "win/platform_libraries_support.h"
#include "win/plugin_fixture.h"

namespace sonavid::test {
namespace {

class Mp3infpReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring path = doublesFolder(L"complete") + L"mp3infp.dll";
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr);
    log = logOf<FakeReaderLog>(module);
    reader = Mp3infpReader::fromModule(module, u16(path));
    ASSERT_NE(reader, nullptr);
    ASSERT_NE(log, nullptr);
  }

  // A "media file" for the double: NAME=VALUE lines, bytes as given.
  std::wstring writeMedia(const std::wstring& name, const std::string& lines) {
    const std::wstring path = folder.path() + name;
    writeBytes(path, lines);
    return path;
  }

  TempFolder folder;
  std::unique_ptr<Mp3infpReader> reader;
  FakeReaderLog* log = nullptr;
};

TEST_F(Mp3infpReaderTest, LoadsByPathAndAnswersTypeAndValues) {
  const std::wstring path = writeMedia(L"song.mp3", "type=1\r\nINAM_v1=Title\nAFMT=\n");
  EXPECT_TRUE(reader->load(u16(path)));
  EXPECT_EQ(log->nonNullOwners, 0);
  EXPECT_EQ(std::string(log->lastPath), std::string(path.begin(), path.end()));
  EXPECT_EQ(reader->type(), 1);
  EXPECT_EQ(reader->value(u"INAM_v1"), u"Title");
  EXPECT_EQ(std::string(log->lastName), "INAM_v1");
  // An empty value and a value the reader does not have (a null pointer) both read as empty.
  EXPECT_EQ(reader->value(u"AFMT"), u"");
  EXPECT_EQ(reader->value(u"VFMT"), u"");
  // The text pointer handed to the reader is null on entry every time.
  EXPECT_EQ(log->nonNullValueSlots, 0);
}

TEST_F(Mp3infpReaderTest, FailedLoadHidesWhatTheReaderStillHolds) {
  EXPECT_TRUE(reader->load(u16(writeMedia(L"first.mp3", "type=1\nINAM_v1=First\n"))));
  EXPECT_FALSE(reader->load(u16(folder.path() + L"missing.mp3")));
  // The double still holds the first file; the adapter must not pass it off as this one.
  const int typeCalls = log->typeCalls;
  EXPECT_EQ(reader->type(), 0);
  EXPECT_EQ(reader->value(u"INAM_v1"), u"");
  EXPECT_EQ(log->typeCalls, typeCalls);
  // The next good load answers again.
  EXPECT_TRUE(reader->load(u16(writeMedia(L"second.wav", "type=2\nINAM=Second\n"))));
  EXPECT_EQ(reader->type(), 2);
  EXPECT_EQ(reader->value(u"INAM"), u"Second");
  // Nothing loaded before the first load, and an empty path is not handed on.
  EXPECT_FALSE(reader->load(u""));
  EXPECT_EQ(reader->type(), 0);
}

TEST_F(Mp3infpReaderTest, TextsCrossInTheAnsiCodePageBothWays) {
  // "テスト" in Shift-JIS as a value; the file "曲.mp3" (8B C8) and the name "曲名" (8B C8 96 BC).
  const std::wstring path =
      writeMedia(L"\u66F2.mp3", "type=1\n\x8B\xC8\x96\xBC=\x83\x65\x83\x58\x83\x67\n");
  if (GetACP() == 932) {
    EXPECT_TRUE(reader->load(u16(path)));
    EXPECT_NE(std::string(log->lastPath).find("\\\x8B\xC8.mp3"), std::string::npos);
    EXPECT_EQ(reader->value(u"曲名"), u"テスト");
    EXPECT_EQ(std::string(log->lastName), "\x8B\xC8\x96\xBC");
  } else if (GetACP() == 1252) {
    // The same bytes read as windows-1252.
    reader->load(u16(writeMedia(L"sjis.mp3", "type=1\nINAM_v2=\x83\x65\x83\x58\x83\x67\n")));
    EXPECT_EQ(reader->value(u"INAM_v2"), u"\u0192e\u0192X\u0192g");
  } else {
    GTEST_SKIP() << "code page " << GetACP();
  }
}

TEST_F(Mp3infpReaderTest, UnmappableCharactersBecomeTheDefaultCharacterNotALookAlike) {
  CPINFO info{};
  ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
  const char defaultChar = static_cast<char>(info.DefaultChar[0]);
  // "a.mp3" exists; "ā.mp3" must not reach the reader as "a.mp3" (a look-alike would read the
  // wrong file's tags) but with the default character, which names no file.
  writeMedia(L"a.mp3", "type=1\nINAM_v1=Wrong file\n");
  const std::wstring path = folder.path() + L"\u0101.mp3";
  EXPECT_FALSE(reader->load(u16(path)));
  const std::string received(log->lastPath);
  EXPECT_EQ(received.substr(received.size() - 5), std::string(1, defaultChar) + ".mp3");
  EXPECT_EQ(reader->type(), 0);
  // A character outside the Basic Multilingual Plane (a surrogate pair) likewise.
  reader->load(u16(folder.path() + L"\U0001F3B5.mp3"));
  const std::string pair(log->lastPath);
  EXPECT_EQ(pair.substr(pair.size() - 5), std::string(1, defaultChar) + ".mp3");
}

TEST_F(Mp3infpReaderTest, FilesOfNoTypeOrRefusedAreReadByTheBuiltinReader) {
  std::wstring media = L"Z:";  // Wine maps the Unix root to drive Z:
  for (char c : std::string(SONAVID_TEST_DATA "/media/")) media.push_back(c == '/' ? L'\\' : c);
  const struct {
    const wchar_t* name;
    const wchar_t* fixture;  // copied from the media folder, else `lines` are written
    const char* lines;
    bool loads;
    int32_t type;
    const char16_t* field;
    const char16_t* value;
  } cases[] = {
      // The installed reader answers the files it knows.
      {L"song.mp3", nullptr, "type=1\nINAM_v1=Installed\n", true, 1, u"INAM_v1", u"Installed"},
      // It loads a FLAC file as of no type: the built-in reader answers.
      {L"曲.flac", L"flac-tagged.flac", nullptr, true, 11, u"INAM", u"ロスレスの曲"},
      // Neither knows it: still a loaded file of no type, with the installed reader's values.
      {L"notes.txt", nullptr, "type=0\nINAM=Installed\n", true, 0, u"INAM", u"Installed"},
      // A code of the installed reader's own above 9 is not taken for one of ours (11 FLAC).
      {L"other.bin", nullptr, "type=11\nINAM=Installed\n", true, 0, u"INAM", u"Installed"},
      // Refused by the installed reader, known to the built-in one.
      {L"refused.mkv", L"h264-aac.mkv", nullptr, true, 15, u"VFMT", u"H264, 64x48, 25.000fps"},
      // Recordings and raw AAC, which it predates, likewise; its own code 16 is not TS.
      {L"録画.m2ts", L"ac3-51.m2ts", nullptr, true, 16, u"AFMT", u"AC-3, 48000Hz, 6ch"},
      {L"radio.aac", L"plain.aac", nullptr, true, 18, u"TIME", u"0:05 (5sec)"},
      {L"other16.bin", nullptr, "type=16\nINAM=Installed\n", true, 0, u"INAM", u"Installed"},
      // Refused and unknown, or missing: a failed load, nothing left of the file before.
      {L"refused.txt", nullptr, "type=1\nINAM=Refused\n", false, 0, u"INAM", u""},
      {L"missing.flac", nullptr, nullptr, false, 0, u"INAM", u""},
  };
  InstalledReaderWithFallback combined(std::move(reader), std::make_unique<media::BuiltinReader>());
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name);
    const std::wstring path = folder.path() + c.name;
    if (c.fixture != nullptr) {
      ASSERT_TRUE(CopyFileW((media + c.fixture).c_str(), path.c_str(), FALSE));
    } else if (c.lines != nullptr) {
      writeBytes(path, c.lines);
    }
    EXPECT_EQ(combined.load(u16(path)), c.loads);
    EXPECT_EQ(combined.type(), c.type);
    EXPECT_EQ(combined.value(c.field), c.value);
    std::u16string copied = u"stale";
    combined.copyValue(c.field, copied);
    EXPECT_EQ(copied, c.value);
  }
}

TEST(Mp3infpReaderAbi, DoubleUsesTheStandardCallingConventionAndTheAdapterStaysBalanced) {
  const std::wstring path = doublesFolder(L"complete") + L"mp3infp.dll";
  HMODULE module = LoadLibraryW(path.c_str());
  ASSERT_NE(module, nullptr);
  // The double removes its own arguments, as the installed library does.
  const void* load = reinterpret_cast<const void*>(GetProcAddress(module, MAKEINTRESOURCEA(8)));
  const void* type = reinterpret_cast<const void*>(GetProcAddress(module, MAKEINTRESOURCEA(5)));
  const void* value = reinterpret_cast<const void*>(GetProcAddress(module, MAKEINTRESOURCEA(6)));
  char* slot = nullptr;
  const uint32_t loadArgs[] = {0, reinterpret_cast<uintptr_t>("Z:\\no such file")};
  const uint32_t valueArgs[] = {reinterpret_cast<uintptr_t>("TIME"),
                                reinterpret_cast<uintptr_t>(&slot)};
  EXPECT_EQ(bytesRemovedByCallee(load, loadArgs, 2), 8u);
  EXPECT_EQ(bytesRemovedByCallee(type, nullptr, 0), 0u);
  EXPECT_EQ(bytesRemovedByCallee(value, valueArgs, 2), 8u);
  // The adapter's calls leave the stack as they found it, over many calls.
  auto reader = Mp3infpReader::fromModule(module, u16(path));
  ASSERT_NE(reader, nullptr);
  TempFolder folder;
  writeBytes(folder.path() + L"a.mp3", "type=1\nTIME=1:00 (60sec)\n");
  static Mp3infpReader* shared = nullptr;
  static const std::u16string* file = nullptr;
  const std::u16string filePath = u16(folder.path() + L"a.mp3");
  shared = reader.get();
  file = &filePath;
  void (*manyCalls)() = [] {
    for (int i = 0; i < 100; ++i) {
      shared->load(*file);
      shared->type();
      shared->value(u"TIME");
    }
  };
  EXPECT_EQ(bytesRemovedByCallee(reinterpret_cast<const void*>(manyCalls), nullptr, 0), 0u);
  EXPECT_EQ(reader->value(u"TIME"), u"1:00 (60sec)");
}

}  // namespace
}  // namespace sonavid::test
