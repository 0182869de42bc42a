// HTML Help for the plug-in's dialogs: hhctrl.ocx from the system folder, its wide entry by
// ordinal 15.
#pragma once

#include <cstdint>

namespace sonavid {

// Exact title of the help viewer's window; the close step finds the window by it when it has
// no handle of its own.
inline constexpr const wchar_t kHelpWindowTitle[] =
    L"Zelkor\u30D7\u30E9\u30B0\u30A4\u30F3 \u97F3\u58F0/\u52D5\u753B\u30D5\u30A1\u30A4\u30EB\u60C5\u5831\u53D6\u5F97\u30DE\u30AF\u30ED\u30D8\u30EB\u30D7";

void initialiseHelp();    // HH_INITIALIZE, cookie into the plug-in state
void uninitialiseHelp();  // HH_UNINITIALIZE with that cookie
// Opens the help file at a context number for the owner window (HH_HELP_CONTEXT).
void openHelpTopic(uint32_t context);
// Sends WM_CLOSE to the help window if one is open: the window openHelpTopic opened, or,
// when it opened none, the window with the help window's title. Returns the message's
// result, else 0.
uintptr_t closeHelpWindow();

}  // namespace sonavid
