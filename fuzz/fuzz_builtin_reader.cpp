// Feeds arbitrary bytes to the whole built-in reader: every signature check, the likely format
// first, then every reader in turn, as for a file of unknown type.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "media/builtin_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sonavid::media::MemoryFile file(sonavid::fuzz::bytesOf(data, size));
  sonavid::media::BuiltinReader::readFile(file);
  return 0;
}
