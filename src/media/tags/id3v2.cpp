#include "media/tags/id3v2.h"

#include <algorithm>
#include <optional>

#include "common/text.h"
#include "media/byte_reader.h"
#include "media/file_reads.h"
#include "media/tags/byte_text.h"
#include "media/tags/id3_genres.h"

namespace sonavid::media {
namespace {

constexpr uint8_t kTagUnsync = 0x80;
constexpr uint8_t kTagExtendedHeader = 0x40;  // v2.2: the whole tag is compressed
constexpr uint8_t kTagFooter = 0x10;
constexpr std::u16string_view kValueSeparator = u"; ";

uint32_t syncsafe(uint32_t raw) {
  return ((raw >> 24) & 0x7F) << 21 | ((raw >> 16) & 0x7F) << 14 | ((raw >> 8) & 0x7F) << 7 |
         (raw & 0x7F);
}

bool isSyncsafe(uint32_t raw) { return (raw & 0x80808080u) == 0; }

std::string syncsafeBytes(uint32_t value) {
  return {static_cast<char>((value >> 21) & 0x7F), static_cast<char>((value >> 14) & 0x7F),
          static_cast<char>((value >> 7) & 0x7F), static_cast<char>(value & 0x7F)};
}

// Text, comment and URL frames a usual tag holds.
constexpr size_t kUsualKeptFrames = 16;

// Frames larger than this are left out of a tag read frame by frame.
constexpr uint64_t kMaxKeptId3v2FrameBytes = 1024 * 1024;

// Removes the 0x00 that unsynchronisation put after every 0xFF.
std::string removeUnsync(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    out.push_back(bytes[i]);
    if (static_cast<uint8_t>(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0') {
      ++i;
    }
  }
  return out;
}

bool isFrameIdChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool isFrameId(std::string_view id) {
  for (char c : id) {
    if (!isFrameIdChar(c)) return false;
  }
  return !id.empty();
}

// v2.2 ids of the frames we read, with their later names.
std::string translateV22(std::string_view id) {
  static constexpr std::pair<std::string_view, std::string_view> kIds[] = {
      {"TT2", "TIT2"}, {"TP1", "TPE1"}, {"TAL", "TALB"}, {"TYE", "TYER"}, {"TCO", "TCON"},
      {"TCR", "TCOP"}, {"TSS", "TSSE"}, {"TCM", "TCOM"}, {"TOA", "TOPE"}, {"WXX", "WXXX"},
      {"TEN", "TENC"}, {"TRK", "TRCK"}, {"COM", "COMM"}, {"TDA", "TDAT"}, {"TP2", "TPE2"},
      {"TPA", "TPOS"}, {"TBP", "TBPM"}};
  for (const auto& [old, current] : kIds) {
    if (sameShortText(id, old)) return std::string(current);
  }
  return {};
}

std::u16string decodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<uint8_t>(bytes[i]);
    const auto b = static_cast<uint8_t>(bytes[i + 1]);
    out.push_back(static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
  }
  return out;
}

// Reads the strings of a frame in one of the four ID3v2 text encodings. For UTF-16 with a
// byte-order mark, a string without its own mark keeps the order of the one before.
class EncodedStrings {
 public:
  EncodedStrings(uint8_t encoding, std::string_view bytes) : encoding_(encoding), bytes_(bytes) {}

  bool atEnd() const { return bytes_.empty(); }

  // The next NUL-terminated string (or the rest).
  std::u16string next() {
    const bool wide = encoding_ == 1 || encoding_ == 2;
    size_t end = bytes_.size();
    size_t terminator = 0;
    if (wide) {
      for (size_t i = 0; i + 1 < bytes_.size(); i += 2) {
        if (bytes_[i] == '\0' && bytes_[i + 1] == '\0') {
          end = i;
          terminator = 2;
          break;
        }
      }
    } else {
      const size_t nul = bytes_.find('\0');
      if (nul != std::string_view::npos) {
        end = nul;
        terminator = 1;
      }
    }
    std::string_view raw = bytes_.substr(0, end);
    bytes_.remove_prefix(end + terminator);
    switch (encoding_) {
      case 0:
        return decodeByteText(raw);
      case 1:
      case 2:
        if (raw.size() >= 2) {
          const auto a = static_cast<uint8_t>(raw[0]);
          const auto b = static_cast<uint8_t>(raw[1]);
          if (a == 0xFF && b == 0xFE) {
            bigEndian_ = false;
            raw.remove_prefix(2);
          } else if (a == 0xFE && b == 0xFF) {
            bigEndian_ = true;
            raw.remove_prefix(2);
          }
        }
        return decodeUtf16(raw, encoding_ == 2 ? true : bigEndian_);
      default:
        if (raw.substr(0, 3) == "\xEF\xBB\xBF") raw.remove_prefix(3);
        return utf8ToUtf16(raw);
    }
  }

 private:
  uint8_t encoding_;
  std::string_view bytes_;
  // A UTF-16 string without a mark: little-endian, as Windows taggers write it.
  bool bigEndian_ = false;
};

// All strings of a text frame, joined.
std::u16string textFrameValue(std::string_view data) {
  if (data.empty()) return {};
  EncodedStrings strings(static_cast<uint8_t>(data[0]), data.substr(1));
  std::u16string out;
  while (!strings.atEnd()) {
    std::u16string part = strings.next();
    if (part.empty()) continue;
    if (out.empty()) {
      out = std::move(part);  // the usual single string: kept, not copied
      continue;
    }
    out += kValueSeparator;
    out += part;
  }
  return out;
}

// COMM: encoding, language (3 bytes), description, text.
std::optional<std::pair<std::u16string, std::u16string>> commentFrameValue(std::string_view data) {
  if (data.size() < 4) return std::nullopt;
  EncodedStrings strings(static_cast<uint8_t>(data[0]), data.substr(4));
  std::u16string description = strings.next();
  std::u16string text = trimTrailing(strings.next());
  return std::make_pair(std::move(description), std::move(text));
}

// WXXX: encoding, description, then the URL in ISO-8859-1.
std::u16string urlFrameValue(std::string_view data) {
  if (data.empty()) return {};
  const uint8_t encoding = static_cast<uint8_t>(data[0]);
  // Skip the description by hand: its length in bytes decides where the URL starts.
  std::string_view rest = data.substr(1);
  if (encoding == 1 || encoding == 2) {
    size_t i = 0;
    while (i + 1 < rest.size() && !(rest[i] == '\0' && rest[i + 1] == '\0')) i += 2;
    rest.remove_prefix(i + 2 <= rest.size() ? i + 2 : rest.size());
  } else {
    const size_t nul = rest.find('\0');
    rest.remove_prefix(nul == std::string_view::npos ? rest.size() : nul + 1);
  }
  return decodeByteText(untilNul(rest));
}

struct FrameCollector {
  Id3v2Tag& tag;
  bool commentHasDescription = false;

  void add(const std::string& id, std::string_view data) {
    if (sameShortText(id, "COMM")) {
      auto comment = commentFrameValue(data);
      if (!comment) return;
      const bool described = !comment->first.empty();
      const std::u16string* existing = find(id);
      if (existing == nullptr) {
        tag.frames.emplace_back(id, std::move(comment->second));
        commentHasDescription = described;
      } else if (commentHasDescription && !described) {
        set(id, std::move(comment->second));
        commentHasDescription = false;
      }
      return;
    }
    if (find(id) != nullptr) return;
    if (sameShortText(id, "WXXX")) {
      tag.frames.emplace_back(id, urlFrameValue(data));
    } else if (id[0] == 'T' && !sameShortText(id, "TXXX")) {
      tag.frames.emplace_back(id, textFrameValue(data));
    }
  }
  const std::u16string* find(std::string_view id) const {
    for (const auto& frame : tag.frames) {
      if (sameShortText(frame.first, id)) return &frame.second;
    }
    return nullptr;
  }
  void set(std::string_view id, std::u16string value) {
    for (auto& frame : tag.frames) {
      if (sameShortText(frame.first, id)) frame.second = std::move(value);
    }
  }
};

// True when a frame list could go on at `pos` of `body`: at its end, in padding, or at a
// plausible frame header.
bool frameCanStartAt(std::string_view body, size_t pos) {
  if (pos > body.size()) return false;
  if (pos == body.size() || body[pos] == '\0') return true;
  return body.size() - pos >= 10 && isFrameId(body.substr(pos, 4));
}

void parseFrames(ByteReader in, int version, bool unsyncAllFrames, FrameCollector& out) {
  const size_t idLength = version == 2 ? 3 : 4;
  const size_t headerLength = version == 2 ? 6 : 10;
  const std::string_view body = in.rest();
  const size_t base = in.position();
  for (size_t count = 0; count < kMaxId3v2Frames && in.has(headerLength); ++count) {
    const size_t frameStart = in.position() - base;
    const std::string_view id = in.bytes(idLength);
    if (!isFrameId(id)) return;  // padding, or damage
    uint32_t size = 0;
    uint16_t flags = 0;
    if (version == 2) {
      size = in.u24be();
    } else {
      const uint32_t raw = in.u32be();
      flags = in.u16be();
      size = raw;
      if (version == 4 && isSyncsafe(raw)) {
        // Syncsafe as the version says, unless only the plain reading lands on a next frame.
        const uint32_t safe = syncsafe(raw);
        const size_t dataStart = frameStart + headerLength;
        const bool safeFits =
            safe <= body.size() - dataStart && frameCanStartAt(body, dataStart + safe);
        const bool rawFits =
            raw <= body.size() - dataStart && frameCanStartAt(body, dataStart + raw);
        size = safeFits || !rawFits ? safe : raw;
      }
    }
    if (size > in.remaining()) return;
    std::string_view data = in.bytes(size);

    std::string name = version == 2 ? translateV22(id) : std::string(id);
    bool skip = name.empty();
    std::string unsynced;
    if (version == 3) {
      if ((flags & 0x00C0) != 0) skip = true;  // compressed or encrypted
      if ((flags & 0x0020) != 0) data.remove_prefix(data.empty() ? 0 : 1);  // group id
    } else if (version == 4) {
      if ((flags & 0x000C) != 0) skip = true;  // compressed or encrypted
      if ((flags & 0x0040) != 0) data.remove_prefix(data.empty() ? 0 : 1);  // group id
      if ((flags & 0x0001) != 0) data.remove_prefix(data.size() < 4 ? data.size() : 4);
      if (!skip && ((flags & 0x0002) != 0 || unsyncAllFrames)) {
        unsynced = removeUnsync(data);
        data = unsynced;
      }
    }
    if (!skip) out.add(name, data);
  }
}

}  // namespace

uint64_t id3v2TagSize(std::string_view head) {
  ByteReader in(head);
  if (in.bytes(3) != "ID3") return 0;
  const uint8_t major = in.u8();
  const uint8_t revision = in.u8();
  const uint8_t flags = in.u8();
  const uint32_t raw = in.u32be();
  if (!in.ok() || major < 2 || major > 4 || revision == 0xFF || !isSyncsafe(raw)) return 0;
  uint64_t size = kId3v2HeaderBytes + syncsafe(raw);
  if (major == 4 && (flags & kTagFooter) != 0) size += kId3v2HeaderBytes;
  return size;
}

Id3v2Tag parseId3v2(std::string_view tagBytes) {
  Id3v2Tag tag;
  if (id3v2TagSize(tagBytes) == 0) return tag;
  ByteReader header(tagBytes);
  header.skip(3);
  tag.majorVersion = header.u8();
  header.skip(1);
  const uint8_t flags = header.u8();
  const uint32_t bodySize = syncsafe(header.u32be());
  std::string_view body = tagBytes.substr(kId3v2HeaderBytes);
  if (body.size() > bodySize) body = body.substr(0, bodySize);

  const int version = tag.majorVersion;
  if (version == 2 && (flags & kTagExtendedHeader) != 0) return tag;  // compressed: unreadable
  // Before v2.4 unsynchronisation covers the whole tag, extended header included.
  std::string unsynced;
  if (version < 4 && (flags & kTagUnsync) != 0) {
    unsynced = removeUnsync(body);
    body = unsynced;
  }
  ByteReader in(body);
  if (version >= 3 && (flags & kTagExtendedHeader) != 0) {
    // v2.3: size of the rest of the extended header (6 or 10); v2.4: syncsafe size including
    // itself (at least 6). Some taggers set the flag without writing the header: when the size
    // is impossible, the frames start right after the tag header.
    const uint32_t raw = in.u32be();
    const bool plausible = version == 3 ? raw >= 6 : isSyncsafe(raw) && syncsafe(raw) >= 6;
    const uint64_t rest = version == 3 ? raw : syncsafe(raw) - uint64_t{4};
    if (in.ok() && plausible && rest <= in.remaining()) {
      in.skip(static_cast<size_t>(rest));
    } else {
      in = ByteReader(body);
    }
  }
  // Room for the frames a usual tag keeps, so the list is not grown frame by frame.
  tag.frames.reserve(kUsualKeptFrames);
  FrameCollector collector{tag};
  parseFrames(in.sub(in.remaining()), version, version == 4 && (flags & kTagUnsync) != 0,
              collector);
  return tag;
}

std::string readId3v2Tag(RandomAccessFile& file, uint64_t tagSize, uint64_t wholeBytes) {
  if (tagSize <= wholeBytes) return readBlock(file, 0, static_cast<size_t>(tagSize));
  std::string tag = readBlock(file, 0, kId3v2HeaderBytes);
  if (id3v2TagSize(tag) == 0) return {};
  const int version = static_cast<uint8_t>(tag[3]);
  const uint8_t flags = static_cast<uint8_t>(tag[5]);
  if (version == 2 || (version == 3 && (flags & kTagUnsync) != 0)) {
    return readBlock(file, 0, kMaxBlockBytes);
  }
  const uint64_t end = std::min<uint64_t>(
      kId3v2HeaderBytes + syncsafe(ByteReader(tag.substr(6)).u32be()), file.size());
  uint64_t pos = kId3v2HeaderBytes;
  if ((flags & kTagExtendedHeader) != 0) {
    const uint32_t raw = ByteReader(readBlock(file, pos, 4)).u32be();
    const uint64_t bytes = version == 3 ? raw + uint64_t{4} : syncsafe(raw);
    if ((version == 3 || isSyncsafe(raw)) && bytes >= 6 && bytes <= end - pos) pos += bytes;
  }
  // A frame can start where a frame id or padding is, or at the end.
  auto frameCanStartAt = [&](uint64_t at) {
    if (at == end) return true;
    if (at > end) return false;
    const std::string next = readBlock(file, at, 4);
    return next.empty() || next[0] == '\0' || (next.size() == 4 && isFrameId(next));
  };
  for (size_t count = 0; count < kMaxId3v2Frames && end - pos >= kId3v2HeaderBytes; ++count) {
    const std::string header = readBlock(file, pos, kId3v2HeaderBytes);
    ByteReader in(header);
    if (!isFrameId(in.bytes(4))) break;
    const uint32_t raw = in.u32be();
    uint64_t size = raw;
    if (version == 4 && isSyncsafe(raw) &&
        (frameCanStartAt(pos + kId3v2HeaderBytes + syncsafe(raw)) ||
         !frameCanStartAt(pos + kId3v2HeaderBytes + raw))) {
      size = syncsafe(raw);
    }
    if (!in.ok() || size > end - pos - kId3v2HeaderBytes) break;
    const uint64_t frameBytes = kId3v2HeaderBytes + size;
    if (size <= kMaxKeptId3v2FrameBytes && size <= wholeBytes &&
        kMaxBlockBytes - tag.size() >= frameBytes) {
      std::string frame = readBlock(file, pos, static_cast<size_t>(frameBytes));
      if (frame.size() != frameBytes) break;
      // Kept with a syncsafe size, as the version says, whatever the writer put.
      if (version == 4) frame.replace(4, 4, syncsafeBytes(static_cast<uint32_t>(size)));
      tag += frame;
    }
    pos += frameBytes;
  }
  // The header of what was kept: its size, and no extended header or footer.
  tag[5] = static_cast<char>(flags & ~(kTagExtendedHeader | kTagFooter));
  tag.replace(6, 4, syncsafeBytes(static_cast<uint32_t>(tag.size() - kId3v2HeaderBytes)));
  return tag;
}

std::u16string Id3v2Tag::text(std::string_view id) const {
  for (const auto& frame : frames) {
    if (sameShortText(frame.first, id)) return frame.second;
  }
  return {};
}

std::u16string resolveId3Genre(std::u16string_view text) {
  std::u16string out;
  std::u16string last;
  auto append = [&](std::u16string_view genre) {
    if (genre.empty() || genre == last) return;
    if (!out.empty()) out += kValueSeparator;
    out += genre;
    last = std::u16string(genre);
  };
  // Each value separated by our joiner is resolved on its own.
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(kValueSeparator, start);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view value = text.substr(start, end - start);
    start = end + kValueSeparator.size();

    bool allDigits = !value.empty() && value.size() <= 3;
    for (char16_t c : value) allDigits = allDigits && c >= u'0' && c <= u'9';
    if (allDigits) {
      int number = 0;
      for (char16_t c : value) number = number * 10 + (c - u'0');
      const std::u16string_view name = id3GenreName(number);
      append(name.empty() ? value : name);
      continue;
    }
    // "(n)" references, then an optional refinement; "((" starts a literal "(".
    while (value.size() >= 3 && value[0] == u'(' && value[1] != u'(') {
      const size_t close = value.find(u')');
      if (close == std::u16string_view::npos) break;
      const std::u16string_view inner = value.substr(1, close - 1);
      std::u16string_view name;
      if (inner == u"RX") {
        name = u"Remix";
      } else if (inner == u"CR") {
        name = u"Cover";
      } else {
        bool digits = !inner.empty() && inner.size() <= 3;
        int number = 0;
        for (char16_t c : inner) {
          if (c < u'0' || c > u'9') digits = false;
          if (!digits) break;
          number = number * 10 + (c - u'0');
        }
        if (!digits || id3GenreName(number).empty()) break;  // unknown: keep the text
        name = id3GenreName(number);
      }
      append(name);
      value.remove_prefix(close + 1);
    }
    if (value.substr(0, 2) == u"((") value.remove_prefix(1);
    append(value);
    if (end == text.size()) break;
  }
  return out;
}

}  // namespace sonavid::media
