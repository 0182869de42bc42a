// Controls created in pixels on a dialog, and small layout helpers around them.
#pragma once

#include <windows.h>
// After windows.h: the common-control class names and messages.
#include <commctrl.h>

#include <string_view>

namespace sonavid::ui {

struct PixelRect {
  int left;
  int top;
  int width;
  int height;
};

struct ControlSpec {
  const wchar_t* windowClass;  // WC_BUTTONW, WC_STATICW, WC_COMBOBOXW ...
  std::u16string_view text;
  DWORD style = 0;  // WS_CHILD | WS_VISIBLE are always added
  DWORD extendedStyle = 0;
  PixelRect rect{};
  int id = 0;
  HFONT font = nullptr;
};

// Creates a child control of `parent` with the given font. Controls are created in tab order.
HWND createControl(HWND parent, const ControlSpec& layout);

// Sizes a window so that its client area is width x height pixels, keeping its position.
void setClientSize(HWND window, int width, int height);

// The outer size of a window in pixels.
SIZE outerSize(HWND window);

// When the user's mouse setting snaps the pointer to the default button, moves it to the
// centre of `button` (halves rounded toward zero).
void snapPointerTo(HWND button);

}  // namespace sonavid::ui
