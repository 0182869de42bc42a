// Feeds arbitrary bytes to the search for blocks at the end of a file (APE tag, Lyrics3v2,
// ID3v1) and to the APE item parser directly.
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/memory_file.h"
#include "media/tags/apev2.h"
#include "media/tags/trailing_tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sonavid::media::MemoryFile file(bytes);
  sonavid::media::readTrailingTags(file, file.size());
  // The item-by-item reading of large tags, made to apply to this small one.
  sonavid::media::readApeTagEndingAt(file, file.size(), 64);
  sonavid::media::ApeTag tag;
  sonavid::media::parseApeItems(sonavid::media::ByteReader(bytes), 1000, 2000, tag);
  return 0;
}
