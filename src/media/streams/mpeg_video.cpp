#include "media/streams/mpeg_video.h"

#include <numeric>

#include "media/streams/bit_reader.h"

namespace sonavid::media {
namespace {

constexpr std::string_view kSequenceHeader("\0\0\1\xB3", 4);
constexpr std::string_view kExtension("\0\0\1\xB5", 4);
constexpr uint8_t kSequenceExtensionId = 1;
constexpr size_t kExtensionFieldBytes = 6;  // up to the frame-rate denominator

struct FrameRate {
  uint32_t num;
  uint32_t den;
};
constexpr FrameRate kFrameRates[] = {
    {0, 0},  {24000, 1001}, {24, 1}, {25, 1}, {30000, 1001}, {30, 1}, {50, 1}, {60000, 1001},
    {60, 1}, {0, 0},        {0, 0},  {0, 0},  {0, 0},        {0, 0},  {0, 0},  {0, 0}};

// Reads the sequence; `whole` tells whether the bytes went on past all that was read.
bool readSequence(std::string_view bytes, VideoFormat& format, bool& whole) {
  whole = false;
  const size_t at = bytes.find(kSequenceHeader);
  if (at == std::string_view::npos) return false;
  BitReader bits(bytes.substr(at + kSequenceHeader.size()));
  uint32_t width = bits.bits(12);
  uint32_t height = bits.bits(12);
  bits.skip(4);  // aspect ratio
  const FrameRate rate = kFrameRates[bits.bits(4)];
  if (bits.failed() || width == 0 || height == 0) return false;
  format = VideoFormat{};
  format.codec = "MPEG-1";
  format.rateNum = rate.num;
  format.rateDen = rate.den;

  // The extension follows the header and its optional quantiser matrices, before the first
  // group of pictures; a stream without one is MPEG-1.
  const std::string_view after = bytes.substr(at + kSequenceHeader.size());
  const size_t next = after.find(std::string_view("\0\0\1", 3));
  whole = next != std::string_view::npos &&
          after.size() - next >= kExtension.size() + kExtensionFieldBytes;
  if (next != std::string_view::npos && after.substr(next, 4) == kExtension) {
    BitReader ext(after.substr(next + kExtension.size()));
    if (ext.bits(4) == kSequenceExtensionId) {
      ext.skip(8);  // profile and level
      const bool progressive = ext.bit() != 0;
      ext.skip(2);  // chroma format
      width |= ext.bits(2) << 12;
      height |= ext.bits(2) << 12;
      ext.skip(12 + 1 + 8 + 1);  // bitrate extension, marker, buffer size extension, low delay
      const uint32_t numExtension = ext.bits(2) + 1;
      const uint32_t denExtension = ext.bits(5) + 1;
      if (!ext.failed()) {
        format.codec = "MPEG-2";
        format.interlaced = !progressive;
        format.rateNum *= numExtension;
        format.rateDen *= denExtension;
        if (format.rateDen != 0) {
          const uint32_t divisor = std::gcd(format.rateNum, format.rateDen);
          format.rateNum /= divisor;
          format.rateDen /= divisor;
        }
      }
    }
  }
  format.width = width;
  format.height = height;
  return true;
}

}  // namespace

bool findMpegVideoSequence(std::string_view bytes, VideoFormat& format) {
  bool whole = false;
  return readSequence(bytes, format, whole);
}

bool findWholeMpegVideoSequence(std::string_view bytes, VideoFormat& format) {
  VideoFormat found;
  bool whole = false;
  if (!readSequence(bytes, found, whole) || !whole) return false;
  format = found;
  return true;
}

}  // namespace sonavid::media
