// Feeds arbitrary bytes to the Ogg reader: page walk, header packets, tail scan, chained walk.
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/formats.h"
#include "media/memory_file.h"
#include "media/tags/vorbis_comment.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sonavid::media::MemoryFile file(bytes);
  sonavid::media::MediaInfo info;
  sonavid::media::readOgg(file, info);
  // The comment parser on its own.
  sonavid::media::ByteReader comments(bytes);
  sonavid::media::MediaInfo tags;
  sonavid::media::setVorbisCommentValues(sonavid::media::parseVorbisComments(comments), tags);
  return 0;
}
