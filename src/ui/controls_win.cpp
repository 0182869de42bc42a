#include "ui/controls_win.h"

#include <string>

#include "ui/wide_text_win.h"

namespace sonavid::ui {

HWND createControl(HWND parent, const ControlSpec& layout) {
  const std::u16string text(layout.text);
  HWND control = CreateWindowExW(
      layout.extendedStyle, layout.windowClass, wide(text), WS_CHILD | WS_VISIBLE | layout.style,
      layout.rect.left, layout.rect.top, layout.rect.width, layout.rect.height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  if (control != nullptr && layout.font != nullptr) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(layout.font), FALSE);
  }
  return control;
}

void setClientSize(HWND window, int width, int height) {
  RECT outer{};
  RECT client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  const int frameWidth = (outer.right - outer.left) - (client.right - client.left);
  const int frameHeight = (outer.bottom - outer.top) - (client.bottom - client.top);
  SetWindowPos(window, nullptr, 0, 0, width + frameWidth, height + frameHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE outerSize(HWND window) {
  RECT outer{};
  GetWindowRect(window, &outer);
  return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

void snapPointerTo(HWND button) {
  if (button == nullptr) return;
  BOOL snap = FALSE;
  if (!SystemParametersInfoW(SPI_GETSNAPTODEFBUTTON, 0, &snap, 0) || !snap) return;
  RECT client{};
  GetClientRect(button, &client);
  POINT centre{client.right / 2, client.bottom / 2};
  ClientToScreen(button, &centre);
  SetCursorPos(centre.x, centre.y);
}

}  // namespace sonavid::ui
