// Feeds arbitrary bytes to the Monkey's Audio reader: ID3v2 skip, junk search, descriptor and old
// headers, APE tag.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "media/formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readMonkeys);
  return 0;
}
