// Feeds arbitrary bytes to the AIFF and AIFF-C reader: big-endian chunk walk, COMM with its 80-bit
// rate, text chunks, COMT, the ID3 chunk.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_input.h"
#include "media/aiff/aiff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::media::probeAiff(std::string_view(reinterpret_cast<const char*>(data), size));
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readAiff);
  return 0;
}
