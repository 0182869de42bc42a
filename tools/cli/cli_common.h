// Helpers shared by the commands of the `sonavid` tool.
#pragma once

#include <string>
#include <string_view>

namespace sonavid::cli {

// Exit codes: 0 success, 1 some file could not be read, 2 wrong usage.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFileFailed = 1;
inline constexpr int kExitUsage = 2;

// Prints the usage text to stderr and returns kExitUsage.
int usageError(std::string_view message);

// Installs the platform with the given iconv encoding as the ANSI code page for the rest of
// the process ("CP932", "WINDOWS-1252" ..., or a Windows code page number such as "932").
// False when the system does not know the encoding.
bool useCodePage(const std::string& name);

// Writes UTF-16 text to stdout as UTF-8.
void printText(std::u16string_view text);

}  // namespace sonavid::cli
