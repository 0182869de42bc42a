// The small Win32 helpers the dialogs are built on.
#include <gtest/gtest.h>
#include <windows.h>

#include <utility>

#include "ui/dialog_template.h"
#include "ui/unique_handle.h"

namespace sonavid::ui {
namespace {

int g_released = 0;
int g_lastReleased = 0;

struct CountingDeleter {
  void operator()(int handle) const {
    ++g_released;
    g_lastReleased = handle;
  }
};
using Owned = UniqueHandle<int, CountingDeleter>;

TEST(UniqueHandleTest, ReleasesExactlyOnceWhateverTheOwnerBecomes) {
  g_released = 0;
  {
    Owned a(7);
    Owned b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), 7);
    Owned c;
    c = std::move(b);
    c = std::move(c);  // self-assignment keeps the handle
    EXPECT_EQ(c.get(), 7);
    EXPECT_EQ(g_released, 0);
    c.reset(9);
    EXPECT_EQ(g_released, 1);
    EXPECT_EQ(g_lastReleased, 7);
    Owned d(11);
    d = std::move(c);  // d's old handle goes
    EXPECT_EQ(g_lastReleased, 11);
    EXPECT_EQ(d.release(), 9);
    EXPECT_FALSE(d);
  }
  EXPECT_EQ(g_released, 2);  // 9 was released by hand, so only 7 and 11
}

INT_PTR CALLBACK closeAtOnce(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const bool ok = std::wstring(title) == L"Title" && (style & WS_CAPTION) == WS_CAPTION &&
                    (style & WS_THICKFRAME) == 0;
    EndDialog(window, ok ? 42 : 1);
    return TRUE;
  }
  return FALSE;
}

TEST(DialogTemplateTest, TheDialogManagerAcceptsTheTemplate) {
  DialogTemplateSpec layout;
  layout.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  layout.title = std::u16string(u"Title\0ignored", 13);
  const auto words = buildDialogTemplate(layout);
  ASSERT_EQ(words.size(), 2 + 2 + 1 + 4 + 1 + 1 + 6u);
  EXPECT_EQ(DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                    reinterpret_cast<const DLGTEMPLATE*>(words.data()), nullptr,
                                    &closeAtOnce, 0),
            42);

  layout.style |= kDsSetFont;
  layout.fontFace = u"MS UI Gothic";
  const auto withFont = buildDialogTemplate(layout);
  EXPECT_EQ(withFont.size(), words.size() + 1 + 13);
  EXPECT_EQ(DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                    reinterpret_cast<const DLGTEMPLATE*>(withFont.data()), nullptr,
                                    &closeAtOnce, 0),
            42);
}

}  // namespace
}  // namespace sonavid::ui
