// Feeds arbitrary bytes to the DSF reader: the DSD and fmt chunks, the ID3v2 tag at the metadata
// offset.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_input.h"
#include "media/dsf/dsf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::media::probeDsf(std::string_view(reinterpret_cast<const char*>(data), size));
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readDsf);
  return 0;
}
