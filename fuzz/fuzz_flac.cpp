// Feeds arbitrary bytes to the FLAC reader: ID3v2 skip, metadata blocks, STREAMINFO, Vorbis
// comments, the search for the last frame of a stream without a total (frame headers, CRC-8 and
// CRC-16).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_input.h"
#include "media/flac/flac.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::media::probeFlac(std::string_view(reinterpret_cast<const char*>(data), size));
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readFlac);
  return 0;
}
