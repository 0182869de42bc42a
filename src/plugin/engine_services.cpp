#include "plugin/engine_services.h"

#include "engine/execute.h"
#include "engine/plugin_state.h"
#include "media/builtin_reader.h"
#include "regex/builtin_substitution.h"

namespace sonavid {
namespace {

media::BuiltinReader& builtinReader() {
  static media::BuiltinReader reader;
  return reader;
}

BuiltinSubstitution& builtinSubstitution() {
  static BuiltinSubstitution substitution;
  return substitution;
}

}  // namespace

MediaReader& activeReader() {
  PluginState& state = pluginState();
  if (state.reader) return *state.reader;
  return builtinReader();
}

Substitution& activeSubstitution() {
  PluginState& state = pluginState();
  if (state.substitution) return *state.substitution;
  return builtinSubstitution();
}

MacroContext activeServices() {
  // The state is looked up once: this runs on every macro call.
  PluginState& state = pluginState();
  MediaReader& reader = state.reader ? *state.reader : builtinReader();
  Substitution& substitution = state.substitution ? *state.substitution : builtinSubstitution();
  return {state, reader, substitution};
}

const char16_t* executeMacro(const MacroRequest* request) {
  try {
    return executeMacro(activeServices(), request);
  } catch (...) {
    // Out of memory or a failing reader: the host gets an empty text, never an exception.
    return kEmptyText;
  }
}

}  // namespace sonavid
