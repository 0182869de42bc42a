// Command-line arguments of the `sonavid` commands: options (`--name VALUE`, `--name=VALUE`,
// flags) and operands, with "--" ending the options.
#pragma once

#include <map>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sonavid::cli {

struct OptionSpec {
  std::string_view name;  // with its dashes: "--json"
  bool takesValue = false;
};

struct Arguments {
  std::map<std::string, std::string, std::less<>> values;  // the last value of each option
  std::set<std::string, std::less<>> flags;
  std::vector<std::string> operands;
  // How many operands came before "--"; all of them when there was none.
  size_t operandsBeforeSeparator = 0;
  bool sawSeparator = false;
  bool help = false;

  bool has(std::string_view flag) const { return flags.contains(flag); }
  std::string value(std::string_view option) const {
    const auto found = values.find(option);
    return found == values.end() ? std::string() : found->second;
  }
};

// Parses `args` against the command's options plus the ones every command takes ("--help",
// "-h", "--codepage"). Returns an error message, or "" when the arguments were understood.
std::string parseArguments(const std::vector<std::string>& args, std::span<const OptionSpec> options,
                           Arguments& parsed);

}  // namespace sonavid::cli
