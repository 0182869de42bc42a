// What a macro works with: the plug-in's state (defaults, item lists, result text), the media
// reader holding the request's file, and the substitution for user items.
#pragma once

#include <cstdint>
#include <string>

#include "engine/execute_request.h"
#include "core/media_reader.h"
#include "core/substitution.h"
#include "engine/plugin_state.h"

namespace sonavid {

struct MacroContext {
  PluginState& state;
  MediaReader& reader;
  Substitution& substitution;
};

// One entry of the macro table: leaves its answer in state.macroResult and returns the text
// handed to the host.
using MacroFunction = const char16_t* (*)(const MacroContext& context, const MacroRequest& request);

// The one empty text returned for every request that yields nothing.
inline constexpr const char16_t* kEmptyText = u"";

// The host's view of a result: the buffer's characters, or the constant empty text.
inline const char16_t* resultText(const std::u16string& result) {
  return result.empty() ? kEmptyText : result.c_str();
}

}  // namespace sonavid
