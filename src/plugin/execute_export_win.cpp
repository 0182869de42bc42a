// macExecute: the host's execute request, converted at the boundary and handed to the engine.
#include "engine/execute.h"
#include "plugin/engine_services.h"
#include "engine/execute_request.h"
#include "core/host_abi.h"

namespace sonavid {

const char16_t* __cdecl macExecute(const ExecuteRequest* request) {
  if (request == nullptr) return executeMacro(nullptr);
  const MacroRequest portable = toMacroRequest(*request);
  return executeMacro(&portable);
}

}  // namespace sonavid
