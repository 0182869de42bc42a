#include "media/values/stream_fact_texts.h"

#include <numeric>

#include "common/text.h"

namespace sonavid::media {
namespace {

enum class Fact {
  kSecs,
  kLength,
  kAudioCodec,
  kKbps,
  kSampleRate,
  kBits,
  kChannels,
  kVideoCodec,
  kWidth,
  kHeight,
  kResolution,
  kFrameRate
};

// Codes are compared as the number their (at most eight) letters make: a lookup that finds
// no value (VFMT of an audio file) passes through here too, so it costs a few compares.
constexpr uint64_t codeKey(std::string_view code) {
  uint64_t key = 0;
  for (char c : code) key = key << 8 | static_cast<unsigned char>(c);
  return key;
}

struct FactCode {
  uint64_t key;
  Fact fact;
};

constexpr FactCode kFactCodes[] = {
    {codeKey("SECS"), Fact::kSecs},         {codeKey("LENGTH"), Fact::kLength},
    {codeKey("ACODEC"), Fact::kAudioCodec}, {codeKey("KBPS"), Fact::kKbps},
    {codeKey("SRATE"), Fact::kSampleRate},  {codeKey("BITS"), Fact::kBits},
    {codeKey("CH"), Fact::kChannels},       {codeKey("VCODEC"), Fact::kVideoCodec},
    {codeKey("WIDTH"), Fact::kWidth},       {codeKey("HEIGHT"), Fact::kHeight},
    {codeKey("RES"), Fact::kResolution},    {codeKey("FPS"), Fact::kFrameRate},
};
constexpr size_t kLongestFactCode = 6;

// Picture classes by the height a picture of the width would have at 16:9, so that wide
// films (1920x800) and anamorphic broadcasts (1440x1080) fall in the class of their width.
struct ResolutionClass {
  uint64_t least;
  uint64_t name;
};
constexpr ResolutionClass kResolutionClasses[] = {{2000, 2160}, {1300, 1440}, {1000, 1080},
                                                  {650, 720},   {560, 576},   {460, 480}};

// A count; none at all is no fact.
void appendCount(std::u16string& out, uint64_t value) {
  if (value != 0) appendDecimal(out, value);
}

void appendLength(std::u16string& out, int64_t durationMs) {
  if (durationMs < 0) return;
  const uint64_t seconds = static_cast<uint64_t>(durationMs) / 1000;
  if (seconds >= 3600) {
    appendDecimal(out, seconds / 3600);
    out += u'\'';
    appendDecimal(out, seconds / 60 % 60, 2);
  } else {
    appendDecimal(out, seconds / 60);
  }
  out += u'\'';
  appendDecimal(out, seconds % 60, 2);
}

void appendResolution(std::u16string& out, const StreamFacts& facts) {
  if (facts.width == 0 || facts.height == 0) return;
  const uint64_t fromWidth = uint64_t{facts.width} * 9 / 16;
  const uint64_t v = facts.height > fromWidth ? facts.height : fromWidth;
  uint64_t name = v;
  for (const ResolutionClass& c : kResolutionClasses) {
    if (v >= c.least) {
      name = c.name;
      break;
    }
  }
  appendDecimal(out, name);
  out += facts.interlaced ? u'i' : u'p';
}

// Frames per second to three decimals, rounded; trailing zeros and the point dropped.
void appendFrameRate(std::u16string& out, const StreamFacts& facts) {
  if (facts.frameRateNum == 0 || facts.frameRateDen == 0) return;
  const uint64_t den = facts.frameRateDen;
  const uint64_t thousandths = (uint64_t{facts.frameRateNum} * 2000 + den) / (2 * den);
  if (thousandths == 0) return;
  appendDecimal(out, thousandths / 1000);
  uint64_t fraction = thousandths % 1000;
  if (fraction == 0) return;
  int digits = 3;
  while (fraction % 10 == 0) {
    fraction /= 10;
    --digits;
  }
  out += u'.';
  appendDecimal(out, fraction, digits);
}

}  // namespace

bool streamFactText(const StreamFacts& facts, std::string_view code, std::u16string& out) {
  if (code.empty() || code.size() > kLongestFactCode) return false;
  const uint64_t key = codeKey(code);
  const FactCode* found = nullptr;
  for (const FactCode& entry : kFactCodes) {
    if (entry.key == key) {
      found = &entry;
      break;
    }
  }
  if (found == nullptr) return false;
  out.clear();
  switch (found->fact) {
    case Fact::kSecs:
      if (facts.durationMs >= 0) appendDecimal(out, static_cast<uint64_t>(facts.durationMs) / 1000);
      break;
    case Fact::kLength:
      appendLength(out, facts.durationMs);
      break;
    case Fact::kAudioCodec:
      out.assign(facts.audioCodec.begin(), facts.audioCodec.end());
      break;
    case Fact::kKbps:
      appendCount(out, facts.audioKbps);
      break;
    case Fact::kSampleRate:
      appendCount(out, facts.sampleRate);
      break;
    case Fact::kBits:
      appendCount(out, facts.bitsPerSample);
      break;
    case Fact::kChannels:
      appendCount(out, facts.channels);
      break;
    case Fact::kVideoCodec:
      out.assign(facts.videoCodec.begin(), facts.videoCodec.end());
      break;
    case Fact::kWidth:
      appendCount(out, facts.width);
      break;
    case Fact::kHeight:
      appendCount(out, facts.height);
      break;
    case Fact::kResolution:
      appendResolution(out, facts);
      break;
    case Fact::kFrameRate:
      appendFrameRate(out, facts);
      break;
  }
  return true;
}

void setFrameRate(StreamFacts& facts, uint64_t num, uint64_t den) {
  facts.frameRateNum = 0;
  facts.frameRateDen = 0;
  if (num == 0 || den == 0) return;
  const uint64_t common = std::gcd(num, den);
  num /= common;
  den /= common;
  while (num > UINT32_MAX || den > UINT32_MAX) {
    num >>= 1;
    den >>= 1;
  }
  if (num == 0 || den == 0) return;
  facts.frameRateNum = static_cast<uint32_t>(num);
  facts.frameRateDen = static_cast<uint32_t>(den);
}

}  // namespace sonavid::media
