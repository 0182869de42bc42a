#include "media/tags/byte_text.h"

#include "common/legacy_text.h"
#include "common/platform.h"
#include "common/text.h"

namespace sonavid::media {
namespace {

constexpr unsigned kShiftJisCodePage = 932;
constexpr unsigned kWindows1252CodePage = 1252;

}  // namespace

std::u16string decodeByteText(std::string_view bytes) {
  if (bytes.empty()) return {};
  // ASCII reads the same in every ANSI code page: no conversion call for the usual tag.
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return std::u16string(bytes.begin(), bytes.end());
  if (isMultiByteUtf8(bytes)) return utf8ToUtf16(bytes);
  const unsigned codePage = platform().ansiCodePage();
  if (codePage != kShiftJisCodePage && codePage != kWindows1252CodePage) {
    return platform().ansiToUtf16(bytes);
  }
  const LegacyEncoding tie =
      codePage == kShiftJisCodePage ? LegacyEncoding::kShiftJis : LegacyEncoding::kWindows1252;
  if (guessLegacyEncoding(bytes, tie) == LegacyEncoding::kShiftJis) {
    return platform().shiftJisToUtf16(withoutCutShiftJisCharacter(bytes));
  }
  return windows1252ToUtf16(bytes);
}

std::string_view untilNul(std::string_view bytes) {
  const size_t nul = bytes.find('\0');
  return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

std::u16string trimTrailing(std::u16string text, bool spacesToo) {
  while (!text.empty() && (text.back() == u'\0' || (spacesToo && text.back() == u' '))) {
    text.pop_back();
  }
  return text;
}

}  // namespace sonavid::media
