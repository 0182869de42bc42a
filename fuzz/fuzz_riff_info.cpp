// Feeds arbitrary bytes to the RIFF INFO list parser.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "media/tags/riff_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::media::parseRiffInfo(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
