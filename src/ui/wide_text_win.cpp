#include "ui/wide_text_win.h"

namespace sonavid::ui {

std::u16string windowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  const int copied = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

void setWindowText(HWND window, std::u16string_view text) {
  SetWindowTextW(window, wide(std::u16string(text)));
}

}  // namespace sonavid::ui
