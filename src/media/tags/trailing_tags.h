// The blocks that taggers append to an audio stream, found from the end of the file:
//   ... audio | APE tag | Lyrics3v2 block | ID3v1 tag (128 bytes, "TAG")
// Every block is optional; the APE tag may also follow the Lyrics3v2 block. An ID3v2.4 tag may
// be appended too, before the ID3v1 tag or before the APE tag: it ends in a footer ("3DI",
// then the header's version, flags and size) that tells where it starts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/platform.h"
#include "media/tags/apev2.h"

namespace sonavid::media {

inline constexpr size_t kId3v1Bytes = 128;

struct TrailingTags {
  uint64_t audioEnd = 0;             // where the appended blocks begin
  std::optional<std::string> id3v1;  // the 128 bytes of an ID3v1 tag
  std::optional<ApeTag> ape;
  std::optional<std::string> id3v2;  // an appended ID3v2 tag, header to footer
};

// Looks for the blocks that end at `end` (normally the file size).
TrailingTags readTrailingTags(RandomAccessFile& file, uint64_t end);

}  // namespace sonavid::media
