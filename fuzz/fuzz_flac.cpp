// Feeds arbitrary bytes to the FLAC reader: ID3v2 skip, metadata blocks, STREAMINFO, Vorbis
// comments, the search for the last frame of a stream without a total (frame headers, CRC-8 and
// CRC-16).
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/flac/flac.h"
#include "media/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sonavid::media::MemoryFile file(bytes);
  sonavid::media::MediaInfo info;
  sonavid::media::probeFlac(bytes);
  sonavid::media::readFlac(file, info);
  return 0;
}
