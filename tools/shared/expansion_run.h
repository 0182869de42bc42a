// A run over files as a host drives it: a reset request, then for each file (numbered from 0)
// every macro in order with call numbers from 1.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/execute_request.h"

namespace sonavid {

struct RunMacro {
  int32_t macroIndex = 0;
  std::u16string parameterText;
};

struct RunFile {
  std::u16string directory;
  std::u16string fileName;
};

using ExecuteFunction = std::function<const char16_t*(const MacroRequest*)>;

// The expansions of every macro for every file: one row per file, one text per macro.
std::vector<std::vector<std::u16string>> expandRun(const std::vector<RunMacro>& macros,
                                                   const std::vector<RunFile>& files,
                                                   const ExecuteFunction& execute);

// Splits a local path into folder (with its trailing separator) and name. A bare name gets the
// current folder, "./", since an empty folder means the root to the engine.
RunFile splitLocalPath(std::u16string_view path);

}  // namespace sonavid
