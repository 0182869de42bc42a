#include "ui/dialog_template.h"

namespace sonavid::ui {
namespace {

void appendDword(std::vector<uint16_t>& words, uint32_t value) {
  words.push_back(static_cast<uint16_t>(value & 0xFFFF));
  words.push_back(static_cast<uint16_t>(value >> 16));
}

void appendText(std::vector<uint16_t>& words, std::u16string_view text) {
  for (char16_t c : text) {
    if (c == u'\0') break;
    words.push_back(c);
  }
  words.push_back(0);
}

}  // namespace

std::vector<uint16_t> buildDialogTemplate(const DialogTemplateSpec& layout) {
  std::vector<uint16_t> words;
  appendDword(words, layout.style);
  appendDword(words, layout.extendedStyle);
  words.push_back(0);                              // no controls in the template
  for (int i = 0; i < 4; ++i) words.push_back(0);  // x, y, cx, cy: set when the dialog opens
  words.push_back(0);                              // no menu
  words.push_back(0);                              // the predefined dialog class
  appendText(words, layout.title);
  if ((layout.style & kDsSetFont) != 0) {
    words.push_back(layout.fontPointSize);
    appendText(words, layout.fontFace);
  }
  return words;
}

}  // namespace sonavid::ui
