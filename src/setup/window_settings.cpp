#include "setup/window_settings.h"

#include <algorithm>

namespace sonavid::setup {

SetupWindowSettings usableWindowSettings(SetupWindowSettings settings) {
  settings.width = std::clamp(settings.width, kMinWindowWidth, kMaxWindowExtent);
  settings.height = std::clamp(settings.height, kMinWindowHeight, kMaxWindowExtent);
  for (auto& widths : settings.columnWidths) {
    for (int32_t& width : widths) width = std::clamp(width, int32_t{0}, kMaxColumnWidth);
  }
  return settings;
}

}  // namespace sonavid::setup
