// The one place that wires the plug-in's services: the media reader and the substitution chosen
// at initialisation (PluginState::reader / substitution), or process-wide built-in ones before
// that, and the macro entry that runs on them.
#pragma once

#include "core/media_reader.h"
#include "core/substitution.h"
#include "engine/execute_request.h"
#include "engine/macro_context.h"

namespace sonavid {

MediaReader& activeReader();
Substitution& activeSubstitution();

// pluginState() with the active reader and substitution.
MacroContext activeServices();

// The host's entry: a null request is the reset at the start of a run. Works on
// activeServices(). Returns state.macroResult's text or the constant empty text, never null;
// throws nothing.
const char16_t* executeMacro(const MacroRequest* request);

}  // namespace sonavid
