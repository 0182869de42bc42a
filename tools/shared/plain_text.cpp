#include "plain_text.h"

namespace sonavid::tools {
namespace {

void appendHex(std::u16string& out, unsigned value, int digits) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::u16string escapeForPlainOutput(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\t') {
      out += u"\\t";
    } else if (c == u'\n') {
      out += u"\\n";
    } else if (c == u'\r') {
      out += u"\\r";
    } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
      out += u"\\x";
      appendHex(out, c, 2);
    } else if (c >= 0xDC80 && c <= 0xDCFF) {  // a low surrogate reached here has no pair
      out += u"\\x";
      appendHex(out, c - 0xDC00, 2);
    } else if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
      out += c;
      out += text[++i];
    } else if (isHighSurrogate(c) || isLowSurrogate(c) || c == 0x2028 || c == 0x2029) {
      out += u"\\u";
      appendHex(out, c, 4);
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace sonavid::tools
