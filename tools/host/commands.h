// The reference host's subcommands.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "plugin_client.h"

namespace sonavid::host {

struct HostContext {
  PluginClient& plugin;
  HWND window;          // the host's own window, owner of the plug-in's dialogs
  std::wstring iniPath;
  std::wstring section;
};

using Arguments = std::vector<std::wstring>;

int runNames(HostContext& context, const Arguments& args);
int runExpand(HostContext& context, const Arguments& args);
int runParam(HostContext& context, const Arguments& args);
int runSetup(HostContext& context, const Arguments& args);

// A centred rectangle over the host window, as a host passes it to the dialogs.
HostRect hostRectOf(HWND window);

}  // namespace sonavid::host
