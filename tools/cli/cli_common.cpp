#include "cli_common.h"

#include <iconv.h>

#include <cstdio>
#include <memory>

#include "common/platform_posix.h"
#include "common/text.h"

namespace sonavid::cli {

int usageError(std::string_view message) {
  if (!message.empty()) {
    std::fprintf(stderr, "sonavid: %.*s\n", static_cast<int>(message.size()), message.data());
  }
  std::fputs(
      "usage:\n"
      "  sonavid expand [--letter0 C] [--letter1 C] [--ini FILE --section NAME]\n"
      "                 [--codepage NAME] MACROTEXT... -- FILE...\n"
      "      Expands each macro text (\"/a\", \"/b<MP3,TIME>\" ...) for each file, as a host\n"
      "      does in one run; prints the file and its expansions, tab-separated.\n"
      "  sonavid info [--json] [--codepage NAME] FILE...\n"
      "      Prints the type code and every value the built-in reader knows.\n",
      stderr);
  return kExitUsage;
}

bool useCodePage(const std::string& name) {
  // A Windows code page number ("932") names iconv's "CP932".
  const bool isNumber = !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
  const std::string iconvName = isNumber ? "CP" + name : name;
  const iconv_t probe = iconv_open("UTF-16LE", iconvName.c_str());
  if (probe == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(probe);
  // Lives until the process ends: the platform seam keeps a plain pointer to it.
  static std::unique_ptr<PosixPlatform> installed;
  installed = std::make_unique<PosixPlatform>(iconvName);
  setPlatform(installed.get());
  return true;
}

void printText(std::u16string_view text) {
  const std::string bytes = utf16ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

}  // namespace sonavid::cli
