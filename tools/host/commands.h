// The reference host's subcommands.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "shared/expansion_run.h"
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
int runPreview(HostContext& context, const Arguments& args);

// Prints "sonavid-host COMMAND: MESSAGE", the command's usage and a pointer to --help on
// stderr; returns 2, the exit status of wrong usage.
int usageError(std::wstring_view command, std::string_view message);

// The leading "--letter0 C" and "--letter1 C" options from args[i] on; `i` ends after them.
// Returns an error message, or "".
std::string readLetters(const Arguments& args, size_t& i, char16_t& letter0, char16_t& letter1);

// A file named on the command line as the host passes it: its full folder (with the trailing
// separator) and its name.
RunFile splitFullPath(const std::wstring& path);

std::u16string u16(const std::wstring& text);

// A centred rectangle over the host window, as a host passes it to the dialogs.
HostRect hostRectOf(HWND window);

}  // namespace sonavid::host
