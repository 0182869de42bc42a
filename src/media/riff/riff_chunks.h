// RIFF chunks: a four-letter id, a 32-bit little-endian size, the data, and a pad byte when
// the size is odd. LIST and RIFF chunks start their data with a four-letter list type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/platform.h"
#include "media/byte_reader.h"

namespace sonavid::media {

// Chunks looked at in one list before the rest is ignored.
inline constexpr int kMaxRiffChunks = 4096;

// A chunk id: four characters, kept and compared in place.
struct ChunkId {
  char bytes[4] = {};
  std::string_view view() const { return {bytes, 4}; }
  bool operator==(std::string_view other) const {
    return other.size() == 4 && bytes[0] == other[0] && bytes[1] == other[1] &&
           bytes[2] == other[2] && bytes[3] == other[3];
  }
};

struct RiffChunk {
  ChunkId id;
  uint64_t dataOffset = 0;
  uint32_t declaredSize = 0;
  uint64_t size = 0;  // the declared size, cut to the bytes that are there
};

// Walks the chunks of the file between two offsets with a positioned read per header.
class RiffChunkWalker {
 public:
  RiffChunkWalker(RandomAccessFile& file, uint64_t begin, uint64_t end);

  // The next chunk, or nothing at the end, at damage (an id that is not four printable
  // characters) or after kMaxRiffChunks chunks.
  std::optional<RiffChunk> next();
  // Makes `chunk` reach to the end of the walked range (a data chunk whose size is 0,
  // 0xFFFFFFFF or past the end of the file); the walk ends after it.
  void extendToEnd(RiffChunk& chunk);
  // Gives `chunk` a 64-bit size declared elsewhere (an RF64 file's "ds64" chunk), cut to the
  // walked range; the walk goes on after it.
  void resize(RiffChunk& chunk, uint64_t size);

 private:
  RandomAccessFile& file_;
  uint64_t pos_;
  uint64_t end_;
  int count_ = 0;
};

// The same over chunks held in memory: false at the end or at damage.
bool nextRiffChunk(ByteReader& in, std::string_view& id, ByteReader& body);

bool isFourCc(std::string_view id);

}  // namespace sonavid::media
