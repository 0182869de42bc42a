#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/platform_posix.h"
#include "common/faulty_platform.h"
#include "common/text.h"
#include "settings/utf16_bytes.h"

namespace sonavid {
namespace {

// The system platform with renames that always fail (a locked or read-only folder).
class FailingRenames : public PosixPlatform {
 public:
  FailingRenames() : PosixPlatform("CP932") {}
  bool renameFile(std::u16string_view, std::u16string_view) const override { return false; }
};

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/sonavid-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    setPlatform(&cp932_);
    state_.hostIniPath = utf8ToUtf16(dir_ + "/host.ini");
    state_.hostSection = u"Sonavid";
    state_.dataFilePath = dataFilePathFor(state_.hostIniPath);
  }
  void TearDown() override {
    setPlatform(nullptr);
    std::filesystem::remove_all(dir_);
  }

  void writeFile(const std::string& name, std::string_view bytes) const {
    std::ofstream(dir_ + "/" + name, std::ios::binary).write(bytes.data(), bytes.size());
  }
  std::string readFile(const std::string& name) const {
    std::ifstream in(dir_ + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::vector<std::string> filesInDir() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  static constexpr const char* kData = "mac_Sonavid.dat";
  static constexpr const char* kShipped = "mac_Sonavid.dat.___";

  PosixPlatform cp932_{"CP932"};
  std::string dir_;
  PluginSettings state_;
};

// ---- Host keys -------------------------------------------------------------------------------

TEST_F(SettingsStoreTest, HostValuesAreReadAsIntegersWithZeroDefault) {
  writeFile("host.ini", utf16le(u"[sonavid]\r\nDef01=0x10\r\nDef02=abc\r\nDEF11=-3\r\n"));
  state_.def12 = 77;
  loadHostValues(state_);
  EXPECT_EQ(state_.def01, 16);
  EXPECT_EQ(state_.def02, 0);
  EXPECT_EQ(state_.def11, -3);
  EXPECT_EQ(state_.def12, 0);
}

TEST_F(SettingsStoreTest, SavingHostValuesKeepsTheRestOfTheHostFile) {
  writeFile("host.ini", utf16le(u"; host comment\r\n[Host]\r\nA=1\r\n\r\n[Sonavid]\r\nZ=z\r\n"
                                u"Def12=9\r\n; mine\r\nq=r\r\n\r\n[Last]\r\nB=2\r\n"));
  state_.def11 = 4;
  state_.def12 = -5;
  saveHostValues(state_);
  EXPECT_EQ(readFile("host.ini"),
            utf16le(u"[Host]\r\nA=1\r\n\r\n[Sonavid]\r\nZ=z\r\nDef12=-5\r\nq=r\r\nDef11=4\r\n\r\n"
                    u"[Last]\r\nB=2\r\n\r\n"));
}

TEST_F(SettingsStoreTest, SetupWindowKeysHaveDefaultsAndRoundTripInTableOrder) {
  const SetupWindowSettings defaults = readSetupWindowSettings(state_);
  EXPECT_EQ(defaults.height, 360);
  EXPECT_EQ(defaults.width, 460);
  EXPECT_EQ(defaults.columnWidths[7], (std::array<int32_t, 4>{50, 50, 120, 200}));
  EXPECT_EQ(defaults.sampleDir, u"");

  SetupWindowSettings changed = defaults;
  changed.height = 500;
  changed.columnWidths[0][0] = 11;
  changed.columnWidths[7][3] = 333;
  changed.sampleDir = u"C:\\音楽\\";
  writeSetupWindowSettings(state_, changed);
  const SetupWindowSettings reread = readSetupWindowSettings(state_);
  EXPECT_EQ(reread.height, 500);
  EXPECT_EQ(reread.columnWidths, changed.columnWidths);
  EXPECT_EQ(reread.sampleDir, changed.sampleDir);

  // Written in the table's order: size, the column widths by type, the sample folder.
  const std::string bytes = readFile("host.ini");
  const auto at = [&](std::u16string_view line) { return bytes.find(utf16le(line).substr(2)); };
  EXPECT_LT(at(u"Width=460"), at(u"ClmMP3-0=11"));
  EXPECT_LT(at(u"ClmMP3-0=11"), at(u"ClmMP4-3=333"));
  EXPECT_LT(at(u"ClmMP4-3=333"), at(u"SampleDir="));
  EXPECT_NE(at(u"SampleDir="), std::string::npos);

  EXPECT_EQ(columnWidthKey(0, 0), u"ClmMP3-0");
  EXPECT_EQ(columnWidthKey(5, 2), u"ClmOGG-2");
  EXPECT_EQ(columnWidthKey(12, 3), u"ClmMKV-3");
  EXPECT_EQ(columnWidthKey(kMediaTypeCount, 0), u"");
  EXPECT_EQ(columnWidthKey(0, 4), u"");
}

TEST_F(SettingsStoreTest, MediaTypeDialogKeys) {
  EXPECT_FALSE(readOmitDefaults(state_));
  writeOmitDefaults(state_, true);
  EXPECT_TRUE(readOmitDefaults(state_));
  state_.def01 = 1;
  state_.def02 = 2;
  saveMediaTypeDefaults(state_);
  EXPECT_EQ(readFile("host.ini"), utf16le(u"[Sonavid]\r\nDef00=1\r\nDef01=1\r\nDef02=2\r\n\r\n"));
  writeOmitDefaults(state_, false);
  EXPECT_FALSE(readOmitDefaults(state_));
}

TEST_F(SettingsStoreTest, DataFilePathIsBesideTheHostFile) {
  EXPECT_EQ(dataFilePathFor(u"C:\\Host\\host.ini"), u"C:\\Host\\mac_Sonavid.dat");
  EXPECT_EQ(dataFilePathFor(u"/a/b/host.ini"), u"/a/b/mac_Sonavid.dat");
  EXPECT_EQ(dataFilePathFor(u"host.ini"), u"mac_Sonavid.dat");
}

// ---- Start-up migration ------------------------------------------------------------------

// A version 51 data file in Shift-JIS with one MP3 item.
const std::string kAnsiVersion51 =
    "[Version]\r\nNo=51\r\n; note\r\n[MP3]\r\nCount=1\r\nI1=TIME_abc\r\n"
    "D1=\x83\x65\x83\x58\x83\x67\r\nR1=s/a/b/\r\n";

TEST_F(SettingsStoreTest, Version51AnsiFileIsConvertedAndStampedWhereverItStarts) {
  // As the data file, or as the shipped file on a first start: either way the result is the
  // data file alone, in UTF-16LE with FF FE and stamped 52.
  for (const char* start : {kData, kShipped}) {
    writeFile(start, kAnsiVersion51);
    migrateAndLoadDataFile(state_);
    EXPECT_EQ(filesInDir(), std::vector<std::string>{kData});
    EXPECT_EQ(readFile(kData), utf16le(u"[Version]\r\nNo=52\r\n\r\n[MP3]\r\nCount=1\r\n"
                                       u"I1=TIME_abc\r\nD1=テスト\r\nR1=s/a/b/\r\n\r\n"));
    EXPECT_EQ(state_.itemLists[0], (ItemList{u"TIME_abc", u"テスト", u"s/a/b/"}));
    std::filesystem::remove(dir_ + "/" + kData);
  }
}

TEST_F(SettingsStoreTest, CurrentOrUnversionedFilesAreLeftUntouched) {
  // A current shipped file is only moved into place.
  const std::string current = utf16le(u"; kept\r\n[Version]\r\nNo=52\r\n[WAV]\r\nCount=0\r\n");
  writeFile(kShipped, current);
  migrateAndLoadDataFile(state_);
  EXPECT_EQ(filesInDir(), std::vector<std::string>{kData});
  EXPECT_EQ(readFile(kData), current);

  // An unversioned file without a shipped one counts as current and is not rewritten.
  const std::string old = "; old file\r\n[OGG]\r\nCount=1\r\nI1=TIME_x\r\nD1=d\r\nR1=r\r\n";
  writeFile(kData, old);
  migrateAndLoadDataFile(state_);
  EXPECT_EQ(readFile(kData), old);
  EXPECT_EQ(state_.itemLists[5], (ItemList{u"TIME_x", u"d", u"r"}));
}

TEST_F(SettingsStoreTest, LeftoverShippedFileIsDeletedUnread) {
  const std::string current = utf16le(u"[Version]\r\nNo=52\r\n");
  writeFile(kData, current);
  writeFile(kShipped, "[Version]\r\nNo=52\r\n[MP3]\r\nCount=1\r\nI1=TIME_s\r\nD1=d\r\nR1=r\r\n");
  migrateAndLoadDataFile(state_);
  EXPECT_EQ(filesInDir(), std::vector<std::string>{kData});
  EXPECT_EQ(readFile(kData), current);
  EXPECT_TRUE(state_.itemLists[0].empty());
}

TEST_F(SettingsStoreTest, NothingIsCreatedWhenNeitherFileExists) {
  state_.itemLists[2] = {u"stale", u"", u""};
  migrateAndLoadDataFile(state_);
  EXPECT_TRUE(filesInDir().empty());
  for (const ItemList& list : state_.itemLists) EXPECT_TRUE(list.empty());
}

TEST_F(SettingsStoreTest, OldFileIsReplacedByTheShippedOne) {
  writeFile(kData, "[Version]\r\nNo=49\r\n[MP3]\r\nCount=1\r\nI1=TIME_old\r\nD1=d\r\nR1=r\r\n");
  writeFile(kShipped, "[Version]\r\nNo=50\r\n[APE]\r\nCount=1\r\nI1=AFMT_new\r\nD1=d\r\nR1=r\r\n");
  migrateAndLoadDataFile(state_);
  EXPECT_EQ(filesInDir(), std::vector<std::string>{kData});
  EXPECT_EQ(readFile(kData),
            utf16le(u"[Version]\r\nNo=52\r\n\r\n[APE]\r\nCount=1\r\nI1=AFMT_new\r\n"
                    u"D1=d\r\nR1=r\r\n\r\n"));
  EXPECT_TRUE(state_.itemLists[0].empty());
  EXPECT_EQ(state_.itemLists[6], (ItemList{u"AFMT_new", u"d", u"r"}));
}

TEST_F(SettingsStoreTest, ShippedFileSurvivesWhenItCannotBeMovedIntoPlace) {
  FailingRenames locked;
  setPlatform(&locked);
  writeFile(kShipped, kAnsiVersion51);
  migrateAndLoadDataFile(state_);
  // No data file could be made; the shipped one is kept for the next start.
  EXPECT_EQ(filesInDir(), std::vector<std::string>{kShipped});
  EXPECT_EQ(readFile(kShipped), kAnsiVersion51);
}

TEST_F(SettingsStoreTest, ItemCountsAreBoundedByWhatTheFileSays) {
  writeFile(kData, utf16le(u"[Version]\r\nNo=52\r\n"
                           u"[MP3]\r\nCount=2\r\nI1=TIME_a\r\n"
                           u"[WAV]\r\nCount=-1\r\nI1=TIME_a\r\n"
                           u"[AVI]\r\nCount=x\r\nI1=TIME_a\r\n"
                           u"[VQF]\r\nCount=2147483647\r\n"
                           u"[wma]\r\ncount=0x1\r\ni1=VFMT_v\r\nD1=d\r\nr1=r\r\n"));
  migrateAndLoadDataFile(state_);
  EXPECT_EQ(state_.itemLists[0], (ItemList{u"TIME_a", u"", u"", u"", u"", u""}));
  EXPECT_TRUE(state_.itemLists[1].empty());
  EXPECT_TRUE(state_.itemLists[2].empty());
  EXPECT_EQ(state_.itemLists[3].size(), static_cast<size_t>(kMaxItemsPerType) * 3);
  EXPECT_EQ(state_.itemLists[4], (ItemList{u"VFMT_v", u"d", u"r"}));
}

// ---- Saving item lists ---------------------------------------------------------------------

TEST_F(SettingsStoreTest, SavingRewritesOnlyTheChosenSections) {
  writeFile(kData, utf16le(u"[Version]\r\nNo=52\r\n\r\n[MP3]\r\nCount=1\r\nI1=TIME_o\r\n"
                           u"D1=d\r\nR1=r\r\n\r\n[WAV]\r\nCount=1\r\nI1=TIME_w\r\nD1=d\r\n"
                           u"R1=r\r\n\r\n"));
  saveItemLists(state_, {{0, {u"TIME_a", u"first", u"s/1/2/", u"AFMT_c", u"third", u"s/3/4/"}},
                         {kMediaTypeCount, {u"TIME_z", u"ignored", u"s/z/z/"}}});
  EXPECT_EQ(state_.itemLists[0],
            (ItemList{u"TIME_a", u"first", u"s/1/2/", u"AFMT_c", u"third", u"s/3/4/"}));
  EXPECT_EQ(readFile(kData),
            utf16le(u"[Version]\r\nNo=52\r\n\r\n[WAV]\r\nCount=1\r\nI1=TIME_w\r\nD1=d\r\n"
                    u"R1=r\r\n\r\n[MP3]\r\nCount=2\r\nI1=TIME_a\r\nD1=first\r\nR1=s/1/2/\r\n"
                    u"I2=AFMT_c\r\nD2=third\r\nR2=s/3/4/\r\n\r\n"));
}

TEST_F(SettingsStoreTest, EmptyListSavesCountZeroIntoAVersionedNewFile) {
  state_.itemLists[7] = {u"TIME_q", u"d", u"r"};
  EXPECT_TRUE(saveItemLists(state_, {{7, {}}}));
  EXPECT_TRUE(state_.itemLists[7].empty());
  // Without the version a shipped file placed later would replace this one at the next start.
  EXPECT_EQ(readFile(kData), utf16le(u"[Version]\r\nNo=52\r\n\r\n[MP4]\r\nCount=0\r\n\r\n"));
}

TEST_F(SettingsStoreTest, SavedItemsLoadBackAndKeepAnOldAnsiFileReadable) {
  // An old file kept as it is (no version, no shipped file) is still in Shift-JIS when saved.
  writeFile(kData, "[OGG]\r\nCount=1\r\nI1=TIME_j\r\nD1=\x83\x65\r\nR1=s/a/b/\r\n");
  migrateAndLoadDataFile(state_);
  const ItemList items = {u"TIME_日本", u"説明", u"s/(\\d+)/$1秒/"};
  saveItemLists(state_, {{0, items}});

  // Saved, it is current, so a shipped file placed later does not replace it.
  writeFile(kShipped, "[Version]\r\nNo=52\r\n");
  PluginSettings reloaded;
  reloaded.dataFilePath = state_.dataFilePath;
  migrateAndLoadDataFile(reloaded);
  EXPECT_EQ(reloaded.itemLists[0], items);
  EXPECT_EQ(reloaded.itemLists[5], (ItemList{u"TIME_j", u"テ", u"s/a/b/"}));
}

// ---- Writing files -------------------------------------------------------------------------

TEST_F(SettingsStoreTest, FailedReadsAndWritesAreReportedAndLeaveTheFilesWhole) {
  const std::string host = utf16le(u"[Host]\r\nA=1\r\n\r\n[Sonavid]\r\nDef11=3\r\n\r\n");
  const std::string data = utf16le(u"[Version]\r\nNo=52\r\n\r\n[MP3]\r\nCount=0\r\n\r\n");
  const struct {
    const char* fault;
    test::FaultyPlatform::Faults faults;
  } cases[] = {{"short reads", {.shortReads = true}}, {"full disk", {.failedWrites = true}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    writeFile("host.ini", host);
    writeFile(kData, data);
    test::FaultyPlatform faulty(c.faults);
    setPlatform(&faulty);
    EXPECT_FALSE(saveHostValues(state_));
    EXPECT_FALSE(writeSetupWindowSettings(state_, {}));
    EXPECT_FALSE(writeOmitDefaults(state_, true));
    EXPECT_FALSE(saveMediaTypeDefaults(state_));
    EXPECT_FALSE(saveItemLists(state_, {{0, {u"TIME_a", u"d", u"s/a/b/"}}}));
    setPlatform(&cp932_);
    EXPECT_EQ(readFile("host.ini"), host);
    EXPECT_EQ(readFile(kData), data);
    EXPECT_EQ(filesInDir().size(), 2u);
  }
}

TEST_F(SettingsStoreTest, ReplacingAFileKeepsItsModeAndLinkAndRefusesReadOnlyOnes) {
  const std::string before = utf16le(u"[Sonavid]\r\nDef11=1\r\n\r\n");
  const std::string after = utf16le(u"[Sonavid]\r\nDef11=2\r\nDef12=0\r\n\r\n");
  const std::string ini = dir_ + "/host.ini";
  const std::string real = dir_ + "/real.ini";
  const struct {
    const char* name;
    mode_t mode;
    bool linked;          // host.ini is a symbolic link to real.ini
    bool staleTemporary;  // a read-only host.ini.tmp~ left over from a crash
    bool written;
  } cases[] = {
      {"private file", 0600, false, false, true},
      {"linked file", 0640, true, false, true},
      {"stale temporary file", 0644, false, true, true},
      {"read-only file", 0444, false, false, false},
  };
  state_.def11 = 2;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(ini);
    const std::string& file = c.linked ? real : ini;
    writeFile(c.linked ? "real.ini" : "host.ini", before);
    ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
    if (c.linked) std::filesystem::create_symlink(real, ini);
    if (c.staleTemporary) {
      writeFile("host.ini.tmp~", "partial");
      chmod((ini + ".tmp~").c_str(), 0444);
    }
    EXPECT_EQ(saveHostValues(state_), c.written);
    EXPECT_EQ(readFile(c.linked ? "real.ini" : "host.ini"), c.written ? after : before);
    EXPECT_EQ(std::filesystem::is_symlink(ini), c.linked);
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.mode);
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp~"));
    std::filesystem::remove(real);
  }
}

}  // namespace
}  // namespace sonavid
