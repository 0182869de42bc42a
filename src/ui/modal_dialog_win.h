// A modal dialog on an in-memory template, run by the Win32 dialog manager so that Tab, Enter
// (default button), Escape (IDCANCEL) and F1 (WM_HELP) behave as in every Windows dialog.
// The base class takes every message and hands the ones a dialog may care about to a named
// handler; a subclass creates its controls in onInitDialog and overrides the handlers it needs.
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

  // WM_INITDIALOG. Returns whether the dialog manager should set the focus (false when the
  // handler set it).
  virtual bool onInitDialog() = 0;
  // WM_COMMAND; returns whether it was handled.
  virtual bool onCommand(int /*id*/, int /*notification*/, HWND /*control*/) { return false; }
  // WM_NOTIFY; a handler that answers sets `result` (the notification's return value) and
  // returns true.
  virtual bool onNotify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
  // WM_CONTEXTMENU; `screen` is (-1, -1) when the keyboard asked for the menu.
  virtual bool onContextMenu(HWND /*target*/, POINT /*screen*/) { return false; }
  // WM_HELP (F1); returns whether the request was handled.
  virtual bool onHelp(const HELPINFO& /*info*/) { return false; }
  // WM_ACTIVATE with the activation state (WA_ACTIVE, WA_CLICKACTIVE, WA_INACTIVE).
  virtual void onActivate(int /*state*/) {}
  // WM_SIZE: the client area has its new size.
  virtual void onSize() {}
  // WM_GETMINMAXINFO: the smallest outer size the user may drag the frame to, if any.
  virtual bool onMinTrackSize(POINT& /*size*/) { return false; }
  // Mouse messages the dialog itself receives (while it holds the capture, say), in client
  // coordinates; return whether they were handled.
  virtual bool onMouseMove(POINT /*client*/) { return false; }
  virtual bool onLeftButtonUp(POINT /*client*/) { return false; }
  // WM_CAPTURECHANGED: the dialog lost the mouse capture.
  virtual void onCaptureChanged() {}
  // WM_DESTROY: the window and its controls still exist, for the last time.
  virtual void onDestroy() {}

 private:
  static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
  // Sets the message's result for the dialog manager and reports it handled.
  INT_PTR answer(LRESULT result);

  HWND window_ = nullptr;
};

}  // namespace sonavid::ui
