// macExecute through the real DLL with real media files, as a host calls it.
#include <gtest/gtest.h>

#include "engine/execute_request.h"
#include "win/plugin_fixture.h"

namespace sonavid::test {
namespace {

std::wstring mediaFolder() {
  const std::string unixPath = SONAVID_TEST_DATA "/media";
  // Wine maps the Unix root to drive Z:.
  std::wstring path = L"Z:";
  for (char c : unixPath) path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
  return path;
}

class ExecuteThroughDll : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(plugin_.entry(), nullptr);
    ini_ = folder_.path() + L"host.ini";
    PluginInitRecord record{nullptr, reinterpret_cast<const char16_t*>(ini_.c_str()), u"mac_Sonavid"};
    plugin_.descriptor().macInitialize(&record);
  }
  void TearDown() override { plugin_.descriptor().macFinalize(); }

  std::u16string expand(int32_t macro, const char16_t* parameters, const std::wstring& folder,
                        const std::wstring& name, int32_t fileNumber, int32_t callNumber) {
    ExecuteRequest request{};
    request.macroIndex = macro;
    request.parameterText = parameters;
    request.directory = reinterpret_cast<const char16_t*>(folder.c_str());
    request.fileName = reinterpret_cast<const char16_t*>(name.c_str());
    request.fileNumber = fileNumber;
    request.callNumber = callNumber;
    const char16_t* result = plugin_.descriptor().macExecute(&request);
    EXPECT_NE(result, nullptr);
    return result ? std::u16string(result) : u"(null)";
  }

  LoadedPlugin plugin_;
  TempFolder folder_;
  std::wstring ini_;
};

TEST_F(ExecuteThroughDll, ExpandsBothMacrosForRealFiles) {
  const MacExecuteFn execute = plugin_.descriptor().macExecute;
  const char16_t* reset = execute(nullptr);
  ASSERT_NE(reset, nullptr);
  EXPECT_EQ(*reset, u'\0');
  EXPECT_EQ(expand(0, u"", mediaFolder(), L"mp3-id3v23-utf16.mp3", 0, 1), u"MP3");
  EXPECT_EQ(expand(1, u"MP3,INAM_v2", mediaFolder(), L"mp3-id3v23-utf16.mp3", 0, 2), u"日本語のタイトル");
  EXPECT_EQ(expand(0, u"1", mediaFolder(), L"clip.wmv", 1, 1), u"wmv");
  EXPECT_EQ(expand(1, u"", mediaFolder(), L"tone.wma", 2, 1), u"00'00'03 (3sec)");
}

TEST_F(ExecuteThroughDll, HarmlessAnswersForOddRequests) {
  plugin_.descriptor().macExecute(nullptr);
  // Null text pointers read as empty texts: the folder "" makes the path "\" + name.
  ExecuteRequest request{};
  request.macroIndex = 0;
  request.callNumber = 1;
  const char16_t* result = plugin_.descriptor().macExecute(&request);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(*result, u'\0');
  // The skip flag answers at once; a missing file gives the empty text.
  request.skipFlag = 1;
  result = plugin_.descriptor().macExecute(&request);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(*result, u'\0');
  EXPECT_EQ(expand(1, u",AFMT", L"C:\\no such folder", L"none.mp3", 1, 1), u"");
  EXPECT_EQ(expand(0, u"0,1", mediaFolder(), L"expected-mpeg-riff.tsv", 2, 1), u"tsv");
}

TEST_F(ExecuteThroughDll, FileNamesOutsideTheAnsiCodePageLoad) {
  const std::wstring name = L"\U0001F3B5 曲.mp3";
  ASSERT_TRUE(CopyFileW((mediaFolder() + L"\\mp3-sjis.mp3").c_str(), (folder_.path() + name).c_str(), FALSE));
  plugin_.descriptor().macExecute(nullptr);
  EXPECT_EQ(expand(0, u"", folder_.path(), name, 0, 1), u"MP3");
  EXPECT_EQ(expand(1, u"", folder_.path(), name, 0, 2), u"0'05 (5sec)");
}

}  // namespace
}  // namespace sonavid::test
