// The callback protocol through the real DLL: calling conventions, descriptor, names and the
// initialise / finalise round trip against real settings files.
#include <gtest/gtest.h>

#include "win/plugin_fixture.h"

namespace sonavid::test {
namespace {

// Calls a one-argument function and reports how many bytes of arguments the callee removed
// from the stack: 4 for stdcall, 0 for cdecl (where the caller removes them).
template <typename Fn>
int stackDeltaOfOneArgumentCall(Fn function, const void* argument, uint32_t& result) {
  uint32_t before = 0, after = 0;
  const void* arg = argument;
  void* target = reinterpret_cast<void*>(function);
  asm volatile(
      "movl %%esp, %0\n\t"
      "pushl %3\n\t"
      "call *%4\n\t"
      "movl %%esp, %1\n\t"
      "movl %0, %%esp\n\t"
      : "=&S"(before), "=&D"(after), "=a"(result), "+c"(arg), "+d"(target)
      :
      : "memory", "cc");
  return static_cast<int>(after - before) + 4;
}

TEST(HostProtocol, MacPluginIsStdcallAndAnswersEveryCall) {
  LoadedPlugin plugin;
  ASSERT_NE(plugin.entry(), nullptr);
  for (int call = 0; call < 2; ++call) {
    std::u16string nameBuffer(64, u'#'), versionBuffer(64, u'#');
    PluginDescriptor descriptor{};
    descriptor.nameBuffer = nameBuffer.data();
    descriptor.versionBuffer = versionBuffer.data();
    uint32_t result = 0;
    EXPECT_EQ(stackDeltaOfOneArgumentCall(plugin.entry(), &descriptor, result), 4)
        << "macPlugin must remove its 4-byte argument";
    EXPECT_EQ(result, 5002u);
    EXPECT_EQ(descriptor.version, 2u);
    EXPECT_NE(descriptor.macInitialize, nullptr);
    EXPECT_NE(descriptor.macGetName, nullptr);
    EXPECT_NE(descriptor.macSetup, nullptr);
    EXPECT_NE(descriptor.macParamDialog, nullptr);
    EXPECT_NE(descriptor.macExecute, nullptr);
    EXPECT_NE(descriptor.macFinalize, nullptr);
    EXPECT_EQ(std::u16string(nameBuffer.c_str()), u"音声/動画ファイル情報取得マクロ");
    EXPECT_EQ(nameBuffer[16], u'\0');
    EXPECT_EQ(std::u16string(versionBuffer.c_str()), u"5.0.0.2");
  }
}

TEST(HostProtocol, CallbacksLeaveTheirArgumentsToTheCaller) {
  LoadedPlugin plugin;
  ASSERT_NE(plugin.entry(), nullptr);
  std::u16string name(64, u'\0'), description(64, u'\0');
  MacroNameRecord record{1, name.data(), description.data()};
  uint32_t result = 0;
  EXPECT_EQ(stackDeltaOfOneArgumentCall(plugin.descriptor().macGetName, &record, result), 0);
  EXPECT_EQ(result, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(description.data())));
  // A reset request through macExecute: cdecl, and a non-null empty text.
  EXPECT_EQ(stackDeltaOfOneArgumentCall(plugin.descriptor().macExecute, nullptr, result), 0);
  ASSERT_NE(result, 0u);
  EXPECT_EQ(*reinterpret_cast<const char16_t*>(result), u'\0');
}

TEST(HostProtocol, MacroNamesAndDescriptions) {
  LoadedPlugin plugin;
  ASSERT_NE(plugin.entry(), nullptr);
  const struct {
    int32_t index;
    const char16_t* name;
    const char16_t* description;
  } expected[] = {{0, u"音声/動画種別", u"音声/動画ファイルの種別"},
                  {1, u"音声/動画情報", u"音声/動画ファイルの各種情報"}};
  for (const auto& macro : expected) {
    std::u16string name(64, u'#'), description(64, u'#');
    MacroNameRecord record{macro.index, name.data(), description.data()};
    plugin.descriptor().macGetName(&record);
    EXPECT_EQ(std::u16string(name.c_str()), macro.name);
    EXPECT_EQ(std::u16string(description.c_str()), macro.description);
  }
}

TEST(HostProtocol, InitialiseAndFinaliseKeepTheHostsSettingsFile) {
  TempFolder folder;
  const std::wstring ini = folder.path() + L"host.ini";
  writeBytes(ini, utf16le(u"; host comment\r\n[Host]\r\nWindow=1\r\nTitle=日本語\r\n\r\n"
                          u"[mac_Sonavid]\r\nDef01=0x10\r\nDef11=3\r\nOther=x\r\n[Tail]\r\nK=v\r\n"));
  {
    LoadedPlugin plugin;
    ASSERT_NE(plugin.entry(), nullptr);
    PluginInitRecord record{nullptr, reinterpret_cast<const char16_t*>(ini.c_str()), u"MAC_SONAVID"};
    plugin.descriptor().macInitialize(&record);
    plugin.descriptor().macFinalize();
  }
  EXPECT_EQ(readBytes(ini), utf16le(u"[Host]\r\nWindow=1\r\nTitle=日本語\r\n\r\n"
                                    u"[mac_Sonavid]\r\nDef01=0x10\r\nDef11=3\r\nOther=x\r\nDef12=0\r\n\r\n"
                                    u"[Tail]\r\nK=v\r\n\r\n"));
}

TEST(HostProtocol, SettingsPathWithoutFolderUsesTheDataFileInTheCurrentFolder) {
  TempFolder folder;
  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(folder.path().c_str()));
  // A shipped data file beside the bare name becomes the data file at start-up.
  writeBytes(folder.path() + L"mac_Sonavid.dat.___",
             utf16le(u"[Version]\r\nNo=52\r\n[MP3]\r\nCount=1\r\nI1=TIME_m\r\nD1=d\r\nR1=s/a/b/\r\n"));
  {
    LoadedPlugin plugin;
    ASSERT_NE(plugin.entry(), nullptr);
    PluginInitRecord record{nullptr, u"host.ini", u"mac_Sonavid"};
    plugin.descriptor().macInitialize(&record);
    plugin.descriptor().macFinalize();
  }
  EXPECT_NE(GetFileAttributesW((folder.path() + L"mac_Sonavid.dat").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW((folder.path() + L"mac_Sonavid.dat.___").c_str()), INVALID_FILE_ATTRIBUTES);
  SetCurrentDirectoryW(previous);
}

}  // namespace
}  // namespace sonavid::test
