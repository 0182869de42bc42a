// The media reader and the substitution the engine uses: the ones chosen at initialisation
// (PluginState::reader / substitution), or process-wide built-in ones before that.
#pragma once

#include "engine/media_reader.h"
#include "engine/substitution.h"

namespace sonavid {

MediaReader& activeReader();
Substitution& activeSubstitution();

}  // namespace sonavid
