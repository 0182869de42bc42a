// APE tags (versions 1 and 2): a 32-byte footer "APETAGEX" at the end of the tag, optionally a
// header of the same shape before the items. Each item: value size (u32le), flags (u32le), a
// NUL-terminated ASCII key, then the value. Text values are UTF-8 in version 2; several
// values of one item are separated by NULs.
//
// The tag sits at the end of a file, or before an ID3v1 tag, with a Lyrics3v2 block tolerated
// between them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/platform.h"
#include "media/byte_reader.h"
#include "media/values/album_facts.h"

namespace sonavid::media {

// Caps on what one tag may make us hold. A larger tag is read item by item, its large values
// (pictures) skipped.
inline constexpr uint32_t kMaxApeItems = 1024;
inline constexpr uint32_t kMaxApeTagBytes = 1024 * 1024;

struct ApeItem {
  std::u16string key;    // as stored
  std::u16string value;  // text items only; several values joined by "; "
};

struct ApeTag {
  uint64_t start = 0;    // offset of the tag's first byte (its header, or its first item)
  uint32_t version = 0;  // 1000 or 2000
  std::vector<ApeItem> items;

  // Value of the first text item whose key matches without regard to ASCII case; "" if none.
  std::u16string value(std::u16string_view key) const;
};

// Finds an APE tag that ends at the end of the file, or before an ID3v1 tag and/or a
// Lyrics3v2 block. Reads only the tail of the file and the tag itself.
std::optional<ApeTag> findApeTagAtEnd(RandomAccessFile& file);

// Reads the APE tag whose footer ends exactly at `end`; nothing when there is none there.
// A tag larger than `wholeBytes` is read item by item.
std::optional<ApeTag> readApeTagEndingAt(RandomAccessFile& file, uint64_t end,
                                         uint32_t wholeBytes = kMaxApeTagBytes);

// The album facts of the tag's items ("Album Artist", "Track", "Disc", "Year", "Composer",
// "BPM").
AlbumFacts apeAlbumFacts(const ApeTag& tag);

// Parses `count` items (binary and locator items are skipped). Stops at the first damaged item.
void parseApeItems(ByteReader items, uint32_t count, uint32_t version, ApeTag& tag);

}  // namespace sonavid::media
