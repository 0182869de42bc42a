// Feeds arbitrary bytes to the MP4 reader: top-level boxes, the movie box walk, sample
// descriptions, esds, tag list.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "media/formats.h"
#include "media/tags/mp4_ilst.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readMp4);
  // The tag list parser on its own.
  sonavid::media::MediaInfo tags;
  sonavid::media::readIlst(sonavid::media::ByteReader(data, size), tags);
  return 0;
}
