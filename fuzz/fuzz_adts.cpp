// Feeds arbitrary bytes to the raw AAC (ADTS) reader: frame headers, the frame count after
// damage and the tags.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_input.h"
#include "media/adts/adts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::media::probeAdts(std::string_view(reinterpret_cast<const char*>(data), size));
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readAdts);
  return 0;
}
