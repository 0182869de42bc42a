#include "engine/plugin_state.h"

#include "core/media_reader.h"
#include "core/substitution.h"

namespace sonavid {

PluginState& pluginState() {
  static PluginState state;
  return state;
}

void resetPluginState() { pluginState() = PluginState{}; }

}  // namespace sonavid
