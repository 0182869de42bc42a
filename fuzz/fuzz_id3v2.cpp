// Feeds arbitrary bytes to the ID3v2 parser (as a whole tag) and the ID3v1 parser, and the
// genre resolver with the frame texts found.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "media/memory_file.h"
#include "media/tags/id3v1.h"
#include "media/tags/id3v2.h"
#include "media/tags/trailing_tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const sonavid::media::Id3v2Tag tag = sonavid::media::parseId3v2(bytes);
  for (const auto& frame : tag.frames) sonavid::media::resolveId3Genre(frame.second);
  // The frame-by-frame reading of large tags, made to apply to this small one.
  sonavid::media::MemoryFile file{std::string(bytes)};
  sonavid::media::parseId3v2(
      sonavid::media::readId3v2Tag(file, sonavid::media::id3v2TagSize(bytes), 64));
  if (size >= sonavid::media::kId3v1Bytes) {
    sonavid::media::parseId3v1(bytes.substr(size - sonavid::media::kId3v1Bytes));
  }
  return 0;
}
