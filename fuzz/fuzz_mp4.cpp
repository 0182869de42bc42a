// Feeds arbitrary bytes to the MP4 reader: top-level boxes, the movie box walk, sample
// descriptions, esds, tag list.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "media/formats.h"
#include "media/mp4/mp4_boxes.h"
#include "media/tags/mp4_ilst.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readMp4);
  sonavid::media::MemoryFile file(sonavid::fuzz::bytesOf(data, size));
  // The box-by-box reading of a movie box too large to read whole, made to apply to this one.
  sonavid::media::Mp4Movie movie;
  sonavid::media::readMovie(
      sonavid::media::ByteReader(sonavid::media::condenseMovie(file, 0, file.size(), 64)), movie);
  // The tag list parser on its own.
  sonavid::media::MediaInfo tags;
  sonavid::media::readIlst(sonavid::media::ByteReader(data, size), tags);
  return 0;
}
