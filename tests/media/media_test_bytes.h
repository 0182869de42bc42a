// Builders for hand-made media bytes in the parser tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sonavid::media::test {

inline std::string le32(uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
          static_cast<char>(v >> 24)};
}
inline std::string le16(uint16_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }
inline std::string be32(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}
inline std::string syncsafe32(uint32_t v) {
  return {static_cast<char>((v >> 21) & 0x7F), static_cast<char>((v >> 14) & 0x7F),
          static_cast<char>((v >> 7) & 0x7F), static_cast<char>(v & 0x7F)};
}
inline std::string bytes(std::string_view text) { return std::string(text); }
// Literal bytes with embedded NULs: bytes("\0A", 2).
inline std::string bytes(const char* data, size_t size) { return std::string(data, size); }

// A RIFF chunk with its pad byte.
inline std::string chunk(std::string_view id, std::string_view data) {
  std::string out(id);
  out += le32(static_cast<uint32_t>(data.size()));
  out += data;
  if (data.size() % 2 != 0) out.push_back('\0');
  return out;
}
inline std::string riff(std::string_view form, std::string_view chunks) {
  return "RIFF" + le32(static_cast<uint32_t>(4 + chunks.size())) + std::string(form) +
         std::string(chunks);
}

// An MPEG-1 Layer III frame (48000 Hz: no padding needed) of `kbps`, mode bits `mode`,
// zero-filled.
inline std::string mp3Frame(int kbps, int mode = 1) {
  static constexpr int kRates[] = {0,   32,  40,  48,  56,  64,  80, 96,
                                   112, 128, 160, 192, 224, 256, 320};
  int index = 0;
  while (kRates[index] != kbps) ++index;
  const uint32_t header = 0xFFFB0400u | (uint32_t(index) << 12) | (uint32_t(mode) << 6);
  std::string frame = be32(header);
  frame.resize(144 * kbps * 1000 / 48000, '\0');
  return frame;
}

// ID3v2 tag of `version` (3 or 4) around `frames`, with `flags`.
inline std::string id3v2(int version, std::string_view frames, uint8_t flags = 0) {
  return "ID3" + std::string{static_cast<char>(version), 0, static_cast<char>(flags)} +
         syncsafe32(static_cast<uint32_t>(frames.size())) + std::string(frames);
}
inline std::string frame23(std::string_view id, std::string_view data, uint16_t flags = 0) {
  return std::string(id) + be32(static_cast<uint32_t>(data.size())) +
         std::string{static_cast<char>(flags >> 8), static_cast<char>(flags)} + std::string(data);
}
inline std::string frame24(std::string_view id, std::string_view data, uint16_t flags = 0) {
  return std::string(id) + syncsafe32(static_cast<uint32_t>(data.size())) +
         std::string{static_cast<char>(flags >> 8), static_cast<char>(flags)} + std::string(data);
}

}  // namespace sonavid::media::test
