// The two parameter dialogs' views.
#pragma once

#include <windows.h>

#include <string>

#include "core/host_abi.h"
#include "engine/plugin_state.h"

namespace sonavid {

// Shows TFormParam0 (media type) modally; returns IDOK with its macro text, or IDCANCEL.
INT_PTR showParam0Dialog(PluginState& state, HWND owner, const HostRect& rect,
                         std::u16string& macroText);
// Shows TFormParam1 (media info) modally; returns IDOK with its macro text, or IDCANCEL.
INT_PTR showParam1Dialog(PluginState& state, HWND owner, const HostRect& rect,
                         std::u16string& macroText);

}  // namespace sonavid
