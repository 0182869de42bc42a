// Feeds arbitrary bytes to the Matroska reader: EBML header, Segment walk, SeekHead targets,
// Info, Tracks, Tags, and the search for the last Cluster.
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/matroska/matroska.h"
#include "media/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sonavid::media::probeMatroska(bytes);
  sonavid::media::MemoryFile file(bytes);
  sonavid::media::MediaInfo info;
  sonavid::media::readMatroska(file, info);
  return 0;
}
