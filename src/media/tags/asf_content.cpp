#include "media/tags/asf_content.h"

#include "common/int_reading.h"
#include "common/text.h"

namespace sonavid::media {

namespace {

// Attribute value types shared by the three attribute objects.
enum AsfValueType : uint16_t {
  kAsfUnicode = 0,
  kAsfBytes = 1,
  kAsfBool = 2,
  kAsfDword = 3,
  kAsfQword = 4,
  kAsfWord = 5,
  kAsfGuid = 6,
};

std::u16string valueText(uint16_t type, std::string_view data) {
  ByteReader value(data);
  switch (type) {
    case kAsfUnicode:
      return decodeUtf16Le(data);
    case kAsfBool:
      // Four bytes in the Extended Content Description, two in the Metadata objects.
      return data.empty() ? std::u16string() : toU16(data.find_first_not_of('\0') != data.npos);
    case kAsfDword:
      return data.size() >= 4 ? toU16(value.u32le()) : std::u16string();
    case kAsfQword: {
      if (data.size() < 8) return {};
      const uint64_t number = value.u64le();
      return number > uint64_t{INT64_MAX} ? std::u16string()
                                          : toU16(static_cast<long long>(number));
    }
    case kAsfWord:
      return data.size() >= 2 ? toU16(value.u16le()) : std::u16string();
    default:
      return {};  // byte arrays (pictures) and GUIDs carry no text
  }
}

// Trailing blanks and NULs that some taggers leave in fixed texts.
std::u16string trimmed(std::u16string text) {
  while (!text.empty() && (text.back() == u' ' || text.back() == 0)) text.pop_back();
  return text;
}

}  // namespace

std::u16string decodeUtf16Le(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t c = static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                             (static_cast<uint8_t>(bytes[i + 1]) << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

void AsfContent::readContentDescription(ByteReader body) {
  // Five lengths in bytes, then the five UTF-16LE texts in the same order.
  uint16_t lengths[5];
  for (uint16_t& length : lengths) length = body.u16le();
  std::u16string* targets[5] = {&title_, &author_, &copyright_, &description_, nullptr};
  for (int i = 0; i < 5 && body.ok(); ++i) {
    std::string_view bytes = body.bytes(lengths[i]);
    if (body.failed()) break;
    if (targets[i] != nullptr && targets[i]->empty()) *targets[i] = trimmed(decodeUtf16Le(bytes));
  }
}

void AsfContent::readExtendedContentDescription(ByteReader body) {
  // Count, then per descriptor: name length, name, value type, value length, value.
  const uint16_t count = body.u16le();
  for (uint16_t i = 0; i < count && body.ok(); ++i) {
    const uint16_t nameLength = body.u16le();
    std::string_view name = body.bytes(nameLength);
    const uint16_t type = body.u16le();
    const uint16_t valueLength = body.u16le();
    std::string_view data = body.bytes(valueLength);
    if (body.failed()) break;
    addAttribute(decodeUtf16Le(name), type, data);
  }
}

void AsfContent::readMetadata(ByteReader body) {
  // Count, then per record: language index (or reserved), stream number, name length,
  // value type, value length (32-bit), name, value.
  const uint16_t count = body.u16le();
  for (uint16_t i = 0; i < count && body.ok(); ++i) {
    body.skip(4);
    const uint16_t nameLength = body.u16le();
    const uint16_t type = body.u16le();
    const uint32_t valueLength = body.u32le();
    std::string_view name = body.bytes(nameLength);
    std::string_view data = body.bytes(valueLength);
    if (body.failed()) break;
    addAttribute(decodeUtf16Le(name), type, data);
  }
}

void AsfContent::addAttribute(std::u16string name, uint16_t type, std::string_view data) {
  if (attributes_.size() >= kMaxAsfAttributes) return;
  std::u16string text = trimmed(valueText(type, data));
  if (text.empty()) return;
  attributes_.emplace_back(std::move(name), std::move(text));
}

std::u16string AsfContent::attribute(std::u16string_view name) const {
  for (const auto& [key, value] : attributes_) {
    if (equalsIgnoreAsciiCase(key, name)) return value;
  }
  return {};
}

void AsfContent::fill(MediaInfo& info) const {
  // Some writers (ffmpeg among them) put a text that has no room in the Content Description
  // object into an attribute of the same name instead.
  auto fixedText = [this](const std::u16string& fixed, std::u16string_view name) {
    return fixed.empty() ? attribute(name) : fixed;
  };
  info.set("INAM", fixedText(title_, u"Title"));
  info.set("IART", fixedText(author_, u"Author"));
  info.set("ICOP", fixedText(copyright_, u"Copyright"));
  info.set("ICMT", fixedText(description_, u"Description"));
  info.set("IPRD", attribute(u"WM/AlbumTitle"));
  info.set("ICRD", attribute(u"WM/Year"));
  info.set("IGNR", attribute(u"WM/Genre"));
  info.set("URL1", attribute(u"WM/AlbumCoverURL"));
  info.set("URL2", attribute(u"WM/PromotionURL"));
  // WM/TrackNumber counts from 1; the older WM/Track counts from 0.
  std::u16string track = attribute(u"WM/TrackNumber");
  if (track.empty()) {
    if (auto zeroBased = readInt32(attribute(u"WM/Track")); zeroBased && *zeroBased >= 0) {
      track = toU16(static_cast<long long>(*zeroBased) + 1);
    }
  }
  info.album.track = track;
  info.set("TRACK", std::move(track));

  // The other album facts in one pass over the attributes; the first of a name counts.
  static constexpr std::pair<std::u16string_view, std::u16string AlbumFacts::*> kFacts[] = {
      {u"WM/AlbumArtist", &AlbumFacts::albumArtist}, {u"WM/PartOfSet", &AlbumFacts::disc},
      {u"WM/Year", &AlbumFacts::date},               {u"WM/Composer", &AlbumFacts::composer},
      {u"WM/BeatsPerMinute", &AlbumFacts::bpm}};
  for (const auto& [name, value] : attributes_) {
    for (const auto& [factName, fact] : kFacts) {
      std::u16string& kept = info.album.*fact;
      if (kept.empty() && name.size() == factName.size() && equalsIgnoreAsciiCase(name, factName)) {
        kept = value;
      }
    }
  }
}

}  // namespace sonavid::media
