#include "ui/modal_dialog_win.h"

#include <windowsx.h>

namespace sonavid::ui {

HINSTANCE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&thisModule), &module);
  return module;
}

namespace {

// The plug-in's own manifest (resource 2, as for any isolation-aware DLL), when it has one,
// asks for the current common controls; the host's choice must not decide how the dialogs
// look. Without the resource the dialogs run in the host's context.
class ModuleActivationContext {
 public:
  ModuleActivationContext() {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = thisModule();
    request.lpResourceName = MAKEINTRESOURCEW(2);
    context_ = CreateActCtxW(&request);
    if (context_ != INVALID_HANDLE_VALUE && !ActivateActCtx(context_, &cookie_)) {
      ReleaseActCtx(context_);
      context_ = INVALID_HANDLE_VALUE;
    }
  }
  ~ModuleActivationContext() {
    if (context_ == INVALID_HANDLE_VALUE) return;
    DeactivateActCtx(0, cookie_);
    ReleaseActCtx(context_);
  }
  ModuleActivationContext(const ModuleActivationContext&) = delete;
  ModuleActivationContext& operator=(const ModuleActivationContext&) = delete;

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

}  // namespace

INT_PTR ModalDialog::runModal(HWND owner, const std::vector<uint16_t>& dialogTemplate) {
  const ModuleActivationContext activation;
  return DialogBoxIndirectParamW(thisModule(),
                                 reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner,
                                 &ModalDialog::dialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ModalDialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<ModalDialog*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    dialog->window_ = window;
  }
  if (dialog == nullptr) return FALSE;
  try {
    return dialog->handle(message, wParam, lParam);
  } catch (...) {
    // A handler that failed leaves the dialog as if it had been cancelled.
    EndDialog(window, IDCANCEL);
    return TRUE;
  }
}

INT_PTR ModalDialog::answer(LRESULT result) {
  SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR ModalDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT mouse{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_INITDIALOG:
      return onInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
      return onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE
                                                                                       : FALSE;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (lParam == 0 || !onNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return FALSE;
      return answer(result);
    }
    case WM_CONTEXTMENU:
      return onContextMenu(reinterpret_cast<HWND>(wParam), mouse) ? TRUE : FALSE;
    case WM_HELP:
      if (lParam != 0 && onHelp(*reinterpret_cast<const HELPINFO*>(lParam))) return answer(TRUE);
      return FALSE;
    case WM_ACTIVATE:
      onActivate(LOWORD(wParam));
      return FALSE;  // the dialog manager still restores the focus
    case WM_SIZE:
      onSize();
      return TRUE;
    case WM_GETMINMAXINFO: {
      POINT smallest{};
      if (lParam == 0 || !onMinTrackSize(smallest)) return FALSE;
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = smallest;
      return TRUE;
    }
    case WM_MOUSEMOVE:
      return onMouseMove(mouse) ? TRUE : FALSE;
    case WM_LBUTTONUP:
      return onLeftButtonUp(mouse) ? TRUE : FALSE;
    case WM_CAPTURECHANGED:
      onCaptureChanged();
      return TRUE;
    case WM_DESTROY:
      onDestroy();
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace sonavid::ui
