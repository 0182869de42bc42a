// The options of the commands that expand macros as a host does: the host's macro letters and
// its settings file.
#pragma once

#include <array>
#include <string>

#include "arguments.h"

namespace sonavid::cli {

inline constexpr std::array<OptionSpec, 4> kMacroOptions = {
    {{"--letter0", true}, {"--letter1", true}, {"--ini", true}, {"--section", true}}};

struct MacroOptions {
  char16_t letter0 = u'a';
  char16_t letter1 = u'b';
  std::string iniPath;
  std::string section;
};

// Reads the options into `options`; returns an error message, or "". The settings are not
// loaded here (loadHostSettings).
std::string readMacroOptions(const Arguments& args, MacroOptions& options);

}  // namespace sonavid::cli
