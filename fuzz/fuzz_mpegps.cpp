// Feeds arbitrary bytes to the MPEG program stream reader: pack headers, PES headers of both
// MPEG versions, private stream sub-streams, the stream headers behind them and the timestamp
// span.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_input.h"
#include "media/mpegps/mpegps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::media::probeMpegPs(std::string_view(reinterpret_cast<const char*>(data), size));
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readMpegPs);
  return 0;
}
