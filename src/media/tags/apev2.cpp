#include "media/tags/apev2.h"

#include "common/text.h"
#include "media/file_reads.h"
#include "media/tags/byte_text.h"
#include "media/tags/trailing_tags.h"

namespace sonavid::media {
namespace {

constexpr size_t kApeFooterBytes = 32;
constexpr uint32_t kApeHasHeader = 0x80000000u;
constexpr uint32_t kApeIsHeader = 0x20000000u;
// Smallest item: value size, flags, a one-character key and its NUL.
constexpr size_t kMinApeItemBytes = 10;
constexpr size_t kMaxApeKeyBytes = 255;
constexpr uint32_t kUsualApeItems = 16;

// Joins the NUL-separated values of one text item.
std::u16string decodeApeText(std::string_view bytes) {
  std::u16string out;
  while (!bytes.empty()) {
    const std::string_view part = untilNul(bytes);
    bytes.remove_prefix(part.size() < bytes.size() ? part.size() + 1 : part.size());
    if (part.empty()) continue;
    if (!out.empty()) out += u"; ";
    out += decodeByteText(part);
  }
  return out;
}

// Text values longer than this are left out of a tag read item by item.
constexpr uint32_t kMaxLargeTagTextBytes = 64 * 1024;

// The items of a tag too large to read at once (a cover picture in it), one by one: each item's
// header is read, and its value only when it is a text of kMaxLargeTagTextBytes at most, so the
// texts after a picture are still found.
void readLargeApeItems(RandomAccessFile& file, uint64_t pos, uint64_t end, uint32_t count,
                       uint32_t version, ApeTag& tag) {
  if (count > kMaxApeItems) count = kMaxApeItems;
  for (uint32_t i = 0; i < count && end - pos >= kMinApeItemBytes; ++i) {
    std::string item = readBlock(file, pos, 8 + kMaxApeKeyBytes + 1);
    ByteReader in(item);
    const uint32_t valueSize = in.u32le();
    const uint32_t flags = in.u32le();
    const size_t keyLength = in.rest().find('\0');
    if (!in.ok() || keyLength == std::string_view::npos) return;
    const uint64_t valueStart = pos + 8 + keyLength + 1;
    if (valueStart > end || valueSize > end - valueStart) return;
    if (((flags >> 1) & 3) == 0 && valueSize <= kMaxLargeTagTextBytes) {
      item.resize(8 + keyLength + 1);
      item += readBlock(file, valueStart, valueSize);
      parseApeItems(ByteReader(item), 1, version, tag);
    }
    pos = valueStart + valueSize;
  }
}

}  // namespace

std::u16string ApeTag::value(std::u16string_view key) const {
  for (const ApeItem& item : items) {
    if (equalsIgnoreAsciiCase(item.key, key)) return item.value;
  }
  return {};
}

void parseApeItems(ByteReader items, uint32_t count, uint32_t /*version*/, ApeTag& tag) {
  if (count > kMaxApeItems) count = kMaxApeItems;
  // Room for the usual tag's items at once; a count beyond that grows the list as items come.
  tag.items.reserve(tag.items.size() + (count < kUsualApeItems ? count : kUsualApeItems));
  for (uint32_t i = 0; i < count && items.has(kMinApeItemBytes); ++i) {
    const uint32_t valueSize = items.u32le();
    const uint32_t flags = items.u32le();
    const std::string_view rest = items.rest();
    const size_t keyLength = rest.find('\0');
    if (keyLength == std::string_view::npos || keyLength == 0 || keyLength > kMaxApeKeyBytes) {
      return;
    }
    std::u16string key;
    for (char c : rest.substr(0, keyLength)) {
      if (c < 0x20 || c > 0x7E) return;  // keys are printable ASCII: anything else is damage
      key.push_back(static_cast<char16_t>(c));
    }
    items.skip(keyLength + 1);
    if (valueSize > items.remaining()) return;
    const std::string_view value = items.bytes(valueSize);
    // Bits 1-2 of the flags: 0 text, 1 binary, 2 external locator.
    if (((flags >> 1) & 3) != 0) continue;
    tag.items.push_back({std::move(key), decodeApeText(value)});
  }
}

std::optional<ApeTag> readApeTagEndingAt(RandomAccessFile& file, uint64_t end,
                                         uint32_t wholeBytes) {
  if (end < kApeFooterBytes || end > file.size()) return std::nullopt;
  // The footer and, usually, the items lie in the file's tail, which the caller has read.
  ReadBuffer storage;
  ByteReader in(viewBlock(file, end - kApeFooterBytes, kApeFooterBytes, storage));
  if (in.bytes(8) != "APETAGEX") return std::nullopt;
  const uint32_t version = in.u32le();
  const uint32_t size = in.u32le();  // items and footer, without the header
  const uint32_t count = in.u32le();
  const uint32_t flags = in.u32le();
  if (!in.ok() || (flags & kApeIsHeader) != 0) return std::nullopt;
  if (size < kApeFooterBytes || size > end) return std::nullopt;
  if (count > (size - kApeFooterBytes) / kMinApeItemBytes) return std::nullopt;

  ApeTag tag;
  tag.version = version;
  const uint64_t itemsStart = end - size;
  tag.start = itemsStart;
  // Count the header only when it is really there: a wrong flag must not hide what precedes.
  if ((flags & kApeHasHeader) != 0 && itemsStart >= kApeFooterBytes &&
      readBlock(file, itemsStart - kApeFooterBytes, 8) == "APETAGEX") {
    tag.start = itemsStart - kApeFooterBytes;
  }
  if (size <= wholeBytes) {
    ReadBuffer bodyStorage;
    parseApeItems(ByteReader(viewBlock(file, itemsStart, size - kApeFooterBytes, bodyStorage)),
                  count, version, tag);
  } else {
    readLargeApeItems(file, itemsStart, end - kApeFooterBytes, count, version, tag);
  }
  return tag;
}

AlbumFacts apeAlbumFacts(const ApeTag& tag) {
  static constexpr std::pair<std::u16string_view, std::u16string AlbumFacts::*> kKeys[] = {
      {u"Album Artist", &AlbumFacts::albumArtist}, {u"ALBUMARTIST", &AlbumFacts::albumArtist},
      {u"Track", &AlbumFacts::track},              {u"Disc", &AlbumFacts::disc},
      {u"Year", &AlbumFacts::date},                {u"Composer", &AlbumFacts::composer},
      {u"BPM", &AlbumFacts::bpm}};
  // One pass over the items; the first item of a key counts, as for value().
  AlbumFacts facts;
  for (const ApeItem& item : tag.items) {
    for (const auto& [key, fact] : kKeys) {
      std::u16string& kept = facts.*fact;
      if (kept.empty() && item.key.size() == key.size() && equalsIgnoreAsciiCase(item.key, key)) {
        kept = item.value;
      }
    }
  }
  return facts;
}

std::optional<ApeTag> findApeTagAtEnd(RandomAccessFile& file) {
  return readTrailingTags(file, file.size()).ape;
}

}  // namespace sonavid::media
