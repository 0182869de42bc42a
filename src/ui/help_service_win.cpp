#include "ui/help_service_win.h"

#include <windows.h>

#include <string>
#include <utility>

#include "engine/plugin_state.h"

namespace sonavid {
namespace {

constexpr UINT kHhHelpContext = 0x000F;
constexpr UINT kHhInitialize = 0x001C;
constexpr UINT kHhUninitialize = 0x001D;
constexpr WORD kHtmlHelpWideOrdinal = 15;
constexpr UINT kCloseTimeoutMs = 5000;

using HtmlHelpWFn = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);

// The viewer's window as it returned it when it last opened a topic; null when it has not
// opened one since the last close. Its title is decoded in the ANSI code page, so outside
// Japanese systems finding the window by title fails: the handle is what closes it.
HWND helpWindow = nullptr;

// hhctrl.ocx is loaded once, by full path from the system folder, never from the current
// folder or PATH.
HtmlHelpWFn htmlHelpEntry() {
  static HtmlHelpWFn entry = [] {
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return HtmlHelpWFn{};
    const std::wstring path = std::wstring(folder, n) + L"\\hhctrl.ocx";
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) return HtmlHelpWFn{};
    return reinterpret_cast<HtmlHelpWFn>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(kHtmlHelpWideOrdinal))));
  }();
  return entry;
}

}  // namespace

void initialiseHelp() {
  PluginState& state = pluginState();
  state.helpCookie = 0;
  if (HtmlHelpWFn entry = htmlHelpEntry()) {
    DWORD cookie = 0;
    entry(nullptr, nullptr, kHhInitialize, reinterpret_cast<DWORD_PTR>(&cookie));
    state.helpCookie = cookie;
  }
}

void uninitialiseHelp() {
  if (HtmlHelpWFn entry = htmlHelpEntry()) {
    entry(nullptr, nullptr, kHhUninitialize, pluginState().helpCookie);
  }
}

void openHelpTopic(uint32_t context) {
  HtmlHelpWFn entry = htmlHelpEntry();
  if (entry == nullptr) return;
  const PluginState& state = pluginState();
  HWND window =
      entry(reinterpret_cast<HWND>(state.ownerWindow),
            reinterpret_cast<const wchar_t*>(state.helpFilePath.c_str()), kHhHelpContext, context);
  // A viewer that opened nothing leaves an earlier window's handle in place.
  if (window != nullptr) helpWindow = window;
}

uintptr_t closeHelpWindow() {
  // The window the viewer returned, while it is still this process's window (a closed one's
  // handle may meanwhile name another window); by title only when the viewer gave none.
  HWND window = std::exchange(helpWindow, nullptr);
  if (window != nullptr) {
    DWORD process = 0;
    if (!IsWindow(window) || GetWindowThreadProcessId(window, &process) == 0 ||
        process != GetCurrentProcessId()) {
      return 0;
    }
  } else {
    window = FindWindowW(nullptr, kHelpWindowTitle);
  }
  if (window == nullptr) return 0;
  // The viewer runs on this thread, where this is a plain SendMessage. A window of that title
  // in another process that has stopped answering must not hang the host, hence the timeout.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kCloseTimeoutMs,
                      &result);
  return static_cast<uintptr_t>(result);
}

}  // namespace sonavid
