#include "ui/fonts_win.h"

#include <algorithm>

namespace sonavid::ui {

UniqueFont createFont(const FontSpec& spec) {
  LOGFONTW font{};
  font.lfHeight = -spec.characterHeight;  // negative: character height, not cell height
  font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = spec.charset;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const size_t length = std::min(spec.face.size(), size_t{LF_FACESIZE - 1});
  std::copy_n(spec.face.data(), length, reinterpret_cast<char16_t*>(font.lfFaceName));
  return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace sonavid::ui
