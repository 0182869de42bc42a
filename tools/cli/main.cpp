// sonavid: the engine and the built-in reader on the command line (native).
#include <string>
#include <vector>

#include "cli_common.h"
#include "commands.h"

int main(int argc, char** argv) {
  using namespace sonavid::cli;
  if (argc < 2) return usageError("");
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "expand") return runExpand(args);
  if (command == "info") return runInfo(args);
  if (command == "--help" || command == "-h" || command == "help") {
    usageError("");
    return kExitOk;
  }
  return usageError("unknown command: " + command);
}
