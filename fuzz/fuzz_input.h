// Shared by the fuzz targets: mutated bytes go through the same file layers the plug-in uses
// (the head-and-tail cache in front of the file, and each reader's own read-ahead), not
// straight into a parser, so the paths real files take are the paths fuzzed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text.h"
#include "media/file_reads.h"
#include "media/formats.h"
#include "media/head_tail_file.h"
#include "media/memory_file.h"

namespace sonavid::fuzz {

inline std::string bytesOf(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Runs one container reader on the bytes as the built-in reader would.
inline void readAsBuiltin(const uint8_t* data, size_t size,
                          bool (*read)(RandomAccessFile&, media::MediaInfo&)) {
  media::MemoryFile memory(bytesOf(data, size));
  media::HeadTailFile file(memory, media::kHeadProbeBytes, media::kTailBlockBytes);
  media::MediaInfo info;
  read(file, info);
}

// The bytes as UTF-16 code units (little-endian pairs; an odd last byte is dropped), so texts
// with any code unit, lone surrogates included, are reachable.
inline std::u16string utf16Of(const uint8_t* data, size_t size) {
  std::u16string text;
  text.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  return text;
}

}  // namespace sonavid::fuzz
