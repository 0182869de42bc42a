// Feeds arbitrary bytes to the WavPack reader: the search for the first block, block headers,
// sub-blocks (channel info, sample rate), the walk of blocks for an unknown total, APEv2 and ID3v1.
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/memory_file.h"
#include "media/wavpack/wavpack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sonavid::media::MemoryFile file(bytes);
  sonavid::media::MediaInfo info;
  sonavid::media::probeWavPack(bytes);
  sonavid::media::readWavPack(file, info);
  return 0;
}
