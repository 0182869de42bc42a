#include "host/dialog_hooks_win.h"

namespace sonavid {

// Placeholder until the setup dialog exists.
void runSetupDialog(const HostRect& /*rect*/) {}

}  // namespace sonavid
