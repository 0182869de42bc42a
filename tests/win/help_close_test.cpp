// After a dialog callback the help viewer's window, found by its exact title, is closed.
#include <gtest/gtest.h>

#include "ui/help_service_win.h"
#include "win/plugin_fixture.h"

namespace sonavid::test {
namespace {

// Spelled out here rather than taken from the plug-in, so a changed title fails the test.
constexpr wchar_t kHelpTitle[] = L"Zelkorプラグイン 音声/動画ファイル情報取得マクロヘルプ";

LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    ++*reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND createWindowTitled(const wchar_t* title, int* closeCount) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = countingProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"FakeHelpViewer";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(L"FakeHelpViewer", title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(closeCount));
  return window;
}

TEST(HelpWindow, OnlyTheWindowWithTheExactTitleIsClosed) {
  int helpCloses = 0, otherCloses = 0;
  HWND other = createWindowTitled(L"Zelkorプラグイン 音声/動画ファイル情報取得マクロヘルプ (2)", &otherCloses);
  HWND help = createWindowTitled(kHelpTitle, &helpCloses);
  ASSERT_NE(help, nullptr);
  closeHelpWindow();
  EXPECT_EQ(helpCloses, 1);
  EXPECT_FALSE(IsWindow(help));
  EXPECT_EQ(otherCloses, 0);
  EXPECT_TRUE(IsWindow(other));
  DestroyWindow(other);
}

TEST(HelpWindow, NothingHappensWithoutAHelpWindow) {
  EXPECT_EQ(closeHelpWindow(), 0u);
}

}  // namespace
}  // namespace sonavid::test
