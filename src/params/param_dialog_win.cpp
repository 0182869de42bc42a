#include <windows.h>

#include "ui/dialog_hooks_win.h"
#include "params/param_dialogs_win.h"

namespace sonavid {

int runParamDialog(uint32_t macroIndex, const HostRect& rect, std::u16string& macroText) {
  PluginState& state = pluginState();
  HWND owner = reinterpret_cast<HWND>(state.ownerWindow);
  switch (macroIndex) {
    case 0:
      return static_cast<int>(showParam0Dialog(state, owner, rect, macroText));
    case 1:
      return static_cast<int>(showParam1Dialog(state, owner, rect, macroText));
    default:  // no dialog for other macros: as if cancelled
      return IDCANCEL;
  }
}

}  // namespace sonavid
