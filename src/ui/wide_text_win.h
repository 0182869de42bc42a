// The boundary between the portable UTF-16 texts and the Windows API: wchar_t is 16 bits wide
// on Windows, so a char16_t text is passed by reinterpreting its pointer, without a copy.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace sonavid::ui {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::u16string fromWide(const wchar_t* text) {
  return text == nullptr ? std::u16string()
                         : std::u16string(reinterpret_cast<const char16_t*>(text));
}

// The text of a window (a control's caption, a dialog's title).
std::u16string windowText(HWND window);
void setWindowText(HWND window, std::u16string_view text);

}  // namespace sonavid::ui
