#include "host/plugin_lifecycle.h"

#include "common/platform.h"
#include "common/text.h"
#include "host/plugin_texts.h"
#include "host/settings_store.h"

namespace sonavid {

void initialisePluginState(PluginState& state, std::u16string_view hostIniPath,
                           std::u16string_view hostSection) {
  // The help file sits beside the host program, not beside the plug-in.
  const std::u16string exePath = platform().hostExecutablePath();
  state.helpFilePath = std::u16string(directoryPart(exePath)) + std::u16string(kHelpFileName);

  state.hostIniPath = std::u16string(hostIniPath);
  state.hostSection = std::u16string(hostSection);
  state.dataFilePath = dataFilePathFor(state.hostIniPath);

  loadHostValues(state);
  state.lastCase = state.def01;
  state.lastNonTarget = state.def02;

  migrateAndLoadDataFile(state);
}

void finalisePluginState(PluginState& state) {
  for (auto& list : state.itemLists) ItemList().swap(list);
  saveHostValues(state);
}

}  // namespace sonavid
