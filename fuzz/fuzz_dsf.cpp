// Feeds arbitrary bytes to the DSF reader: the DSD and fmt chunks, the ID3v2 tag at the metadata
// offset.
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/dsf/dsf.h"
#include "media/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sonavid::media::MemoryFile file(bytes);
  sonavid::media::MediaInfo info;
  sonavid::media::probeDsf(bytes);
  sonavid::media::readDsf(file, info);
  return 0;
}
