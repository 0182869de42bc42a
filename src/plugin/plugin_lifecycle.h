// What macInitialize and macFinalize do, apart from the Windows-only steps (owner window,
// HTML Help), so the order of the steps is testable natively.
#pragma once

#include <string_view>

#include "engine/plugin_state.h"

namespace sonavid {

// Help file path, stored paths, host keys, lastCase/lastNonTarget, data file migration and
// the eight item lists.
void initialisePluginState(PluginState& state, std::u16string_view hostIniPath,
                           std::u16string_view hostSection);

// Destroys the item lists and writes Def11 and Def12 back.
void finalisePluginState(PluginState& state);

}  // namespace sonavid
