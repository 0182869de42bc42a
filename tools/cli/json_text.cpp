#include "json_text.h"

#include <cstdio>

#include "common/text.h"

namespace sonavid::cli {

std::string jsonString(std::u16string_view text) {
  std::string out = "\"";
  auto escape = [&](unsigned unit) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", unit);
    out += escaped;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      out += utf16ToUtf8(text.substr(i++, 2));
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      // A lone surrogate, such as a file-name byte that was not UTF-8: JSON can carry it as an
      // escape, where UTF-8 cannot.
      escape(c);
    } else if (c == u'"') {
      out += "\\\"";
    } else if (c == u'\\') {
      out += "\\\\";
    } else if (c == u'\n') {
      out += "\\n";
    } else if (c == u'\r') {
      out += "\\r";
    } else if (c == u'\t') {
      out += "\\t";
    } else if (c < 0x20) {
      escape(c);
    } else {
      out += utf16ToUtf8(text.substr(i, 1));
    }
  }
  out += '"';
  return out;
}

}  // namespace sonavid::cli
