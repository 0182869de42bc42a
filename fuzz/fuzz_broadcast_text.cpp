// Feeds arbitrary bytes to the broadcast text decoders (ARIB STD-B24 and DVB).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/arib_text.h"
#include "common/dvb_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  sonavid::decodeAribText(bytes);
  sonavid::decodeDvbText(bytes);
  return 0;
}
