// Feeds arbitrary bytes to the broadcast section reader as packets of both sizes, for the
// services of the broadcast fixtures (seeds from tests/data/media).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "media/mpegts/broadcast_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view packets(reinterpret_cast<const char*>(data), size);
  sonavid::media::BroadcastProgram program;
  sonavid::media::readBroadcastProgram(packets, 188, 1, program);
  sonavid::media::readBroadcastProgram(packets, 188, 0x0400, program);
  sonavid::media::readBroadcastProgram(packets, 192, 0x0065, program);
  return 0;
}
