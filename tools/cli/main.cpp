// sonavid: the engine and the built-in reader on the command line (native).
#include <string>
#include <vector>

#include "commands.h"

int main(int argc, char** argv) {
  return sonavid::cli::runSonavid(std::vector<std::string>(argv + 1, argv + argc));
}
