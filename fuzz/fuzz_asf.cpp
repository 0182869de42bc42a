// Feeds arbitrary bytes to the ASF reader (WMA/WMV): header objects, codec list, stream properties,
// content descriptions, header extension.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "media/formats.h"
#include "media/tags/asf_content.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::fuzz::readAsBuiltin(data, size, sonavid::media::readAsf);
  return 0;
}
