// The media-type parameter dialog of the real plug-in, worked through window messages.
#include <gtest/gtest.h>

#include "ui/dialog_placement.h"
#include "ui/ui_test_support.h"

namespace sonavid::uitest {
namespace {

const std::u16string kCaption = u"音声/動画種別 (test)";
constexpr wchar_t kButton[] = L"Button";

// What the driver saw of the dialog.
struct Param0View {
  std::wstring panel;
  bool upper = false, lower = false, none = false, extension = false;
};

HWND macroPanel(HWND dialog) {
  for (HWND child : childWindows(dialog, L"Static")) {
    if (textOf(child).rfind(L"/", 0) == 0) return child;
  }
  return nullptr;
}

bool checked(HWND dialog, const wchar_t* caption) {
  HWND button = childWithText(dialog, kButton, caption);
  return button != nullptr && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

Param0View look(HWND dialog) {
  return {textOf(macroPanel(dialog)), checked(dialog, L"大文字"), checked(dialog, L"小文字"),
          checked(dialog, L"なし"), checked(dialog, L"元拡張子")};
}

void clickItem(HWND dialog, const wchar_t* caption) {
  click(childWithText(dialog, kButton, caption));
}

// Opens the context menu, records its summary, picks an item with the keyboard.
std::wstring chooseFromMenu(HWND dialog, const std::vector<UINT>& keys) {
  HWND menuWindow = openContextMenu(dialog, macroPanel(dialog));
  if (menuWindow == nullptr) return L"(no menu)";
  const std::wstring summary = menuSummary(menuOf(menuWindow));
  for (UINT key : keys) {
    // The key goes to the innermost open menu (the first visible one in z-order).
    HWND target = nullptr;
    for (HWND w = FindWindowW(L"#32768", nullptr); w != nullptr && target == nullptr;
         w = FindWindowExW(nullptr, w, L"#32768", nullptr)) {
      if (IsWindowVisible(w)) target = w;
    }
    postKey(target != nullptr ? target : menuWindow, key);
    if (key == VK_RIGHT) {
      waitUntil([&] {
        int open = 0;
        for (HWND w = FindWindowW(L"#32768", nullptr); w != nullptr;
             w = FindWindowExW(nullptr, w, L"#32768", nullptr)) {
          open += IsWindowVisible(w) ? 1 : 0;
        }
        return open >= 2;
      });
    }
  }
  waitUntil([&] { return !IsWindowVisible(menuWindow); });
  return summary;
}

// Key presses that pick an item of the context menu.
const std::vector<UINT> kRestoreDefaults = {VK_DOWN, VK_RETURN};
const std::vector<UINT> kSaveDefaults = {VK_DOWN, VK_DOWN, VK_RETURN};
const std::vector<UINT> kOmitDefaults = {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN};

class MediaTypeDialogTest : public ::testing::Test {
 protected:
  std::optional<std::u16string> open(const Driver& driver) {
    return host_->paramDialog(0, u'a', kCaption, driver);
  }
  // Opens the dialog, records what it shows, cancels.
  Param0View peek() {
    Param0View seen;
    open([&](HWND dialog) {
      seen = look(dialog);
      pressKey(dialog, VK_ESCAPE);
    });
    return seen;
  }
  void reload() {
    host_.reset();
    host_ = std::make_unique<PluginHost>(folder_.path());
  }

  TempFolder folder_;
  std::unique_ptr<PluginHost> host_ = std::make_unique<PluginHost>(folder_.path());
};

TEST_F(MediaTypeDialogTest, OpensCentredOnTheHostWithItsLayoutAndOkFocused) {
  ASSERT_TRUE(host_->loaded());
  std::wstring title, groupCaption, focusText;
  RECT outer{}, client{};
  Param0View seen;
  bool screenshot = false, ownedByHost = false, hostDisabled = false;
  const auto result = open([&](HWND dialog) {
    ownedByHost = GetWindow(dialog, GW_OWNER) == host_->window();
    hostDisabled = !IsWindowEnabled(host_->window());
    title = textOf(dialog);
    GetWindowRect(dialog, &outer);
    GetClientRect(dialog, &client);
    HWND group =
        childWindows(dialog, kButton).size() > 2 ? childWindows(dialog, kButton)[2] : nullptr;
    groupCaption = textOf(group);
    focusText = textOf(focusOf(dialog));
    seen = look(dialog);
    screenshot = saveScreenshot(dialog, "param0.png");
    pressKey(dialog, VK_ESCAPE);
  });
  EXPECT_FALSE(result.has_value());
  EXPECT_TRUE(ownedByHost);
  EXPECT_TRUE(hostDisabled);
  EXPECT_TRUE(IsWindowEnabled(host_->window()));
  EXPECT_EQ(title, L"音声/動画種別 (test)");
  EXPECT_EQ(groupCaption, L"/a<大文字/小文字,対象外戻り値>");
  EXPECT_EQ(client.right, 312);
  EXPECT_EQ(client.bottom, 189);
  EXPECT_EQ(focusText, L"OK");
  EXPECT_TRUE(seen.upper && !seen.lower && seen.none && !seen.extension);
  EXPECT_EQ(seen.panel, L"/a<0,0>");
  EXPECT_TRUE(screenshot);

  RECT host{};
  GetWindowRect(host_->window(), &host);
  const HostRect hostRect{int16_t(host.left), int16_t(host.top), int16_t(host.right - host.left),
                          int16_t(host.bottom - host.top)};
  const DialogOrigin origin =
      centredOn(hostRect, outer.right - outer.left, outer.bottom - outer.top);
  EXPECT_EQ(outer.left, origin.left);
  EXPECT_EQ(outer.top, origin.top);
}

TEST_F(MediaTypeDialogTest, EnterConfirmsAndTheChoiceReturnsUntilThePluginIsReloaded) {
  std::wstring panel;
  const auto result = open([&](HWND dialog) {
    clickItem(dialog, L"小文字");
    clickItem(dialog, L"元拡張子");
    panel = textOf(macroPanel(dialog));
    pressKey(dialog, VK_RETURN);
  });
  EXPECT_EQ(panel, L"/a<1,1>");
  EXPECT_EQ(result, u"/a<1,1>");

  const Param0View again = peek();
  EXPECT_TRUE(again.lower && again.extension);
  EXPECT_EQ(again.panel, L"/a<1,1>");

  reload();
  const Param0View fresh = peek();
  EXPECT_TRUE(fresh.upper && fresh.none);
  EXPECT_EQ(fresh.panel, L"/a<0,0>");
}

TEST_F(MediaTypeDialogTest, CancelLeavesThePreviousChoice) {
  ASSERT_EQ(open([](HWND dialog) {
              clickItem(dialog, L"小文字");
              click(childWithText(dialog, kButton, L"OK"));
            }),
            u"/a<1,0>");
  const auto cancelled = open([](HWND dialog) {
    clickItem(dialog, L"大文字");
    clickItem(dialog, L"元拡張子");
    click(childWithText(dialog, kButton, L"CANCEL"));
  });
  EXPECT_FALSE(cancelled.has_value());
  const Param0View next = peek();
  EXPECT_TRUE(next.lower && next.none);
  EXPECT_EQ(next.panel, L"/a<1,0>");
}

TEST_F(MediaTypeDialogTest, ContextMenuOmitModeAndSavedDefaultsSurviveCancel) {
  std::wstring menuBefore, menuAfter, omitted, caseOnly, afterSave;
  const auto result = open([&](HWND dialog) {
    menuBefore = chooseFromMenu(dialog, kOmitDefaults);
    omitted = textOf(macroPanel(dialog));
    clickItem(dialog, L"小文字");
    caseOnly = textOf(macroPanel(dialog));
    menuAfter = chooseFromMenu(dialog, kSaveDefaults);
    afterSave = textOf(macroPanel(dialog));
    pressKey(dialog, VK_ESCAPE);
  });
  EXPECT_FALSE(result.has_value());
  EXPECT_EQ(menuBefore, L"初期値設定|初期値保存|-|デフォルト値[そのまま*|省略]");
  EXPECT_EQ(menuAfter, L"初期値設定|初期値保存|-|デフォルト値[そのまま|省略*]");
  EXPECT_EQ(omitted, L"/a");
  EXPECT_EQ(caseOnly, L"/a<1>");
  EXPECT_EQ(afterSave, L"/a");
  EXPECT_EQ(host_->hostKey(L"Def00"), L"1");
  EXPECT_EQ(host_->hostKey(L"Def01"), L"1");
  EXPECT_EQ(host_->hostKey(L"Def02"), L"0");

  // Omit mode and the new defaults stay; the cancelled radio choice does not.
  const Param0View next = peek();
  EXPECT_TRUE(next.upper && next.none);
  EXPECT_EQ(next.panel, L"/a<0>");
}

TEST_F(MediaTypeDialogTest, RestoreDefaultsBringsBackTheSavedChoice) {
  std::wstring restored;
  Param0View seen;
  open([&](HWND dialog) {
    clickItem(dialog, L"元拡張子");
    chooseFromMenu(dialog, kSaveDefaults);
    clickItem(dialog, L"小文字");
    clickItem(dialog, L"なし");
    chooseFromMenu(dialog, kRestoreDefaults);
    seen = look(dialog);
    pressKey(dialog, VK_ESCAPE);
  });
  EXPECT_TRUE(seen.upper && seen.extension);
  EXPECT_EQ(seen.panel, L"/a<0,1>");
  EXPECT_EQ(host_->hostKey(L"Def02"), L"1");
}

TEST_F(MediaTypeDialogTest, TabVisitsOkCancelThenTheCheckedItemOfEachGroup) {
  std::vector<std::wstring> visited;
  open([&](HWND dialog) {
    clickItem(dialog, L"小文字");
    SetForegroundWindow(dialog);
    HWND ok = childWithText(dialog, kButton, L"OK");
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
    for (int i = 0; i < 5; ++i) {
      HWND before = focusOf(dialog);
      visited.push_back(textOf(before));
      pressKey(dialog, VK_TAB);
      waitUntil([&] { return focusOf(dialog) != before; });
    }
    pressKey(dialog, VK_ESCAPE);
  });
  EXPECT_EQ(visited, (std::vector<std::wstring>{L"OK", L"CANCEL", L"小文字", L"なし", L"OK"}));
}

TEST_F(MediaTypeDialogTest, PointerMovesToOkWhenSnappingIsOn) {
  BOOL previous = FALSE;
  SystemParametersInfoW(SPI_GETSNAPTODEFBUTTON, 0, &previous, 0);
  if (!SystemParametersInfoW(SPI_SETSNAPTODEFBUTTON, TRUE, nullptr, 0)) {
    GTEST_SKIP() << "snap-to-default-button setting not available";
  }
  SetCursorPos(5, 5);
  POINT pointer{}, expected{};
  open([&](HWND dialog) {
    HWND ok = childWithText(dialog, kButton, L"OK");
    RECT rect{};
    GetClientRect(ok, &rect);
    expected = {rect.right / 2, rect.bottom / 2};
    ClientToScreen(ok, &expected);
    waitUntil([&] {
      GetCursorPos(&pointer);
      return pointer.x == expected.x && pointer.y == expected.y;
    });
    pressKey(dialog, VK_ESCAPE);
  });
  SystemParametersInfoW(SPI_SETSNAPTODEFBUTTON, previous, nullptr, 0);
  EXPECT_EQ(pointer.x, expected.x);
  EXPECT_EQ(pointer.y, expected.y);
}

}  // namespace
}  // namespace sonavid::uitest
