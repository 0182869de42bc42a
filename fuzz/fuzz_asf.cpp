// Feeds arbitrary bytes to the ASF reader (WMA/WMV): header objects, codec list, stream properties,
// content descriptions, header extension.
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/formats.h"
#include "media/memory_file.h"
#include "media/tags/asf_content.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sonavid::media::MemoryFile file(bytes);
  sonavid::media::MediaInfo info;
  sonavid::media::readAsf(file, info);
  // The attribute parsers on their own, fed the same bytes as an object body.
  sonavid::media::AsfContent content;
  content.readContentDescription(sonavid::media::ByteReader(bytes));
  content.readExtendedContentDescription(sonavid::media::ByteReader(bytes));
  content.readMetadata(sonavid::media::ByteReader(bytes));
  sonavid::media::MediaInfo tags;
  content.fill(tags);
  return 0;
}
