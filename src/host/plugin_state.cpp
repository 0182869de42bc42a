#include "host/plugin_state.h"

#include "engine/media_reader.h"
#include "engine/substitution.h"

namespace sonavid {

PluginState& pluginState() {
  static PluginState state;
  return state;
}

void resetPluginState() { pluginState() = PluginState{}; }

}  // namespace sonavid
