// EBML, the binary layout of Matroska and WebM: every element is an ID, a size and a body.
// IDs and sizes are variable-size integers: the count of leading zero bits of the first byte
// gives the length (1 to 8 bytes). An ID keeps its length marker bit ("1A 45 DF A3"); a size
// drops it, and a size whose value bits are all ones is unknown (a live stream's Segment or
// Cluster, which ends where an element that cannot be its child begins).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "media/byte_reader.h"

namespace sonavid::media::ebml {

// Longest ID (4 bytes) plus the longest size (8 bytes).
inline constexpr size_t kMaxHeaderBytes = 12;
// Elements looked at in one file, nested ones included: a damaged or hostile file with
// millions of tiny elements costs no more than this.
inline constexpr int kMaxElements = 200000;

struct Header {
  uint32_t id = 0;
  uint64_t size = 0;  // body bytes; meaningless when unknownSize
  bool unknownSize = false;
  size_t headerBytes = 0;
};

// Reads an element header at the reader's position. False (and the reader failed) when the
// bytes are not one: a zero first byte, an ID longer than 4 bytes, or bytes missing.
bool readHeader(ByteReader& reader, Header& header);

// The value of an unsigned integer element (0 to 8 bytes, big-endian). False for a longer body.
bool unsignedValue(std::string_view body, uint64_t& value);
// The value of a float element (0, 4 or 8 bytes). False for other lengths and for values that
// are not finite.
bool floatValue(std::string_view body, double& value);
// A string element without the NUL padding writers may leave at its end.
std::string_view stringValue(std::string_view body);

// The child elements of a body held in memory, in order. A child whose size runs past the end
// of its parent is given only the parent's remaining bytes and marked `cut`, and is the last
// one; an unknown size runs to the end of the parent. The walk stops at a damaged header and
// when `budget` (shared by every walk of one file) reaches kMaxElements.
class Children {
 public:
  struct Child {
    uint32_t id = 0;
    std::string_view body;
    bool cut = false;
  };

  Children(std::string_view body, int& budget) : reader_(body), budget_(budget) {}

  bool next(Child& child);

 private:
  ByteReader reader_;
  int& budget_;
  bool done_ = false;
};

}  // namespace sonavid::media::ebml
