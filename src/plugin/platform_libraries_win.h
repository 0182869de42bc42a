// Chooses, once per initialisation, between the installed mp3infp.dll / bregonig.dll and the
// built-in reader and substitution, and releases the chosen libraries at finalisation.
#pragma once

#include <string>
#include <vector>

#include "engine/plugin_state.h"

namespace sonavid {

// The folders looked in, in order: the plug-in's own folder, the host program's folder and the
// system folder.
std::vector<std::u16string> platformLibraryFolders();

// Sets state.reader and state.substitution: the adapter to the library found first in
// `folders` (loaded by full path) when it offers the functions needed, else the built-in one.
// An installed reader is backed by the built-in one for the files it reports as of no type.
void choosePlatformLibraries(PluginState& state, const std::vector<std::u16string>& folders);
void choosePlatformLibraries(PluginState& state);

// Drops the reader and the substitution and frees the libraries behind them.
void releasePlatformLibraries(PluginState& state);

// Two lines, "reader: ..." and "substitution: ...", each "built-in" or the library's name and
// full path.
std::u16string describePlatformLibraries(const PluginState& state);

}  // namespace sonavid
