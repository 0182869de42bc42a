// The commands of the `sonavid` tool. Each has its options, its help text and a function that
// runs it on arguments already parsed (the code page already in use).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "arguments.h"

namespace sonavid::cli {

struct Command {
  std::string_view name;
  std::string_view usage;  // the usage lines, "usage: sonavid NAME ..."
  std::string_view help;   // what follows the usage lines in --help
  std::span<const OptionSpec> options;
  int (*run)(const Arguments& args);
  void (*printMoreHelp)() = nullptr;  // help made at run time, printed after `help`
};

extern const Command kInfoCommand;
extern const Command kExpandCommand;
extern const Command kPreviewCommand;

// Prints "sonavid: MESSAGE", the command's usage lines and a pointer to --help on stderr, and
// returns kExitUsage.
int usageError(const Command& command, std::string_view message);

// The whole tool: `args` are the arguments after the program name. Returns the exit code.
int runSonavid(const std::vector<std::string>& args);

}  // namespace sonavid::cli
