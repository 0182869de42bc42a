// Feeds arbitrary bytes to the WavPack reader: the search for the first block, block headers,
// sub-blocks (channel info, sample rate), the walk of blocks for an unknown total, APEv2 and ID3v1.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_input.h"
#include "media/wavpack/wavpack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::media::probeWavPack(std::string_view(reinterpret_cast<const char*>(data), size));
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readWavPack);
  return 0;
}
