#include "ui/fonts_win.h"

#include <algorithm>

namespace sonavid::ui {

UniqueFont createFont(const FontSpec& wanted) {
  LOGFONTW font{};
  font.lfHeight = -wanted.characterHeight;  // negative: character height, not cell height
  font.lfWeight = wanted.bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = wanted.charset;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const size_t length = std::min(wanted.face.size(), size_t{LF_FACESIZE - 1});
  std::copy_n(wanted.face.data(), length, reinterpret_cast<char16_t*>(font.lfFaceName));
  return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace sonavid::ui
