// Feeds arbitrary bytes to the TwinVQ reader: TWIN header and its chunks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "media/formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readTwinVq);
  return 0;
}
