#include "arguments.h"

#include <array>

namespace sonavid::cli {
namespace {

constexpr std::array<OptionSpec, 1> kCommonOptions = {{{"--codepage", true}}};

const OptionSpec* findOption(std::string_view name, std::span<const OptionSpec> options) {
  for (std::span<const OptionSpec> list : {options, std::span<const OptionSpec>(kCommonOptions)}) {
    for (const OptionSpec& option : list) {
      if (option.name == name) return &option;
    }
  }
  return nullptr;
}

}  // namespace

std::string parseArguments(const std::vector<std::string>& args, std::span<const OptionSpec> options,
                           Arguments& parsed) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (parsed.sawSeparator || arg == "-" || !arg.starts_with("-")) {
      parsed.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      parsed.sawSeparator = true;
      parsed.operandsBeforeSeparator = parsed.operands.size();
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      parsed.help = true;
      continue;
    }
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const OptionSpec* option = findOption(name, options);
    if (option == nullptr) return "unknown option: " + name;
    if (!option->takesValue) {
      if (equals != std::string::npos) return name + " takes no value";
      parsed.flags.insert(name);
    } else if (equals != std::string::npos) {
      parsed.values[name] = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      parsed.values[name] = args[++i];
    } else {
      return name + " needs a value";
    }
  }
  if (!parsed.sawSeparator) parsed.operandsBeforeSeparator = parsed.operands.size();
  return "";
}

}  // namespace sonavid::cli
