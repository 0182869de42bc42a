#include "media/matroska/ebml.h"

#include <cmath>
#include <cstring>

namespace sonavid::media::ebml {

namespace {

// The length of a variable-size integer from its first byte: 1 + the count of leading zeros
// (0 for a zero byte, which starts none).
int vintLength(uint8_t first) {
  int length = 1;
  for (uint8_t marker = 0x80; marker != 0 && (first & marker) == 0; marker >>= 1) ++length;
  return length > 8 ? 0 : length;
}

}  // namespace

bool readHeader(ByteReader& reader, Header& header) {
  const size_t start = reader.position();
  const uint8_t idFirst = reader.u8();
  const int idLength = vintLength(idFirst);
  if (reader.failed() || idLength == 0 || idLength > 4) {
    reader.seek(reader.size() + 1);  // fails the reader
    return false;
  }
  uint32_t id = idFirst;
  for (int i = 1; i < idLength; ++i) id = (id << 8) | reader.u8();

  const uint8_t sizeFirst = reader.u8();
  const int sizeLength = vintLength(sizeFirst);
  if (reader.failed() || sizeLength == 0) {
    reader.seek(reader.size() + 1);
    return false;
  }
  // The value bits of the first byte, then the other bytes.
  uint64_t size = sizeFirst & (0xFFu >> sizeLength);
  bool allOnes = size == (0xFFu >> sizeLength);
  for (int i = 1; i < sizeLength; ++i) {
    const uint8_t byte = reader.u8();
    size = (size << 8) | byte;
    allOnes = allOnes && byte == 0xFF;
  }
  if (reader.failed()) return false;
  header.id = id;
  header.size = size;
  header.unknownSize = allOnes;
  header.headerBytes = reader.position() - start;
  return true;
}

bool unsignedValue(std::string_view body, uint64_t& value) {
  if (body.size() > 8) return false;
  value = 0;
  for (char c : body) value = (value << 8) | static_cast<uint8_t>(c);
  return true;
}

bool floatValue(std::string_view body, double& value) {
  ByteReader reader(body);
  if (body.empty()) {
    value = 0;
  } else if (body.size() == 4) {
    const uint32_t bits = reader.u32be();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    value = f;
  } else if (body.size() == 8) {
    const uint64_t bits = reader.u64be();
    std::memcpy(&value, &bits, sizeof value);
  } else {
    return false;
  }
  return std::isfinite(value);
}

std::string_view stringValue(std::string_view body) {
  const size_t end = body.find('\0');
  return end == std::string_view::npos ? body : body.substr(0, end);
}

bool Children::next(Child& child) {
  if (done_ || reader_.remaining() == 0 || ++budget_ > kMaxElements) return false;
  Header header;
  if (!readHeader(reader_, header)) {
    done_ = true;
    return false;
  }
  child.id = header.id;
  child.cut = false;
  uint64_t size = header.unknownSize ? reader_.remaining() : header.size;
  if (size > reader_.remaining()) {
    size = reader_.remaining();
    child.cut = true;
    done_ = true;
  }
  child.body = reader_.bytes(static_cast<size_t>(size));
  return true;
}

}  // namespace sonavid::media::ebml
