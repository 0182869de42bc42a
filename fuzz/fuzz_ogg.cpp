// Feeds arbitrary bytes to the Ogg reader: page walk, header packets, tail scan, chained walk.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "media/formats.h"
#include "media/tags/vorbis_comment.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readOgg);
  return 0;
}
