#include "engine/engine_services.h"

#include "host/plugin_state.h"
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

}  // namespace sonavid
