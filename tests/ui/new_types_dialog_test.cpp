// The newer media types in the dialogs of the real plug-in: the media-info dialog's type
// selector and their field lists, and the setup dialog's page strip with sixteen pages.
#include <windows.h>
//
#include <commctrl.h>
#include <gtest/gtest.h>

#include <iterator>
#include <thread>

#include "core/common_fields.h"
#include "setup/setup_dialog_win.h"
#include "ui/ui_test_support.h"

namespace sonavid::uitest {
namespace {

constexpr int kPageCount = 16;

std::wstring comboItem(HWND combo, int index) {
  std::wstring text(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return text.c_str();
}

std::vector<std::wstring> comboItems(HWND combo) {
  std::vector<std::wstring> items;
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) items.push_back(comboItem(combo, i));
  return items;
}

// Drops `combo`'s list down and saves the dialog with the list as `fileName`.
void screenshotOpenList(HWND dialog, HWND combo, const std::string& fileName) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(combo, &info);
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  if (waitUntil([&] { return IsWindowVisible(info.hwndList) != FALSE; })) {
    constexpr UINT kRepaint = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME | RDW_ERASE;
    RedrawWindow(dialog, nullptr, nullptr, kRepaint);
    RedrawWindow(info.hwndList, nullptr, nullptr, kRepaint);
    SendMessageW(dialog, WM_NULL, 0, 0);  // the dialog's thread has painted by now
    Sleep(200);                           // and the display shows it
    RECT area{}, list{};
    GetWindowRect(dialog, &area);
    GetWindowRect(info.hwndList, &list);
    UnionRect(&area, &area, &list);
    saveScreenshotOfArea(area, fileName);
  }
  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST(NewTypesDialogs, MediaInfoSelectorListsThemAfterMp4AndDef11SelectsThem) {
  const struct {
    int def11;
    const wchar_t* type;
    const wchar_t* lastField;  // of the type's own fields
    int videoField;            // position of "VFMT", -1 without
    const char* screenshot;    // the open field list; nullptr: none
  } cases[] = {
      {9, L"FLAC", L"TRACK    トラック", -1, nullptr},
      {10, L"AIFF", L"ICOP     著作権", -1, "param1_aiff_fields_open.png"},
      {11, L"WV", L"TRACK    トラック", -1, nullptr},
      {12, L"DSF", L"TRACK    トラック", -1, nullptr},
      {13, L"MKV", L"TRACK    トラック", 2, "param1_mkv_fields_open.png"},
      {14, L"TS", L"IGNR     ジャンル", 2, "param1_ts_fields_open.png"},
      {15, L"MPG", L"VFMT     映像フォーマット", 2, nullptr},
      {16, L"AAC", L"TRACK    トラック", -1, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "Def11=" << c.def11);
    TempFolder folder;
    std::u16string ini = u"[mac_Sonavid]\r\nDef11=";
    for (char digit : std::to_string(c.def11)) ini.push_back(static_cast<char16_t>(digit));
    writeUtf16File(folder.path() + L"host.ini", ini + u"\r\nDef12=0\r\n");
    PluginHost host(folder.path());
    ASSERT_TRUE(host.loaded());
    std::vector<std::wstring> types, fields;
    std::wstring selected, panel;
    const auto result = host.paramDialog(1, u'b', u"音声/動画情報 (test)", [&](HWND dialog) {
      const std::vector<HWND> combos = childWindows(dialog, L"ComboBox");
      types = comboItems(combos.at(0));
      fields = comboItems(combos.at(1));
      selected = comboItem(combos.at(0), static_cast<int>(SendMessageW(combos.at(0), CB_GETCURSEL, 0, 0)));
      if (c.def11 == 9) screenshotOpenList(dialog, combos.at(0), "param1_types_open.png");
      if (c.screenshot != nullptr) screenshotOpenList(dialog, combos.at(1), c.screenshot);
      pressKey(dialog, VK_RETURN);
    });
    ASSERT_EQ(types.size(), 17u);
    EXPECT_EQ(types[8], L"MP4");
    EXPECT_EQ(types[c.def11], c.type);
    EXPECT_EQ(selected, c.type);
    ASSERT_FALSE(fields.empty());
    EXPECT_EQ(fields.front(), L"TIME     再生時間");
    // The fields every type gives follow the type's own.
    ASSERT_GT(fields.size(), std::size(kCommonFields));
    EXPECT_EQ(fields.at(fields.size() - 1 - std::size(kCommonFields)), c.lastField);
    EXPECT_EQ(fields.back(), L"FPS      フレームレート");
    if (c.videoField >= 0) {
      EXPECT_EQ(fields.at(static_cast<size_t>(c.videoField)), L"VFMT     映像フォーマット");
    }
    EXPECT_EQ(result, u"/b<" + std::u16string(c.type, c.type + wcslen(c.type)) + u",TIME>");
  }
}

// The setup dialog shown by macSetup over the host window while `driver` works it.
void runSetup(PluginHost& host, const std::function<void(HWND)>& driver) {
  HMODULE module = GetModuleHandleW((programFolder() + L"mac_Sonavid.dll").c_str());
  ASSERT_NE(module, nullptr);
  auto entry =
      reinterpret_cast<MacPluginFn>(reinterpret_cast<void*>(GetProcAddress(module, "macPlugin")));
  auto* formSetup = reinterpret_cast<HWND*>(GetProcAddress(module, "_FormSetup"));
  ASSERT_NE(formSetup, nullptr);
  std::u16string name(256, u'\0'), version(256, u'\0');
  PluginDescriptor descriptor{};
  descriptor.nameBuffer = name.data();
  descriptor.versionBuffer = version.data();
  entry(&descriptor);
  RECT hostRect{};
  GetWindowRect(host.window(), &hostRect);
  const HostRect rect{static_cast<int16_t>(hostRect.left), static_cast<int16_t>(hostRect.top),
                      static_cast<int16_t>(hostRect.right - hostRect.left),
                      static_cast<int16_t>(hostRect.bottom - hostRect.top)};
  std::thread driverThread([&] {
    HWND dialog = nullptr;
    if (!waitUntil([&] {
          dialog = *formSetup;
          return dialog != nullptr && IsWindowVisible(dialog);
        })) {
      return;
    }
    driver(dialog);
    if (!waitUntil([&] { return !IsWindow(dialog); })) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  descriptor.macSetup(&rect);
  driverThread.join();
}

void clickAt(HWND window, POINT point) {
  const LPARAM at = MAKELPARAM(point.x, point.y);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(window, WM_LBUTTONUP, 0, at);
}

void sendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
  std::vector<INPUT> inputs;
  for (const auto& [key, up] : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TEST(NewTypesDialogs, SetupPageStripReachesTheLastPageByItsArrowsAndArrowKeys) {
  TempFolder folder;
  PluginHost host(folder.path());
  ASSERT_TRUE(host.loaded());
  struct {
    int pages = 0;
    bool arrowsShown = false;
    bool lastTabHiddenAtFirst = false;
    int arrowClicks = 0;
    int afterTabClick = -1;
    bool lastListShown = false;
    int afterRightKeys = -1;
  } seen;
  runSetup(host, [&](HWND dialog) {
    HWND tabs = GetDlgItem(dialog, setup::kIdPageControl);
    seen.pages = TabCtrl_GetItemCount(tabs);
    saveScreenshot(dialog, "setup_tabs_16_pages.png");
    HWND arrows = FindWindowExW(tabs, nullptr, UPDOWN_CLASSW, nullptr);
    seen.arrowsShown = arrows != nullptr && IsWindowVisible(arrows);
    RECT arrowRect{}, last{};
    if (seen.arrowsShown) {
      GetWindowRect(arrows, &arrowRect);
      MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&arrowRect), 2);
    }
    auto lastTabVisible = [&] {
      TabCtrl_GetItemRect(tabs, kPageCount - 1, &last);
      return last.right <= (seen.arrowsShown ? arrowRect.left : last.right);
    };
    seen.lastTabHiddenAtFirst = !lastTabVisible();
    // The right arrow, clicked until the last tab has come into view.
    while (seen.arrowsShown && !lastTabVisible() && seen.arrowClicks < 20) {
      ++seen.arrowClicks;
      clickAt(arrows, {(arrowRect.right - arrowRect.left) * 3 / 4, (arrowRect.bottom - arrowRect.top) / 2});
    }
    TabCtrl_GetItemRect(tabs, kPageCount - 1, &last);
    clickAt(tabs, {(last.left + last.right) / 2, (last.top + last.bottom) / 2});
    seen.afterTabClick = TabCtrl_GetCurSel(tabs);
    seen.lastListShown = IsWindowVisible(GetDlgItem(dialog, setup::kIdFirstList + kPageCount - 1)) != FALSE;
    saveScreenshot(dialog, "setup_tabs_last_page.png");

    // From the first page by keyboard: the right arrow key on the focused page strip.
    SendMessageW(tabs, TCM_SETCURFOCUS, 0, 0);
    PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tabs), TRUE);
    waitUntil([&] { return focusOf(dialog) == tabs; });
    for (int i = 1; i < kPageCount; ++i) {
      pressKey(dialog, VK_RIGHT);
      if (!waitUntil([&] { return TabCtrl_GetCurSel(tabs) == i; })) break;
    }
    seen.afterRightKeys = TabCtrl_GetCurSel(tabs);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(seen.pages, kPageCount);
  EXPECT_TRUE(seen.arrowsShown);
  EXPECT_TRUE(seen.lastTabHiddenAtFirst);
  EXPECT_GT(seen.arrowClicks, 0);
  EXPECT_EQ(seen.afterTabClick, kPageCount - 1);
  EXPECT_TRUE(seen.lastListShown);
  EXPECT_EQ(seen.afterRightKeys, kPageCount - 1);
}

// Ctrl+Tab, as property sheets and tabbed windows switch pages, typed on the keyboard (the
// page strip does not handle it itself: the dialog does), and Ctrl+Shift+Tab back.
TEST(NewTypesDialogs, SetupPagesFollowCtrlTab) {
  TempFolder folder;
  PluginHost host(folder.path());
  ASSERT_TRUE(host.loaded());
  int reached = -1;
  int back = -1;
  runSetup(host, [&](HWND dialog) {
    HWND tabs = GetDlgItem(dialog, setup::kIdPageControl);
    SetForegroundWindow(dialog);
    for (int i = 1; i < kPageCount; ++i) {
      sendKeys({{VK_CONTROL, false}, {VK_TAB, false}, {VK_TAB, true}, {VK_CONTROL, true}});
      if (!waitUntil([&] { return TabCtrl_GetCurSel(tabs) == i; })) break;
    }
    reached = TabCtrl_GetCurSel(tabs);
    sendKeys({{VK_CONTROL, false}, {VK_SHIFT, false}, {VK_TAB, false}, {VK_TAB, true},
              {VK_SHIFT, true}, {VK_CONTROL, true}});
    waitUntil([&] { return TabCtrl_GetCurSel(tabs) == kPageCount - 2; });
    back = TabCtrl_GetCurSel(tabs);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(reached, kPageCount - 1);
  EXPECT_EQ(back, kPageCount - 2);
}

}  // namespace
}  // namespace sonavid::uitest
