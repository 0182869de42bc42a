// macExecute: the host's execute request handed to the engine.
#include "host/host_abi.h"

namespace sonavid {

const char16_t* __cdecl macExecute(const ExecuteRequest* /*request*/) {
  static constexpr char16_t kEmpty[] = u"";
  return kEmpty;
}

}  // namespace sonavid
