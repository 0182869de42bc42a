// An in-memory dialog template with no controls: the window's style, title and (optionally)
// font. Dialogs built on it create their controls in pixels when they initialise, so the
// template carries no dialog units. Portable: the words are laid out as the Win32 dialog
// manager reads them (DLGTEMPLATE, then menu, class, title and font).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sonavid::ui {

inline constexpr uint32_t kDsSetFont = 0x40;  // DS_SETFONT: a point size and face follow

struct DialogTemplateSpec {
  uint32_t style = 0;
  uint32_t extendedStyle = 0;
  std::u16string title;
  // Used only when `style` holds kDsSetFont.
  uint16_t fontPointSize = 9;
  std::u16string fontFace;
};

// 16-bit words of the template; the vector's storage is suitably aligned for the dialog
// manager (DWORD alignment). A NUL inside the title or face ends it there.
std::vector<uint16_t> buildDialogTemplate(const DialogTemplateSpec& layout);

}  // namespace sonavid::ui
