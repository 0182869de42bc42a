#include "params/param0_host_settings.h"

#include "host/settings_store.h"

namespace sonavid {

bool Param0HostSettings::readOmitMode() { return readOmitDefaults(state_); }

void Param0HostSettings::writeOmitMode(bool omit) { writeOmitDefaults(state_, omit); }

void Param0HostSettings::writeDefaults() { saveMediaTypeDefaults(state_); }

}  // namespace sonavid
