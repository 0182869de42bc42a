// The setup window's size and column widths as read from the host settings: hand-edited
// values that would give an unusable window are brought into range.
#pragma once

#include <cstdint>

#include "settings/settings_store.h"

namespace sonavid::setup {

// Smallest outer size at which the menu, a few list rows and the bottom panel still fit.
inline constexpr int32_t kMinWindowWidth = 320;
inline constexpr int32_t kMinWindowHeight = 240;
// Larger than any screen; the system cuts a window to its own limit anyway.
inline constexpr int32_t kMaxWindowExtent = 16384;
// Column widths: 0 hides a column (the user may drag it shut); negative widths would ask the
// list to size the column itself, so they count as 0.
inline constexpr int32_t kMaxColumnWidth = 4096;

SetupWindowSettings usableWindowSettings(SetupWindowSettings settings);

}  // namespace sonavid::setup
