// The subcommands of the `sonavid` tool; each takes the arguments after its name.
#pragma once

#include <string>
#include <vector>

namespace sonavid::cli {

int runExpand(const std::vector<std::string>& args);
int runInfo(const std::vector<std::string>& args);

}  // namespace sonavid::cli
