// Fonts of the dialogs, given by face and character height in pixels (no scaling with the
// screen's pixel density).
#pragma once

#include <windows.h>

#include <string_view>

#include "ui/win_handles_win.h"

namespace sonavid::ui {

inline constexpr std::u16string_view kUiGothic = u"MS UI Gothic";
inline constexpr std::u16string_view kFixedGothic = u"ＭＳ ゴシック";  // fixed-pitch

struct FontSpec {
  std::u16string_view face;
  int characterHeight = 12;  // pixels, internal leading excluded
  bool bold = false;
  BYTE charset = SHIFTJIS_CHARSET;
};

UniqueFont createFont(const FontSpec& wanted);

}  // namespace sonavid::ui
