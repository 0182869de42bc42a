// Feeds arbitrary bytes to the MPEG transport stream reader: packet layout, PAT and PMT
// sections, PES headers and the stream headers behind them (H.264, HEVC, MPEG video, ADTS,
// AC-3, DTS, LPCM), the timestamp span.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_input.h"
#include "media/mpegts/mpegts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::media::probeMpegTs(std::string_view(reinterpret_cast<const char*>(data), size));
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readMpegTs);
  return 0;
}
