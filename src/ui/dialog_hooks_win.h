// What the exported dialog callbacks need from the two dialog subsystems, and the dialog
// variables the library exports by name.
#pragma once

#include <cstdint>
#include <string>

#include "core/host_abi.h"
#include "engine/macro_context.h"

extern "C" {
// One pointer-sized variable per dialog class. _FormSetup holds the setup dialog's window
// while it is shown; the parameter dialogs are held only inside their callback.
extern void* _FormSetup;
extern void* _FormParam0;
extern void* _FormParam1;
}

namespace sonavid {

// Creates the parameter dialog of macro 0 or 1 (reading macroLetter and dialogCaption from the
// plug-in state), centres it on `rect`, shows it modally to the owner window and destroys it.
// Returns the modal result (1 for OK); on OK `macroText` receives the dialog's macro text.
int runParamDialog(uint32_t macroIndex, const HostRect& rect, std::u16string& macroText);

// Creates the setup dialog, centres it on `rect`, shows it modally, destroys it. Sets
// _FormSetup while the dialog exists. The sample test runs on `services`.
void runSetupDialog(const HostRect& rect, const MacroContext& services);

}  // namespace sonavid
