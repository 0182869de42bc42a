// Feeds arbitrary bytes to the TwinVQ reader: TWIN header and its chunks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/formats.h"
#include "media/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sonavid::media::MemoryFile file(bytes);
  sonavid::media::MediaInfo info;
  sonavid::media::readTwinVq(file, info);
  return 0;
}
