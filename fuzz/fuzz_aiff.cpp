// Feeds arbitrary bytes to the AIFF and AIFF-C reader: big-endian chunk walk, COMM with its 80-bit
// rate, text chunks, COMT, the ID3 chunk.
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/aiff/aiff.h"
#include "media/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sonavid::media::MemoryFile file(bytes);
  sonavid::media::MediaInfo info;
  sonavid::media::probeAiff(bytes);
  sonavid::media::readAiff(file, info);
  return 0;
}
