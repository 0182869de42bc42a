#include "media/riff/riff_chunks.h"

#include <cstring>

#include "media/file_reads.h"

namespace sonavid::media {

bool isFourCc(std::string_view id) {
  if (id.size() != 4) return false;
  for (char c : id) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

RiffChunkWalker::RiffChunkWalker(RandomAccessFile& file, uint64_t begin, uint64_t end)
    : file_(file), pos_(begin), end_(end < file.size() ? end : file.size()) {}

std::optional<RiffChunk> RiffChunkWalker::next() {
  if (count_ >= kMaxRiffChunks || pos_ >= end_ || end_ - pos_ < 8) return std::nullopt;
  ++count_;
  char header[8];
  RiffChunk chunk;
  if (file_.readAt(pos_, header, sizeof header) != sizeof header) {
    pos_ = end_;
    return std::nullopt;
  }
  std::memcpy(chunk.id.bytes, header, 4);
  chunk.declaredSize = ByteReader(header + 4, 4).u32le();
  if (!isFourCc(chunk.id.view())) {
    pos_ = end_;
    return std::nullopt;
  }
  chunk.dataOffset = pos_ + 8;
  const uint64_t available = end_ - chunk.dataOffset;
  chunk.size = chunk.declaredSize < available ? chunk.declaredSize : available;
  // Odd sizes are followed by a pad byte.
  const uint64_t padded = uint64_t{chunk.declaredSize} + (chunk.declaredSize & 1);
  pos_ = padded < available ? chunk.dataOffset + padded : end_;
  return chunk;
}

void RiffChunkWalker::extendToEnd(RiffChunk& chunk) {
  chunk.size = end_ - chunk.dataOffset;
  pos_ = end_;
}

void RiffChunkWalker::resize(RiffChunk& chunk, uint64_t size) {
  const uint64_t available = end_ - chunk.dataOffset;
  chunk.size = size < available ? size : available;
  const uint64_t padded = size + (size & 1);
  pos_ = padded < available ? chunk.dataOffset + padded : end_;
}

bool nextRiffChunk(ByteReader& in, std::string_view& id, ByteReader& body) {
  if (!in.has(8)) return false;
  id = in.bytes(4);
  const uint32_t size = in.u32le();
  if (!isFourCc(id)) return false;
  const size_t length = size < in.remaining() ? size : in.remaining();
  body = in.sub(length);
  if ((length & 1) != 0 && in.remaining() > 0) in.skip(1);
  return true;
}

}  // namespace sonavid::media
