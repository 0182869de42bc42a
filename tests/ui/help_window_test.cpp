// The help file beside the program and the help viewer's window, under Wine: F1 in each dialog
// of the real plug-in opens the viewer with the exact title, closing the dialog closes it, and
// the file's context map leads each dialog's context number to that dialog's topic.
#include <gtest/gtest.h>
#include <objbase.h>

#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ui/dialog_placement.h"
#include "ui/ui_test_support.h"

namespace sonavid::uitest {

// The storage interface of itss.dll; only the methods up to the one used are declared. It has
// external linkage: in an unnamed namespace the compiler may assume no object implements it.
struct IITStorage : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD,
                                                                 IStorage**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR*, IStorage*, DWORD, SNB, DWORD,
                                                   IStorage**) = 0;
};
constexpr CLSID kClsidItStorage = {
    0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
constexpr IID kIidItStorage = {
    0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

namespace {

// Spelled out here rather than taken from the plug-in, so that a changed title fails.
constexpr wchar_t kHelpTitle[] = L"Zelkorプラグイン 音声/動画ファイル情報取得マクロヘルプ";
constexpr wchar_t kSetupCaption[] = L"音声/動画ファイル情報取得マクロ設定";

// The help file's window title is stored in the Japanese code page, and the viewer decodes it
// in the system's: the title is exact only under a Japanese code page (ctest runs these tests
// with LANG=ja_JP.UTF-8, which gives code page 932 in Wine).
bool japaneseCodePage() { return GetACP() == 932; }
constexpr char kNeedsJapanese[] = "the help window's title needs the Japanese code page 932";

std::wstring helpFilePath() { return programFolder() + L"mac_Sonavid.chm"; }

HWND helpWindow() { return FindWindowW(nullptr, kHelpTitle); }

// ---- Reading the help file through the system's own storage for compiled help -------------

// COM from ole32.dll, loaded at run time: the test program is not linked with it.
template <typename Fn>
Fn ole32(const char* name) {
  static HMODULE module = LoadLibraryW(L"ole32.dll");
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class CompiledHelp {
 public:
  explicit CompiledHelp(const std::wstring& path) {
    using InitializeFn = HRESULT(WINAPI*)(void*);
    using CreateFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    ole32<InitializeFn>("CoInitialize")(nullptr);
    IITStorage* factory = nullptr;
    if (FAILED(ole32<CreateFn>("CoCreateInstance")(kClsidItStorage, nullptr, CLSCTX_INPROC_SERVER,
                                                   kIidItStorage,
                                                   reinterpret_cast<void**>(&factory)))) {
      return;
    }
    factory->StgOpenStorage(path.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0,
                            &storage_);
    factory->Release();
  }
  ~CompiledHelp() {
    if (storage_ != nullptr) storage_->Release();
    ole32<void(WINAPI*)()>("CoUninitialize")();
  }
  bool opened() const { return storage_ != nullptr; }

  // The whole content of an internal file, or nothing when it is missing.
  std::optional<std::string> read(const std::wstring& name) const {
    IStream* stream = nullptr;
    if (storage_ == nullptr ||
        FAILED(storage_->OpenStream(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                    &stream))) {
      return std::nullopt;
    }
    std::string content;
    char buffer[4096];
    ULONG got = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got > 0) {
      content.append(buffer, got);
    }
    stream->Release();
    return content;
  }

  // Context number -> topic name, from the context table and the string table.
  std::map<uint32_t, std::string> contextMap() const {
    std::map<uint32_t, std::string> map;
    const auto table = read(L"#IVB");
    const auto strings = read(L"#STRINGS");
    if (!table || !strings || table->size() < 4) return map;
    for (size_t at = 4; at + 8 <= table->size(); at += 8) {
      uint32_t context = 0, offset = 0;
      memcpy(&context, table->data() + at, 4);
      memcpy(&offset, table->data() + at + 4, 4);
      if (offset < strings->size()) map[context] = strings->c_str() + offset;
    }
    return map;
  }

 private:
  IStorage* storage_ = nullptr;
};

std::wstring fromUtf8(const std::string& text) {
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::wstring titleOf(const std::string& topic) {
  const size_t start = topic.find("<title>");
  const size_t end = topic.find("</title>");
  if (start == std::string::npos || end == std::string::npos) return L"";
  return fromUtf8(topic.substr(start + 7, end - start - 7));
}

TEST(HelpFile, ContextNumbersOfTheDialogsLeadToTheirTopics) {
  const CompiledHelp help(helpFilePath());
  ASSERT_TRUE(help.opened()) << "no help file beside the program";
  const std::map<uint32_t, std::string> contexts = help.contextMap();
  const std::map<uint32_t, std::wstring> expectedTitles = {{201, L"設定ダイアログ (ユーザー項目)"},
                                                           {301, L"音声/動画種別のパラメータ"},
                                                           {302, L"音声/動画情報のパラメータ"}};
  EXPECT_EQ(contexts.size(), expectedTitles.size());
  for (const auto& [context, title] : expectedTitles) {
    ASSERT_TRUE(contexts.count(context)) << context;
    const std::string& topic = contexts.at(context);
    EXPECT_EQ(topic.find('/'), std::string::npos) << "not a name inside the file: " << topic;
    const auto page = help.read(fromUtf8(topic));
    ASSERT_TRUE(page.has_value()) << topic;
    EXPECT_EQ(titleOf(*page), title) << context;
  }
}

// ---- The viewer through the HTML Help entry ---------------------------------------------------

using HtmlHelpFn = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);
constexpr UINT kHhHelpContext = 0x000F;

HtmlHelpFn htmlHelp() {
  wchar_t folder[MAX_PATH];
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  HMODULE module = LoadLibraryW((std::wstring(folder, n) + L"\\hhctrl.ocx").c_str());
  if (module == nullptr) return nullptr;
  return reinterpret_cast<HtmlHelpFn>(
      reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(15))));
}

void closeHelp() {
  if (HWND window = helpWindow()) SendMessageW(window, WM_CLOSE, 0, 0);
}

TEST(HelpFile, TheViewerOpensAtEachDialogContextAndAtNoOther) {
  if (!japaneseCodePage()) GTEST_SKIP() << kNeedsJapanese;
  const HtmlHelpFn entry = htmlHelp();
  ASSERT_NE(entry, nullptr);
  const std::wstring path = helpFilePath();
  for (DWORD context : {201u, 301u, 302u}) {
    HWND window = entry(nullptr, path.c_str(), kHhHelpContext, context);
    EXPECT_NE(window, nullptr) << context;
    EXPECT_EQ(helpWindow(), window) << context;
    closeHelp();
    EXPECT_EQ(helpWindow(), nullptr);
  }
  // A context the file does not map opens nothing: the dialogs' numbers above are really mapped.
  EXPECT_EQ(entry(nullptr, path.c_str(), kHhHelpContext, 999), nullptr);
  closeHelp();
}

// ---- F1 in the dialogs of the real plug-in -------------------------------------------------

// What the driver saw of the help viewer while the dialog was open.
struct HelpSeen {
  bool opened = false;
  bool visible = false;
  bool ownedByHost = false;
  std::wstring windowClass;
};

void pressF1(HWND dialog) {
  SetForegroundWindow(dialog);
  INPUT keys[2] = {};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_F1;
    key.ki.wScan = static_cast<WORD>(MapVirtualKeyW(VK_F1, MAPVK_VK_TO_VSC));
  }
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

// Presses F1 in the dialog, waits for the viewer, takes a screenshot, leaves the dialog open.
HelpSeen pressF1AndLook(HWND dialog, HWND host, const std::string& screenshot) {
  HelpSeen seen;
  pressF1(dialog);
  HWND help = nullptr;
  seen.opened = waitUntil([&] {
    help = helpWindow();
    return help != nullptr && IsWindowVisible(help);
  });
  if (!seen.opened) return seen;
  seen.visible = IsWindowVisible(help) != FALSE;
  seen.ownedByHost = GetWindow(help, GW_OWNER) == host;
  seen.windowClass = className(help);
  Sleep(300);  // let the viewer finish painting before the screenshot
  saveScreenshot(help, screenshot);
  return seen;
}

class HelpWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!japaneseCodePage()) GTEST_SKIP() << kNeedsJapanese;
    closeHelp();
    host_.emplace(folder_.path());
    ASSERT_TRUE(host_->loaded());
  }
  void TearDown() override {
    host_.reset();
    closeHelp();
  }

  TempFolder folder_;
  std::optional<PluginHost> host_;
};

TEST_F(HelpWindowTest, F1InTheMediaTypeDialogOpensTheHelpUntilTheDialogCloses) {
  HelpSeen seen;
  HWND host = host_->window();
  const auto result = host_->paramDialog(0, u'a', u"音声/動画種別 (help)", [&](HWND dialog) {
    seen = pressF1AndLook(dialog, host, "help_window_media_type.png");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(result.has_value());  // cancelled
  EXPECT_TRUE(seen.opened);
  EXPECT_TRUE(seen.ownedByHost);
  EXPECT_EQ(seen.windowClass, L"HH Parent");
  EXPECT_EQ(helpWindow(), nullptr) << "the help window outlived the dialog";
}

TEST_F(HelpWindowTest, F1InTheMediaInfoDialogOpensTheHelpUntilTheDialogCloses) {
  HelpSeen seen;
  HWND host = host_->window();
  const auto result = host_->paramDialog(1, u'b', u"音声/動画情報 (help)", [&](HWND dialog) {
    seen = pressF1AndLook(dialog, host, "help_window_media_info.png");
    // OK closes it as well: the help window goes whichever way the dialog ends.
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(result, std::optional<std::u16string>(u"/b<,TIME>"));
  EXPECT_TRUE(seen.opened);
  EXPECT_TRUE(seen.ownedByHost);
  EXPECT_EQ(helpWindow(), nullptr) << "the help window outlived the dialog";
}

// macSetup over the host window while `driver` works the setup dialog on another thread.
uint32_t runSetup(HWND host, const std::function<void(HWND)>& driver) {
  HMODULE module = GetModuleHandleW((programFolder() + L"mac_Sonavid.dll").c_str());
  auto entry =
      reinterpret_cast<MacPluginFn>(reinterpret_cast<void*>(GetProcAddress(module, "macPlugin")));
  if (entry == nullptr) return 0;
  std::u16string name(256, u'\0'), version(256, u'\0');
  PluginDescriptor descriptor{};
  descriptor.nameBuffer = name.data();
  descriptor.versionBuffer = version.data();
  entry(&descriptor);

  RECT hostRect{};
  GetWindowRect(host, &hostRect);
  const HostRect rect{static_cast<int16_t>(hostRect.left), static_cast<int16_t>(hostRect.top),
                      static_cast<int16_t>(hostRect.right - hostRect.left),
                      static_cast<int16_t>(hostRect.bottom - hostRect.top)};
  std::thread driverThread([&] {
    HWND dialog = nullptr;
    if (!waitUntil([&] {
          dialog = FindWindowW(nullptr, kSetupCaption);
          return dialog != nullptr && IsWindowVisible(dialog);
        })) {
      return;
    }
    driver(dialog);
    if (!waitUntil([&] { return !IsWindow(dialog); })) {
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
  });
  const uint32_t result = descriptor.macSetup(&rect);
  driverThread.join();
  return result;
}

TEST_F(HelpWindowTest, F1InTheSetupDialogOpensTheHelpUntilTheDialogCloses) {
  HelpSeen seen;
  HWND host = host_->window();
  runSetup(host, [&](HWND dialog) {
    seen = pressF1AndLook(dialog, host, "help_window_setup.png");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_TRUE(seen.opened);
  EXPECT_TRUE(seen.ownedByHost);
  EXPECT_EQ(helpWindow(), nullptr) << "the help window outlived the dialog";
}

// The viewer decodes its title in the ANSI code page, so outside code page 932 the title does
// not match; the window the viewer returned is closed all the same. A changed title stands in
// for another code page.
TEST(HelpWindow, TheViewersWindowIsClosedByItsHandleWhateverItsTitle) {
  TempFolder folder;
  PluginHost host(folder.path());
  ASSERT_TRUE(host.loaded());
  HWND viewer = nullptr;
  host.paramDialog(0, u'a', u"音声/動画種別 (help by handle)", [&](HWND dialog) {
    pressF1(dialog);
    waitUntil([&] {
      viewer = FindWindowW(L"HH Parent", nullptr);
      return viewer != nullptr && IsWindowVisible(viewer);
    });
    if (viewer != nullptr) SetWindowTextW(viewer, L"Zelkor plug-in help (another code page)");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  ASSERT_NE(viewer, nullptr);
  EXPECT_FALSE(IsWindow(viewer)) << "the help window outlived the dialog";
  if (IsWindow(viewer)) SendMessageW(viewer, WM_CLOSE, 0, 0);
}

TEST_F(HelpWindowTest, WithoutAHelpWindowClosingADialogLeavesOtherWindowsAlone) {
  // A window whose title only begins like the help window's is not the help window.
  HWND lookalike =
      CreateWindowW(L"Static", (std::wstring(kHelpTitle) + L" (2)").c_str(), WS_OVERLAPPED, 0, 0,
                    200, 50, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(lookalike, nullptr);
  const uint32_t result =
      runSetup(host_->window(), [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_EQ(result, 0u);
  EXPECT_TRUE(IsWindow(lookalike));
  const auto param = host_->paramDialog(0, u'a', u"音声/動画種別 (no help)", [](HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(param.has_value());
  EXPECT_TRUE(IsWindow(lookalike));
  DestroyWindow(lookalike);
}

}  // namespace
}  // namespace sonavid::uitest
