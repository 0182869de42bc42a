// What the commands of the `sonavid` tool share: exit codes, the code page, reading files
// named on the command line, output.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sonavid::cli {

// Exit codes: 0 success; 1 a file could not be read (preview: or a name was flagged); 2 wrong
// usage.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFileFailed = 1;
inline constexpr int kExitUsage = 2;

// The iconv encoding for a code page given on the command line: a Windows code page number
// ("932", "1252"), or an encoding name iconv knows ("CP932", "SHIFT_JIS", "WINDOWS-1252").
// Nothing for an empty or unknown name.
std::optional<std::string> iconvNameOfCodePage(std::string_view codePage);

// The code page a Japanese Windows or another system would use, from the locale variables in
// POSIX order of precedence (LC_ALL, LC_CTYPE, LANG; the first that is set and not empty):
// "932" for a Japanese locale (ja_JP.UTF-8, ja_JP.eucJP, ja ...), "1252" otherwise.
std::string codePageOfLocale(const char* lcAll, const char* lcCtype, const char* lang);

// Installs the platform with that encoding as the ANSI code page for the rest of the process.
void useCodePage(const std::string& iconvName);

// Why a file named on the command line cannot be read ("No such file or directory", "is a
// directory" ...), or "" when it can. `path` holds the argument's bytes.
std::string fileReadProblem(const std::string& path);

// Reports a file that cannot be read on stderr: "sonavid: FILE: REASON".
void reportFileProblem(const std::string& path, const std::string& problem);

// A path argument as UTF-16 (bytes that are not UTF-8 kept as lone surrogates), and as shown
// in plain output.
std::u16string pathArgument(const std::string& path);
std::string shownPath(const std::string& path);

// Writes UTF-16 text to stdout as UTF-8, as it is or escaped for a plain-output column.
void printText(std::u16string_view text);
void printEscaped(std::u16string_view text);

// Loads the host settings file and the data file beside it into the plug-in's state, as the
// host's initialisation does; nothing when `iniPath` is empty.
void loadHostSettings(const std::string& iniPath, const std::string& section);

}  // namespace sonavid::cli
