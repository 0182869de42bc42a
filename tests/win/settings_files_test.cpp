// The settings files as the real DLL leaves them: hand-made host files, file attributes, the
// host's section name and the data file of a first save.
#include <gtest/gtest.h>


#include "engine/execute_request.h"
#include "settings/ini_form.h"
#include "win/plugin_fixture.h"

namespace sonavid::test {
namespace {

std::wstring mediaFolder() {
  std::wstring path = L"Z:";  // Wine maps the Unix root to drive Z:
  for (char c : std::string(SONAVID_TEST_DATA "/media")) path.push_back(c == '/' ? L'\\' : c);
  return path;
}

class SettingsFiles : public ::testing::Test {
 protected:
  void initialise(const char16_t* section = u"mac_Sonavid") {
    ASSERT_NE(plugin_.entry(), nullptr);
    PluginInitRecord record{nullptr, reinterpret_cast<const char16_t*>(ini_.c_str()), section};
    plugin_.descriptor().macInitialize(&record);
  }
  void finalise() { plugin_.descriptor().macFinalize(); }
  // One plug-in run: initialise, then finalise (which writes Def11 and Def12 back).
  void run(const char16_t* section = u"mac_Sonavid") {
    initialise(section);
    finalise();
  }
  std::u16string mediaType(const wchar_t* file) {
    plugin_.descriptor().macExecute(nullptr);
    const std::wstring folder = mediaFolder();
    ExecuteRequest request{};
    request.parameterText = u"";
    request.directory = reinterpret_cast<const char16_t*>(folder.c_str());
    request.fileName = reinterpret_cast<const char16_t*>(file);
    request.callNumber = 1;
    const char16_t* result = plugin_.descriptor().macExecute(&request);
    return result ? std::u16string(result) : u"(null)";
  }
  // Opens the setup dialog, adds a row to the MP3 page, saves the page and cancels.
  void saveFromSetupDialog() { addRowAndSaveInSetup(plugin_, 0); }

  LoadedPlugin plugin_;
  TempFolder folder_;
  std::wstring ini_ = folder_.path() + L"host.ini";
  std::wstring data_ = folder_.path() + L"mac_Sonavid.dat";
};

TEST_F(SettingsFiles, AnsiHostFileWithStrayNulBytesKeepsItsKeysAndSections) {
  using namespace std::string_literals;
  for (const std::string& ansi :
       {"[Host]\r\nWindow=1\r\n[mac_Sonavid]\r\nDef01=1\r\n\0"s,
        "; \0note\r\n[Host]\r\nWindow=1\r\n[mac_Sonavid]\r\nDef01=1\r\n\0\0"s}) {
    writeBytes(ini_, ansi);
    initialise();
    EXPECT_EQ(mediaType(L"mp3-id3v23-utf16.mp3"), u"mp3");  // Def01=1: lower case
    finalise();
    EXPECT_EQ(readBytes(ini_), utf16le(u"[Host]\r\nWindow=1\r\n\r\n"
                                       u"[mac_Sonavid]\r\nDef01=1\r\nDef11=0\r\nDef12=0\r\n\r\n"));
  }
}

TEST_F(SettingsFiles, ReadOnlyHostFileIsNotWrittenAndOtherAttributesStay) {
  const std::string before = utf16le(u"[mac_Sonavid]\r\nDef11=5\r\n");
  const struct {
    DWORD attributes;
    bool written;
  } cases[] = {{FILE_ATTRIBUTE_READONLY, false}, {FILE_ATTRIBUTE_HIDDEN, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.attributes);
    SetFileAttributesW(ini_.c_str(), FILE_ATTRIBUTE_NORMAL);
    writeBytes(ini_, before);
    ASSERT_TRUE(SetFileAttributesW(ini_.c_str(), c.attributes));
    run();
    EXPECT_EQ(readBytes(ini_) == before, !c.written);
    EXPECT_EQ(GetFileAttributesW(ini_.c_str()) & c.attributes, c.attributes);
    EXPECT_EQ(GetFileAttributesW((ini_ + L".tmp~").c_str()), INVALID_FILE_ATTRIBUTES);
  }
  SetFileAttributesW(ini_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SettingsFiles, SectionNameWithTrailingBlankUsesTheOneSection) {
  writeBytes(ini_, utf16le(u"[mac_Sonavid]\r\nDef11=7\r\n"));
  run(u"mac_Sonavid ");
  run(u" mac_Sonavid\t");
  EXPECT_EQ(readBytes(ini_), utf16le(u"[mac_Sonavid]\r\nDef11=7\r\nDef12=0\r\n\r\n"));
}

TEST_F(SettingsFiles, FirstSaveGivesTheDataFileAVersionSoAShippedFileCannotReplaceIt) {
  const struct {
    const char* start;
    std::string data;  // empty: no data file yet
  } cases[] = {
      {"no data file", ""},
      {"unversioned data file", "[MP3]\r\nCount=1\r\nI1=TIME_mine\r\nD1=d\r\nR1=s/a/b/\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    DeleteFileW(data_.c_str());
    if (!c.data.empty()) writeBytes(data_, c.data);
    initialise();
    saveFromSetupDialog();
    finalise();
    EXPECT_EQ(IniForm::load(reinterpret_cast<const char16_t*>(data_.c_str())).readInt(u"Version", u"No", 0), 52);

    // An installer places a shipped file later: the saved file stays.
    const std::string saved = readBytes(data_);
    writeBytes(data_ + L".___", utf16le(u"[Version]\r\nNo=52\r\n[MP3]\r\nCount=0\r\n"));
    run();
    EXPECT_EQ(readBytes(data_), saved);
    EXPECT_EQ(GetFileAttributesW((data_ + L".___").c_str()), INVALID_FILE_ATTRIBUTES);
  }
}

}  // namespace
}  // namespace sonavid::test
