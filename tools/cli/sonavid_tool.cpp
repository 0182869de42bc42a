// The tool's entry: the command table, --help and --version, the code page, usage errors.
#include <array>
#include <cstdio>
#include <cstdlib>

#include "cli_common.h"
#include "commands.h"

#ifndef SONAVID_VERSION
#define SONAVID_VERSION "unknown"
#endif

namespace sonavid::cli {
namespace {

constexpr std::array<const Command*, 3> kCommands = {&kInfoCommand, &kExpandCommand, &kPreviewCommand};

constexpr std::string_view kToolHelp =
    "usage: sonavid COMMAND [OPTIONS] ARGUMENTS...\n"
    "       sonavid --help | --version\n"
    "The plug-in's media reader and macros on the command line.\n"
    "\n"
    "Commands:\n"
    "  info      the type and the values the reader finds in media files\n"
    "  expand    macro texts expanded for each file, as a host does in one run\n"
    "  preview   the names a file-name template would give files; renames nothing\n"
    "\n"
    "Options of every command:\n"
    "  --codepage CP  the Windows code page that legacy tags and texts are in: a number\n"
    "                 (932 Japanese, 1252 Western) or an encoding name; by default 932 when\n"
    "                 the locale (LC_ALL, LC_CTYPE, LANG) is Japanese, 1252 otherwise\n"
    "  -h, --help     this text; \"sonavid COMMAND --help\" for the command's own\n"
    "\n"
    "Exit status: 0 done; 1 a file could not be read (preview: or a name was flagged);\n"
    "2 wrong usage.\n";

void printToolUsageError(std::string_view message) {
  std::fprintf(stderr, "sonavid: %.*s\n", static_cast<int>(message.size()), message.data());
  std::fputs("usage: sonavid info|expand|preview [OPTIONS] ARGUMENTS...\n"
             "Try 'sonavid --help' for more information.\n",
             stderr);
}

}  // namespace

int usageError(const Command& command, std::string_view message) {
  std::fprintf(stderr, "sonavid %.*s: %.*s\n%.*sTry 'sonavid %.*s --help' for more information.\n",
               static_cast<int>(command.name.size()), command.name.data(),
               static_cast<int>(message.size()), message.data(),
               static_cast<int>(command.usage.size()), command.usage.data(),
               static_cast<int>(command.name.size()), command.name.data());
  return kExitUsage;
}

int runSonavid(const std::vector<std::string>& args) {
  if (args.empty()) {
    printToolUsageError("no command given");
    return kExitUsage;
  }
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "help") {
    std::fwrite(kToolHelp.data(), 1, kToolHelp.size(), stdout);
    return kExitOk;
  }
  if (name == "--version") {
    std::puts("sonavid " SONAVID_VERSION);
    return kExitOk;
  }
  const Command* command = nullptr;
  for (const Command* candidate : kCommands) {
    if (candidate->name == name) command = candidate;
  }
  if (command == nullptr) {
    printToolUsageError("unknown command: " + name);
    return kExitUsage;
  }

  Arguments parsed;
  const std::string error =
      parseArguments(std::vector<std::string>(args.begin() + 1, args.end()), command->options, parsed);
  if (!error.empty()) return usageError(*command, error);
  if (parsed.help) {
    std::printf("%.*s%.*s", static_cast<int>(command->usage.size()), command->usage.data(),
                static_cast<int>(command->help.size()), command->help.data());
    if (command->printMoreHelp != nullptr) command->printMoreHelp();
    return kExitOk;
  }
  const bool codePageGiven = parsed.values.contains("--codepage");
  const std::string codePage =
      codePageGiven ? parsed.value("--codepage")
                    : codePageOfLocale(std::getenv("LC_ALL"), std::getenv("LC_CTYPE"), std::getenv("LANG"));
  const std::optional<std::string> iconvName = iconvNameOfCodePage(codePage);
  if (!iconvName) {
    return usageError(*command, codePage.empty() ? std::string("the code page is empty")
                                                 : "unknown code page: " + codePage);
  }
  useCodePage(*iconvName);
  const int status = command->run(parsed);
  std::fflush(stdout);
  return status;
}

}  // namespace sonavid::cli
