#include "params/param0_host_settings.h"

#include "settings/settings_store.h"

namespace sonavid {

bool Param0HostSettings::readOmitMode() { return readOmitDefaults(state_.settings); }

void Param0HostSettings::writeOmitMode(bool omit) { writeOmitDefaults(state_.settings, omit); }

void Param0HostSettings::writeDefaults() { saveMediaTypeDefaults(state_.settings); }

}  // namespace sonavid
