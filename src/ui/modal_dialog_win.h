// A modal dialog on an in-memory template, run by the Win32 dialog manager so that Tab, Enter
// (default button), Escape (IDCANCEL) and F1 (WM_HELP) behave as in every Windows dialog.
// A subclass creates its controls in onInitDialog and handles the messages it needs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace sonavid::ui {

// The module the running code belongs to (the plug-in DLL, not the host program).
HINSTANCE thisModule();

class ModalDialog {
 public:
  virtual ~ModalDialog() = default;

  // Shows the dialog modally, owned by `owner` (null: no owner), and returns the value given
  // to EndDialog, or -1 when the dialog could not be created. An exception thrown by a handler
  // ends the dialog with IDCANCEL; it never reaches the dialog manager.
  INT_PTR runModal(HWND owner, const std::vector<uint16_t>& dialogTemplate);

 protected:
  HWND window() const { return window_; }
  HWND item(int id) const { return GetDlgItem(window_, id); }
  void end(INT_PTR result) { EndDialog(window_, result); }

  // Returns whether the dialog manager should set the focus (false when the handler set it).
  virtual bool onInitDialog() = 0;
  // WM_COMMAND; returns whether it was handled.
  virtual bool onCommand(int /*id*/, int /*notification*/, HWND /*control*/) { return false; }
  // WM_CONTEXTMENU; `screen` is (-1, -1) when the keyboard asked for the menu.
  virtual bool onContextMenu(HWND /*target*/, POINT /*screen*/) { return false; }
  // WM_HELP (F1); returns whether the request was handled.
  virtual bool onHelp(const HELPINFO& /*info*/) { return false; }
  // WM_ACTIVATE with the activation state (WA_ACTIVE, WA_CLICKACTIVE, WA_INACTIVE).
  virtual void onActivate(int /*state*/) {}
  // Sees every message before the handlers above. A dialog with many messages of its own
  // answers them here: true with `result` set ends the message; false passes it on.
  virtual bool onMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                         INT_PTR& /*result*/) {
    return false;
  }

 private:
  static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
};

}  // namespace sonavid::ui
