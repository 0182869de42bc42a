#include "common/platform.h"

namespace sonavid {

Platform& systemPlatform();  // defined by platform_posix.cpp or platform_win.cpp

namespace {
Platform* g_override = nullptr;
}

std::optional<std::string> Platform::readWholeFile(std::u16string_view path,
                                                   size_t maxBytes) const {
  auto file = openForReading(path);
  if (!file || file->size() > maxBytes) return std::nullopt;
  std::string bytes(static_cast<size_t>(file->size()), '\0');
  // Fewer bytes than the file holds (a read error, a file shrinking meanwhile) is no copy of
  // the file: a caller could otherwise write the fragment back over it.
  if (file->readAt(0, bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  return bytes;
}

Platform& platform() { return g_override != nullptr ? *g_override : systemPlatform(); }

void setPlatform(Platform* replacement) { g_override = replacement; }

}  // namespace sonavid
