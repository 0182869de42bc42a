#include "media/streams/hevc_sps.h"

#include <array>
#include <numeric>
#include <string>
#include <vector>

#include "media/streams/bit_reader.h"
#include "media/streams/nal_units.h"

namespace sonavid::media {
namespace {

constexpr uint8_t kSpsUnitType = 33;
constexpr uint32_t kMaxPictureSide = 16888;  // the largest level's limit (8192 * sqrt(4.25))
constexpr uint32_t kMaxReferencePictureSets = 64;
constexpr uint32_t kMaxDeltaPictures = 16;
constexpr uint32_t kMaxLongTermPictures = 32;
constexpr uint32_t kExtendedSar = 255;

void skipProfileTierLevel(BitReader& bits, uint32_t subLayers) {
  bits.skip(88);  // general profile space, tier, profile, compatibility and constraint flags
  bits.skip(8);   // general level
  std::array<bool, 8> profilePresent{}, levelPresent{};
  for (uint32_t i = 0; i < subLayers; ++i) {
    profilePresent[i] = bits.bit() != 0;
    levelPresent[i] = bits.bit() != 0;
  }
  if (subLayers > 0) bits.skip(static_cast<int>(2 * (8 - subLayers)));
  for (uint32_t i = 0; i < subLayers; ++i) {
    if (profilePresent[i]) bits.skip(88);
    if (levelPresent[i]) bits.skip(8);
  }
}

void skipScalingListData(BitReader& bits) {
  for (int size = 0; size < 4; ++size) {
    for (int matrix = 0; matrix < 6; matrix += size == 3 ? 3 : 1) {
      if (bits.bit() == 0) {
        bits.ue();  // predicted from a reference list
        continue;
      }
      const int coefficients = std::min(64, 1 << (4 + (size << 1)));
      if (size > 1) bits.se();  // DC coefficient
      for (int i = 0; i < coefficients && !bits.failed(); ++i) bits.se();
    }
  }
}

// A short-term reference picture set: the POC deltas of its pictures before and after the
// current one, which a later set may be predicted from.
struct ReferenceSet {
  std::vector<int32_t> negative;
  std::vector<int32_t> positive;
  size_t count() const { return negative.size() + positive.size(); }
};

bool readReferenceSet(BitReader& bits, uint32_t index, std::vector<ReferenceSet>& sets) {
  ReferenceSet set;
  if (index != 0 && bits.bit() != 0) {
    // Predicted from the set before it: each of its pictures shifted by one delta, kept or not.
    const ReferenceSet& ref = sets[index - 1];
    const int32_t sign = bits.bit() != 0 ? -1 : 1;
    const int32_t delta = sign * static_cast<int32_t>(bits.ue() + 1);
    std::vector<int32_t> shifted;
    for (int32_t d : ref.negative) shifted.push_back(d + delta);
    for (int32_t d : ref.positive) shifted.push_back(d + delta);
    shifted.push_back(delta);  // the reference picture itself
    for (int32_t d : shifted) {
      const bool used = bits.bit() != 0;
      const bool kept = used || bits.bit() != 0;
      if (!kept || d == 0) continue;
      (d < 0 ? set.negative : set.positive).push_back(d);
    }
  } else {
    const uint32_t negatives = bits.ue();
    const uint32_t positives = bits.ue();
    if (negatives > kMaxDeltaPictures || positives > kMaxDeltaPictures) return false;
    int32_t poc = 0;
    for (uint32_t i = 0; i < negatives; ++i) {
      poc -= static_cast<int32_t>(bits.ue() + 1);
      bits.skip(1);
      set.negative.push_back(poc);
    }
    poc = 0;
    for (uint32_t i = 0; i < positives; ++i) {
      poc += static_cast<int32_t>(bits.ue() + 1);
      bits.skip(1);
      set.positive.push_back(poc);
    }
  }
  if (set.count() > kMaxDeltaPictures) return false;
  sets.push_back(std::move(set));
  return !bits.failed();
}

}  // namespace

bool parseHevcSps(std::string_view unit, VideoFormat& format) {
  const std::string rbsp = unescapeNalUnit(unit);
  BitReader bits(rbsp);
  bits.skip(16);  // NAL header
  bits.skip(4);   // video parameter set id
  const uint32_t subLayers = bits.bits(3);
  if (subLayers > 6) return false;
  bits.skip(1);  // temporal id nesting
  skipProfileTierLevel(bits, subLayers);
  bits.ue();  // parameter set id
  const uint32_t chromaFormat = bits.ue();
  if (chromaFormat > 3) return false;
  if (chromaFormat == 3) bits.skip(1);  // separate colour planes
  const uint32_t width = bits.ue();
  const uint32_t height = bits.ue();
  uint64_t cropX = 0, cropY = 0;
  if (bits.bit() != 0) {  // conformance window, in chroma samples
    const uint32_t unitX = chromaFormat == 1 || chromaFormat == 2 ? 2 : 1;
    const uint32_t unitY = chromaFormat == 1 ? 2 : 1;
    cropX = uint64_t{unitX} * (uint64_t{bits.ue()} + bits.ue());
    cropY = uint64_t{unitY} * (uint64_t{bits.ue()} + bits.ue());
  }
  if (bits.failed() || width == 0 || height == 0 || width > kMaxPictureSide ||
      height > kMaxPictureSide) {
    return false;
  }
  format = VideoFormat{};
  format.codec = "HEVC";
  format.width = cropX < width ? width - static_cast<uint32_t>(cropX) : width;
  format.height = cropY < height ? height - static_cast<uint32_t>(cropY) : height;

  bits.ue();  // luma bit depth
  bits.ue();  // chroma bit depth
  const uint32_t pocLsbBits = bits.ue() + 4;
  if (pocLsbBits > 16) return true;
  const bool allSubLayers = bits.bit() != 0;
  for (uint32_t i = allSubLayers ? 0 : subLayers; i <= subLayers; ++i) {
    bits.ue();
    bits.ue();
    bits.ue();
  }
  for (int i = 0; i < 6; ++i) bits.ue();  // coding and transform block sizes, hierarchy depths
  if (bits.bit() != 0 && bits.bit() != 0) skipScalingListData(bits);
  bits.skip(2);           // asymmetric motion partitions, sample adaptive offset
  if (bits.bit() != 0) {  // PCM samples
    bits.skip(8);
    bits.ue();
    bits.ue();
    bits.skip(1);
  }
  const uint32_t setCount = bits.ue();
  if (setCount > kMaxReferencePictureSets) return true;
  std::vector<ReferenceSet> sets;
  for (uint32_t i = 0; i < setCount; ++i) {
    if (!readReferenceSet(bits, i, sets)) return true;
  }
  if (bits.bit() != 0) {  // long-term reference pictures
    const uint32_t count = bits.ue();
    if (count > kMaxLongTermPictures) return true;
    for (uint32_t i = 0; i < count; ++i) bits.skip(static_cast<int>(pocLsbBits) + 1);
  }
  bits.skip(2);                      // temporal motion vectors, strong intra smoothing
  if (bits.bit() == 0) return true;  // no VUI
  if (bits.bit() != 0 && bits.bits(8) == kExtendedSar) bits.skip(32);  // sample aspect ratio
  if (bits.bit() != 0) bits.skip(1);                                   // overscan
  if (bits.bit() != 0) {                                               // video signal type
    bits.skip(3 + 1);
    if (bits.bit() != 0) bits.skip(24);
  }
  if (bits.bit() != 0) {  // chroma sample location
    bits.ue();
    bits.ue();
  }
  bits.skip(1);  // neutral chroma
  // Each picture is one field: the stream is interlaced.
  format.interlaced = bits.bit() != 0;
  bits.skip(1);           // frame/field information in SEI
  if (bits.bit() != 0) {  // default display window
    for (int i = 0; i < 4; ++i) bits.ue();
  }
  if (bits.bit() != 0) {  // timing: a tick is one picture's time
    const uint32_t unitsInTick = bits.bits(32);
    const uint32_t timeScale = bits.bits(32);
    if (!bits.failed() && unitsInTick != 0 && timeScale != 0) {
      const uint32_t divisor = std::gcd(unitsInTick, timeScale);
      format.rateNum = timeScale / divisor;
      format.rateDen = unitsInTick / divisor;
    }
  }
  return true;
}

bool findHevcSps(std::string_view bytes, VideoFormat& format) {
  return forEachNalUnit(bytes, [&](std::string_view unit) {
    return unit.size() >= 2 && ((static_cast<uint8_t>(unit[0]) >> 1) & 0x3F) == kSpsUnitType &&
           parseHevcSps(unit, format);
  });
}

}  // namespace sonavid::media
