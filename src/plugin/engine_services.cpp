#include "plugin/engine_services.h"

#include "engine/execute.h"
#include "engine/plugin_state.h"
#include "media/builtin_reader.h"
#include "regex/builtin_substitution.h"

namespace sonavid {

MediaReader& activeReader() {
  PluginState& state = pluginState();
  if (state.reader) return *state.reader;
  static media::BuiltinReader builtin;
  return builtin;
}

Substitution& activeSubstitution() {
  PluginState& state = pluginState();
  if (state.substitution) return *state.substitution;
  static BuiltinSubstitution builtin;
  return builtin;
}

MacroContext activeServices() { return {pluginState(), activeReader(), activeSubstitution()}; }

const char16_t* executeMacro(const MacroRequest* request) {
  try {
    return executeMacro(activeServices(), request);
  } catch (...) {
    // Out of memory or a failing reader: the host gets an empty text, never an exception.
    return kEmptyText;
  }
}

}  // namespace sonavid
