#include "console_out.h"

#include <windows.h>

#include "common/text.h"

namespace sonavid::host {
namespace {

void writeBytes(DWORD which, std::string_view bytes) {
  HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  // Consoles show UTF-8 once their output code page is UTF-8; files and pipes take the bytes.
  static const bool consoleSet = SetConsoleOutputCP(CP_UTF8) != 0;
  (void)consoleSet;
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written == 0) {
      return;
    }
    bytes.remove_prefix(written);
  }
}

}  // namespace

void writeOut(std::u16string_view text) { writeBytes(STD_OUTPUT_HANDLE, utf16ToUtf8(text)); }
void writeErr(std::string_view utf8) { writeBytes(STD_ERROR_HANDLE, utf8); }

}  // namespace sonavid::host
