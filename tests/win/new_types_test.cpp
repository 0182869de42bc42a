// FLAC, AIFF, WavPack, DSF, Matroska, MPEG transport and program streams and raw AAC through
// the real DLL: names, values and user items of their pages, and data files written before these
// pages existed.
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

std::u16string fromUtf16le(const std::string& bytes) {
  std::u16string text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return text;
}

// The data file's text without one section (its header up to the next section or the end).
std::u16string withoutSection(const std::u16string& text, std::u16string_view name) {
  const std::u16string header = u"[" + std::u16string(name) + u"]";
  const size_t start = text.find(header);
  if (start == std::u16string::npos) return text;
  const size_t next = text.find(u"\r\n[", start);
  return text.substr(0, start) + (next == std::u16string::npos ? u"" : text.substr(next + 2));
}

class NewTypesThroughDll : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(plugin_.entry(), nullptr); }
  void TearDown() override { finalise(); }

  void initialise() {
    const PluginInitRecord record{nullptr, reinterpret_cast<const char16_t*>(ini_.c_str()),
                                  u"mac_Sonavid"};
    plugin_.descriptor().macInitialize(&record);
    initialised_ = true;
  }
  void finalise() {
    if (initialised_) plugin_.descriptor().macFinalize();
    initialised_ = false;
  }

  // One file's macro, loading it first (a new file number after a reset each time).
  std::u16string expand(int32_t macro, const char16_t* parameters, const wchar_t* file) {
    plugin_.descriptor().macExecute(nullptr);
    const std::wstring folder = mediaFolder();
    ExecuteRequest request{};
    request.macroIndex = macro;
    request.parameterText = parameters;
    request.directory = reinterpret_cast<const char16_t*>(folder.c_str());
    request.fileName = reinterpret_cast<const char16_t*>(file);
    request.callNumber = 1;
    const char16_t* result = plugin_.descriptor().macExecute(&request);
    return result ? std::u16string(result) : u"(null)";
  }

  // Opens the setup dialog, adds a row to `page`, saves that page and cancels.
  void addRowAndSave(int page) { addRowAndSaveInSetup(plugin_, page); }

  LoadedPlugin plugin_;
  TempFolder folder_;
  std::wstring ini_ = folder_.path() + L"host.ini";
  std::wstring data_ = folder_.path() + L"mac_Sonavid.dat";
  bool initialised_ = false;
};

TEST_F(NewTypesThroughDll, EachFileGivesItsNameTimeFormatsAndATag) {
  initialise();
  const struct {
    const wchar_t* file;
    const char16_t* name;  // macro 0, upper case
    const char16_t* type;  // macro 1's explicit type
    const char16_t* time;
    const char16_t* audio;
    const char16_t* video;  // nullptr: not asked
    const char16_t* tag;    // "CODE=value"; nullptr: the type has no tags
  } cases[] = {
      {L"flac-tagged.flac", u"FLAC", u"FLAC", u"0'02 (2sec)", u"FLAC, 16bit, 44100Hz, 2ch, 9Kbps",
       nullptr, u"INAM=ロスレスの曲"},
      {L"aiff-16bit.aiff", u"AIFF", u"AIFF", u"0'02 (2sec)",
       u"AIFF PCM, 16bit, 8000Hz, 1ch, 128Kbps", nullptr, u"ICOP=(C) Sonavid"},
      {L"wv-lossless.wv", u"WV", u"WV", u"0'02 (2sec)",
       u"WavPack lossless, 16bit, 44100Hz, 2ch, 12Kbps", nullptr, u"IART=WavPack Artist"},
      {L"dsf-dsd64.dsf", u"DSF", u"DSF", u"0'01 (1sec)", u"DSD64, 1bit, 2822400Hz, 2ch, 5644Kbps",
       nullptr, u"IPRD=DSD Album"},
      {L"h264-aac.mkv", u"MKV", u"MKV", u"00'00'02 (2sec)", u"AAC, 48000Hz, 2ch",
       u"H264, 64x48, 25.000fps", u"INAM=H264 Title"},
      {L"album.mka", u"MKA", u"MKV", u"00'00'03 (3sec)", u"Opus, 48000Hz, 1ch", u"",
       u"IPRD=アルバム"},
      {L"vp9-opus.webm", u"WEBM", u"MKV", u"00'00'02 (2sec)", u"Opus, 48000Hz, 2ch",
       u"VP9, 64x48, 15.000fps", u"INAM=WebM Title"},
      {L"h264-aac.ts", u"TS", u"TS", u"00'00'03 (3sec)", u"AAC, 48000Hz, 2ch",
       u"H264, 176x100, 29.970fps", nullptr},
      {L"ac3-51.m2ts", u"M2TS", u"TS", u"00'00'02 (2sec)", u"AC-3, 48000Hz, 6ch",
       u"H264, 176x144, 25.000fps", nullptr},
      {L"vcd.mpg", u"MPG", u"MPG", u"00'00'02 (2sec)", u"MP2, 44100Hz, 2ch",
       u"MPEG-1, 352x240, 29.970fps", nullptr},
      {L"dvd.vob", u"VOB", u"MPG", u"00'00'01 (1sec)", u"AC-3, 48000Hz, 2ch",
       u"MPEG-2, 352x240, 29.970fps", nullptr},
      {L"id3v2.aac", u"AAC", u"AAC", u"0'04 (4sec)", u"AAC LC, 22050Hz, 1ch, 49Kbps", nullptr,
       u"IART=ADTS Artist"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file);
    const std::u16string type(c.type);
    std::u16string lower(c.name);
    for (char16_t& ch : lower) ch = static_cast<char16_t>(ch >= u'A' && ch <= u'Z' ? ch + 32 : ch);
    EXPECT_EQ(expand(0, u"", c.file), c.name);
    EXPECT_EQ(expand(0, u"1", c.file), lower);
    EXPECT_EQ(expand(1, (type + u",TIME").c_str(), c.file), c.time);
    EXPECT_EQ(expand(1, u"", c.file), c.time);  // automatic type, "TIME"
    EXPECT_EQ(expand(1, u",AFMT", c.file), c.audio);
    if (c.video != nullptr) {
      EXPECT_EQ(expand(1, (type + u",VFMT").c_str(), c.file), c.video);
    }
    if (c.tag != nullptr) {
      const std::u16string tag(c.tag);
      const size_t equals = tag.find(u'=');
      EXPECT_EQ(expand(1, (type + u"," + tag.substr(0, equals)).c_str(), c.file),
                tag.substr(equals + 1));
    }
    // Another type's name does not answer for this file.
    EXPECT_EQ(expand(1, u"MP3,TIME", c.file), u"");
  }
}

// The common field codes answer for every type, with the automatic type and with the file's
// own: album facts from the tags, and the length and resolution in one shape for all types.
// A file without the fact gives an empty text.
TEST_F(NewTypesThroughDll, CommonFieldsAnswerForEveryType) {
  initialise();
  const struct {
    const wchar_t* file;
    const char16_t* type;
    const char16_t* code;
    const char16_t* value;
  } cases[] = {
      {L"album-id3v24.mp3", u"MP3", u"AART", u"Album Artist"},
      {L"album-id3v23-ape.mp3", u"MP3", u"TRACK00", u"007"},
      {L"album.m4a", u"MP4", u"TRACK00", u"003"},
      {L"album.flac", u"FLAC", u"YEAR", u"2019"},
      {L"album.wma", u"WMA", u"YEAR", u"2016"},
      {L"album-parts.mka", u"MKV", u"AART", u"MKA Album Artist"},
      {L"album-id3.wav", u"WAV", u"TRACK00", u"04"},
      {L"h264-aac.mkv", u"MKV", u"TRACK00", u""},
      {L"mp3-cbr-info.mp3", u"MP3", u"LENGTH", u"0'05"},
      {L"flac-tagged.flac", u"FLAC", u"LENGTH", u"0'02"},
      {L"tone.ogg", u"OGG", u"LENGTH", u"0'03"},
      {L"tone.wma", u"WMA", u"LENGTH", u"0'03"},
      {L"mp3-cbr-info.mp3", u"MP3", u"RES", u""},
      {L"avi-xvid-mp3.avi", u"AVI", u"RES", u"120p"},
      {L"clip.mp4", u"MP4", u"RES", u"120p"},
      {L"clip.wmv", u"WMA", u"RES", u"120p"},
      {L"h264-aac.mkv", u"MKV", u"RES", u"48p"},
      {L"video.ogv", u"OGG", u"RES", u"72p"},
      {L"interlaced.mkv", u"MKV", u"RES", u"576i"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file);
    const std::u16string code(c.code);
    EXPECT_EQ(expand(1, (u"," + code).c_str(), c.file), c.value);
    EXPECT_EQ(expand(1, (std::u16string(c.type) + u"," + code).c_str(), c.file), c.value);
  }
}

// A TV recording is named by its program: the Japanese texts of the broadcast's own tables
// reach the host whole.
TEST_F(NewTypesThroughDll, RecordingsGiveTheirProgramChannelDateAndStart) {
  initialise();
  const struct {
    const wchar_t* file;
    const char16_t* parameters;
    const char16_t* expected;
  } cases[] = {
      {L"broadcast-isdb-present.ts", u"TS,INAM", u"🅊番組Ｎｏ．１のなまえ🈑"},
      {L"broadcast-isdb-present.ts", u"TS,CHANNEL", u"ＳＮＶ総合テレビ"},
      {L"broadcast-isdb-present.ts", u"TS,ICRD", u"2026-12-07"},
      {L"broadcast-isdb-present.ts", u"TS,START", u"2100"},
      {L"broadcast-isdb-schedule.m2ts", u"TS,INAM", u"年越しＬＩＶＥ"},
      {L"broadcast-isdb-present.ts", u",CHANNEL", u"ＳＮＶ総合テレビ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file);
    EXPECT_EQ(expand(1, c.parameters, c.file), c.expected);
  }
}

TEST_F(NewTypesThroughDll, UserItemsOfTheNewPagesApplyWithTheirTypeName) {
  writeBytes(data_, utf16le(u"[Version]\r\nNo=52\r\n"
                            u"[FLAC]\r\nCount=1\r\nI1=TIME_x\r\nD1=秒なし\r\nR1=s/ \\(.*$//\r\n"
                            u"[MKV]\r\nCount=1\r\nI1=AFMT_ch\r\nD1=\r\nR1=s/^.*, //\r\n"));
  initialise();
  const struct {
    const wchar_t* file;
    const char16_t* parameters;
    const char16_t* expected;
  } cases[] = {
      {L"flac-tagged.flac", u"FLAC,TIME_x", u"0'02"},
      // The MKV page's items serve MKA and WebM files as well.
      {L"h264-aac.mkv", u"MKV,AFMT_ch", u"2ch"},
      {L"album.mka", u"MKV,AFMT_ch", u"1ch"},
      {L"vp9-opus.webm", u"MKV,AFMT_ch", u"2ch"},
      // A page without that item gives the base value; an automatic type cuts no prefix, and
      // the reader has no field of that name.
      {L"aiff-16bit.aiff", u"AIFF,TIME_x", u"0'02 (2sec)"},
      {L"flac-tagged.flac", u",TIME_x", u""},
      // The item of another type's page does not apply.
      {L"wv-lossless.wv", u"FLAC,TIME_x", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file << " case " << (&c - cases));
    EXPECT_EQ(expand(1, c.parameters, c.file), c.expected);
  }
}

TEST_F(NewTypesThroughDll, OlderDataFileLoadsAndSavingANewPageLeavesTheRestAsItWas) {
  // As an earlier version wrote it, before the new pages: their sections are missing, and
  // the host file has no "Clm" keys for them.
  const std::u16string older =
      u"[Version]\r\nNo=52\r\n\r\n"
      u"[MP3]\r\nCount=1\r\nI1=TIME_x\r\nD1=分だけ\r\nR1=s/'.*$//\r\n\r\n"
      u"[WAV]\r\nCount=0\r\n\r\n"
      u"[MP4]\r\nCount=1\r\nI1=VFMT_v\r\nD1=\r\nR1=s/,.*//\r\n\r\n";
  writeBytes(data_, utf16le(older));
  writeBytes(ini_, utf16le(u"[mac_Sonavid]\r\nClmMP3-0=77\r\n"));
  initialise();
  EXPECT_EQ(expand(1, u"MP3,TIME_x", L"mp3-cbr-info.mp3"), u"0");
  EXPECT_EQ(expand(1, u"FLAC,TIME_x", L"flac-tagged.flac"), u"0'02 (2sec)");

  // An added row without a suffix is not kept: the FLAC page is saved empty.
  addRowAndSave(8);
  finalise();
  const std::u16string saved = fromUtf16le(readBytes(data_));
  EXPECT_EQ(withoutSection(saved, u"FLAC"), older);
  const IniForm data = IniForm::load(reinterpret_cast<const char16_t*>(data_.c_str()));
  EXPECT_EQ(data.readInt(u"FLAC", u"Count", -1), 0);
  const IniForm host = IniForm::load(reinterpret_cast<const char16_t*>(ini_.c_str()));
  EXPECT_EQ(host.readInt(u"mac_Sonavid", u"ClmMP3-0", 0), 77);
  EXPECT_EQ(host.readInt(u"mac_Sonavid", u"ClmFLAC-0", 0), 50);
  EXPECT_EQ(host.readInt(u"mac_Sonavid", u"ClmMKV-3", 0), 200);
}

TEST_F(NewTypesThroughDll, SavingTheTsPageLeavesAnOlderDataFileAsItWas) {
  const std::u16string older =
      u"[Version]\r\nNo=52\r\n\r\n"
      u"[MP3]\r\nCount=1\r\nI1=TIME_x\r\nD1=分だけ\r\nR1=s/'.*$//\r\n\r\n"
      u"[MKV]\r\nCount=1\r\nI1=AFMT_ch\r\nD1=\r\nR1=s/^.*, //\r\n\r\n";
  writeBytes(data_, utf16le(older));
  initialise();
  EXPECT_EQ(expand(1, u"TS,VFMT", L"h264-aac.ts"), u"H264, 176x100, 29.970fps");
  addRowAndSave(13);
  finalise();
  EXPECT_EQ(withoutSection(fromUtf16le(readBytes(data_)), u"TS"), older);
  const IniForm data = IniForm::load(reinterpret_cast<const char16_t*>(data_.c_str()));
  EXPECT_EQ(data.readInt(u"TS", u"Count", -1), 0);
  const IniForm host = IniForm::load(reinterpret_cast<const char16_t*>(ini_.c_str()));
  EXPECT_EQ(host.readInt(u"mac_Sonavid", u"ClmTS-0", 0), 50);
  EXPECT_EQ(host.readInt(u"mac_Sonavid", u"ClmAAC-3", 0), 200);
}

}  // namespace
}  // namespace sonavid::test
