// Feeds arbitrary bytes to the MP3 reader as a whole file: ID3v2 at the head, frame search,
// VBR headers, frame hopping, trailing APE/Lyrics3/ID3v1 blocks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "media/formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readMpegAudio);
  return 0;
}
