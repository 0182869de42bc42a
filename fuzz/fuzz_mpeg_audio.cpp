// Feeds arbitrary bytes to the MP3 reader as a whole file: ID3v2 at the head, frame search,
// VBR headers, frame hopping, trailing APE/Lyrics3/ID3v1 blocks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/formats.h"
#include "media/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::media::MemoryFile file(std::string(reinterpret_cast<const char*>(data), size));
  sonavid::media::MediaInfo info;
  sonavid::media::readMpegAudio(file, info);
  return 0;
}
