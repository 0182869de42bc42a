// expand: macro texts over files, one line per file.
#include "commands.h"
#include "console_out.h"

namespace sonavid::host {

int runExpand(HostContext& /*context*/, const Arguments& /*args*/) {
  writeErr("expand: not available in this build\n");
  return 2;
}

}  // namespace sonavid::host
