// Feeds arbitrary bytes to the Matroska reader: EBML header, Segment walk, SeekHead targets,
// Info, Tracks, Tags, and the search for the last Cluster.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_input.h"
#include "media/matroska/matroska.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::media::probeMatroska(std::string_view(reinterpret_cast<const char*>(data), size));
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readMatroska);
  return 0;
}
