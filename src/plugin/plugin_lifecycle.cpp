#include "plugin/plugin_lifecycle.h"

#include "common/platform.h"
#include "common/text.h"
#include "plugin/plugin_texts.h"
#include "settings/settings_store.h"

namespace sonavid {

void initialisePluginState(PluginState& state, std::u16string_view hostIniPath,
                           std::u16string_view hostSection) {
  // The help file sits beside the host program, not beside the plug-in.
  const std::u16string exePath = platform().hostExecutablePath();
  state.helpFilePath = std::u16string(directoryPart(exePath)) + std::u16string(kHelpFileName);

  state.settings.hostIniPath = std::u16string(hostIniPath);
  state.settings.hostSection = std::u16string(hostSection);
  state.settings.dataFilePath = dataFilePathFor(state.settings.hostIniPath);

  loadHostValues(state.settings);
  state.lastCase = state.settings.def01;
  state.lastNonTarget = state.settings.def02;

  migrateAndLoadDataFile(state.settings);
}

void finalisePluginState(PluginState& state) {
  for (auto& list : state.settings.itemLists) ItemList().swap(list);
  saveHostValues(state.settings);
}

}  // namespace sonavid
