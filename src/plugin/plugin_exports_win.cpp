// The library's one exported entry and the six callbacks it hands the host. Each callback
// catches everything: no exception crosses into the host.
#include <windows.h>

#include <cstring>
#include <string_view>

#include "plugin/engine_services.h"
#include "plugin/platform_libraries_win.h"
#include "ui/dialog_hooks_win.h"
#include "ui/help_service_win.h"
#include "core/host_abi.h"
#include "plugin/plugin_lifecycle.h"
#include "engine/plugin_state.h"
#include "plugin/plugin_texts.h"

extern "C" {
void* _FormSetup = nullptr;
void* _FormParam0 = nullptr;
void* _FormParam1 = nullptr;
}

namespace sonavid {

const char16_t* __cdecl macExecute(const ExecuteRequest* request);  // execute_export_win.cpp

namespace {

constexpr char16_t kEmptyText[] = u"";

// Copies a text with its terminator into a host buffer of unknown size (the host sizes its
// buffers for these texts).
void copyToHost(char16_t* buffer, std::u16string_view text) {
  if (buffer == nullptr) return;
  std::memcpy(buffer, text.data(), text.size() * sizeof(char16_t));
  buffer[text.size()] = u'\0';
}

std::u16string_view hostText(const char16_t* text) {
  return text == nullptr ? std::u16string_view() : std::u16string_view(text);
}

void __cdecl macInitialize(const PluginInitRecord* record) {
  try {
    PluginState& state = pluginState();
    state.ownerWindow = reinterpret_cast<uintptr_t>(record ? record->hostWindow : nullptr);
    initialisePluginState(state, hostText(record ? record->iniPath : nullptr),
                          hostText(record ? record->section : nullptr));
    initialiseHelp();
    choosePlatformLibraries(state);
  } catch (...) {
  }
}

uint32_t __cdecl macGetName(const MacroNameRecord* record) {
  try {
    if (record == nullptr) return 0;
    // Only indexes 0 and 1 name a macro; anything else leaves the buffers untouched.
    if (record->macroIndex == 0 || record->macroIndex == 1) {
      const MacroTexts& texts = kMacroTexts[record->macroIndex];
      copyToHost(record->nameBuffer, texts.name);
      copyToHost(record->descriptionBuffer, texts.description);
    }
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(record->descriptionBuffer));
  } catch (...) {
    return 0;
  }
}

uint32_t __cdecl macSetup(const HostRect* rect) {
  try {
    runSetupDialog(rect ? *rect : HostRect{}, activeServices());
    return static_cast<uint32_t>(closeHelpWindow());
  } catch (...) {
    _FormSetup = nullptr;
    return 0;
  }
}

const char16_t* __cdecl macParamDialog(const ParamDialogRequest* request, const HostRect* rect) {
  try {
    if (request == nullptr || request->macroIndex > 1) return nullptr;
    PluginState& state = pluginState();
    state.macroLetter = std::u16string(1, request->macroLetter);
    state.dialogCaption = std::u16string(hostText(request->caption));
    std::u16string macroText;
    const int modalResult = runParamDialog(request->macroIndex, rect ? *rect : HostRect{}, macroText);
    const char16_t* result = nullptr;
    if (modalResult == IDOK) {
      state.paramResult = std::move(macroText);
      result = state.paramResult.empty() ? kEmptyText : state.paramResult.c_str();
    }
    closeHelpWindow();
    return result;
  } catch (...) {
    return nullptr;
  }
}

uint32_t __cdecl macFinalize() {
  try {
    finalisePluginState(pluginState());
    uninitialiseHelp();
    releasePlatformLibraries(pluginState());
  } catch (...) {
  }
  return 0;
}

}  // namespace
}  // namespace sonavid

extern "C" __declspec(dllexport) int32_t __stdcall macPlugin(sonavid::PluginDescriptor* descriptor) {
  using namespace sonavid;
  try {
    if (descriptor == nullptr) return kPluginEntryResult;
    descriptor->version = kPluginInterfaceVersion;
    descriptor->macInitialize = macInitialize;
    descriptor->macGetName = macGetName;
    descriptor->macSetup = macSetup;
    descriptor->macParamDialog = macParamDialog;
    descriptor->macExecute = macExecute;
    descriptor->macFinalize = macFinalize;
    copyToHost(descriptor->nameBuffer, kPluginName);
    copyToHost(descriptor->versionBuffer, kPluginVersionText);
  } catch (...) {
  }
  return kPluginEntryResult;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
