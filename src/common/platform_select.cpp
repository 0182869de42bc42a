#include "common/platform.h"

namespace sonavid {

Platform& systemPlatform();  // defined by platform_posix.cpp or platform_win.cpp

namespace {
Platform* g_override = nullptr;
}

Platform& platform() { return g_override != nullptr ? *g_override : systemPlatform(); }

void setPlatform(Platform* replacement) { g_override = replacement; }

}  // namespace sonavid
