// Feeds arbitrary bytes to the RIFF reader (WAV, AVI, RIFF-wrapped MP3).
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/formats.h"
#include "media/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::media::MemoryFile file(std::string(reinterpret_cast<const char*>(data), size));
  sonavid::media::MediaInfo info;
  sonavid::media::readRiff(file, info);
  return 0;
}
