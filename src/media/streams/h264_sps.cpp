#include "media/streams/h264_sps.h"

#include <numeric>
#include <string>

#include "media/streams/bit_reader.h"
#include "media/streams/nal_units.h"

namespace sonavid::media {
namespace {

constexpr uint8_t kSpsUnitType = 7;
constexpr uint32_t kMaxMacroblocksAcross = 1024;  // 16384 pixels, beyond any level's limit
constexpr uint32_t kMaxPocCycle = 255;
constexpr uint32_t kExtendedSar = 255;

// Profiles whose parameter sets carry the chroma format, bit depths and scaling lists.
bool hasChromaInfo(uint32_t profile) {
  switch (profile) {
    case 100:
    case 110:
    case 122:
    case 244:
    case 44:
    case 83:
    case 86:
    case 118:
    case 128:
    case 138:
    case 139:
    case 134:
    case 135:
      return true;
    default:
      return false;
  }
}

void skipScalingList(BitReader& bits, int size) {
  int32_t last = 8, next = 8;
  for (int j = 0; j < size && !bits.failed(); ++j) {
    if (next != 0) next = (last + bits.se() + 256) % 256;
    last = next == 0 ? last : next;
  }
}

}  // namespace

bool parseH264Sps(std::string_view unit, VideoFormat& format) {
  const std::string rbsp = unescapeNalUnit(unit);
  BitReader bits(rbsp);
  bits.skip(8);  // NAL header
  const uint32_t profile = bits.bits(8);
  bits.skip(8 + 8);  // constraint flags, level
  bits.ue();         // parameter set id
  uint32_t chromaFormat = 1;
  if (hasChromaInfo(profile)) {
    chromaFormat = bits.ue();
    if (chromaFormat > 3) return false;
    if (chromaFormat == 3) bits.skip(1);  // separate colour planes
    bits.ue();                            // luma bit depth
    bits.ue();                            // chroma bit depth
    bits.skip(1);                         // lossless bypass
    if (bits.bit() != 0) {                // scaling matrices
      const int lists = chromaFormat == 3 ? 12 : 8;
      for (int i = 0; i < lists; ++i) {
        if (bits.bit() != 0) skipScalingList(bits, i < 6 ? 16 : 64);
      }
    }
  }
  bits.ue();  // log2 of the frame number's range
  const uint32_t pocType = bits.ue();
  if (pocType == 0) {
    bits.ue();
  } else if (pocType == 1) {
    bits.skip(1);
    bits.se();
    bits.se();
    const uint32_t cycle = bits.ue();
    if (cycle > kMaxPocCycle) return false;
    for (uint32_t i = 0; i < cycle; ++i) bits.se();
  } else if (pocType != 2) {
    return false;
  }
  bits.ue();     // reference frames
  bits.skip(1);  // gaps in frame numbers
  const uint32_t widthMbs = bits.ue() + 1;
  const uint32_t heightUnits = bits.ue() + 1;
  const bool framesOnly = bits.bit() != 0;
  if (!framesOnly) bits.skip(1);  // adaptive frame/field macroblocks
  bits.skip(1);                   // direct 8x8 inference
  uint32_t cropLeft = 0, cropRight = 0, cropTop = 0, cropBottom = 0;
  if (bits.bit() != 0) {
    cropLeft = bits.ue();
    cropRight = bits.ue();
    cropTop = bits.ue();
    cropBottom = bits.ue();
  }
  if (bits.failed() || widthMbs > kMaxMacroblocksAcross || heightUnits > kMaxMacroblocksAcross) {
    return false;
  }
  // Cropping counts in chroma samples (luma samples for monochrome), rows of both fields.
  const uint32_t cropUnitX = chromaFormat == 1 || chromaFormat == 2 ? 2 : 1;
  const uint32_t cropUnitY = (chromaFormat == 1 ? 2 : 1) * (framesOnly ? 1 : 2);
  const uint32_t codedWidth = widthMbs * 16;
  const uint32_t codedHeight = heightUnits * 16 * (framesOnly ? 1 : 2);
  const uint64_t cropX = uint64_t{cropUnitX} * (uint64_t{cropLeft} + cropRight);
  const uint64_t cropY = uint64_t{cropUnitY} * (uint64_t{cropTop} + cropBottom);
  format = VideoFormat{};
  format.codec = "H264";
  format.width = cropX < codedWidth ? codedWidth - static_cast<uint32_t>(cropX) : codedWidth;
  format.height = cropY < codedHeight ? codedHeight - static_cast<uint32_t>(cropY) : codedHeight;
  format.interlaced = !framesOnly;

  if (bits.bit() == 0) return true;                                    // no VUI
  if (bits.bit() != 0 && bits.bits(8) == kExtendedSar) bits.skip(32);  // sample aspect ratio
  if (bits.bit() != 0) bits.skip(1);                                   // overscan
  if (bits.bit() != 0) {                                               // video signal type
    bits.skip(3 + 1);
    if (bits.bit() != 0) bits.skip(24);  // colour description
  }
  if (bits.bit() != 0) {  // chroma sample location
    bits.ue();
    bits.ue();
  }
  if (bits.bit() != 0) {  // timing: a tick is a field's time, a frame lasts two
    const uint32_t unitsInTick = bits.bits(32);
    const uint32_t timeScale = bits.bits(32);
    if (!bits.failed() && unitsInTick != 0 && timeScale != 0) {
      const uint64_t den = uint64_t{unitsInTick} * 2;
      const uint64_t divisor = std::gcd(den, uint64_t{timeScale});
      format.rateNum = static_cast<uint32_t>(timeScale / divisor);
      format.rateDen = static_cast<uint32_t>(den / divisor);
    }
  }
  return true;
}

bool findH264Sps(std::string_view bytes, VideoFormat& format) {
  return forEachNalUnit(bytes, [&](std::string_view unit) {
    return (static_cast<uint8_t>(unit[0]) & 0x1F) == kSpsUnitType && parseH264Sps(unit, format);
  });
}

}  // namespace sonavid::media
