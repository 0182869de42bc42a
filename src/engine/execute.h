// Expansion of one macro for one file: the reset request, the skip flag, loading each file into
// the media reader once, and dispatch to the two macros.
#pragma once

#include <string>
#include <string_view>

#include "engine/execute_request.h"
#include "engine/macro_context.h"

namespace sonavid {

// A null request is the reset at the start of a run. Returns state.macroResult's text or the
// constant empty text, never null. The plug-in's entry on its chosen services is in
// plugin/engine_services.h.
const char16_t* executeMacro(const MacroContext& context, const MacroRequest* request);

// The path the reader loads, written over `path` (whose memory serves file after file):
// folder, a "\" unless the folder already ends in "\" or "/", and the file name. An empty
// folder gives "\" and the name.
void joinMediaPath(std::u16string_view directory, std::u16string_view fileName,
                   std::u16string& path);

}  // namespace sonavid
