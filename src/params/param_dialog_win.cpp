#include "host/dialog_hooks_win.h"

namespace sonavid {

// Placeholder until the parameter dialogs exist: behaves like a cancelled dialog.
int runParamDialog(uint32_t /*macroIndex*/, const HostRect& /*rect*/, std::u16string& /*macroText*/) {
  return 2;
}

}  // namespace sonavid
