// ID3v2.2, 2.3 and 2.4 tags at the start of a file.
//
// Header (10 bytes): "ID3", major version, revision, flags, size (4 syncsafe bytes: the tag
// without its header and footer). Flags: 0x80 unsynchronisation, 0x40 extended header (in
// v2.2: compression), 0x10 footer (v2.4). Frames follow: v2.2 a 3-letter id and a 24-bit size;
// v2.3 a 4-letter id, a 32-bit size and two flag bytes; v2.4 the same with a syncsafe size
// (many writers put a plain one there). Padding (NULs) may end the frame list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/platform.h"
#include "media/file_reads.h"

namespace sonavid::media {

inline constexpr size_t kId3v2HeaderBytes = 10;
inline constexpr size_t kMaxId3v2Frames = 4096;

// Size of the whole tag (header, body, footer) whose header starts `head`; 0 when `head` does
// not start with a valid ID3v2 header.
uint64_t id3v2TagSize(std::string_view head);

struct Id3v2Tag {
  int majorVersion = 0;
  // Text of the frames we read, under their v2.3/v2.4 ids (v2.2 ids are translated): text
  // frames (T...), "COMM" (its text) and "WXXX" (its URL). First frame of an id wins, except
  // that a comment without a description replaces one with a description.
  std::vector<std::pair<std::string, std::u16string>> frames;

  // Text of frame `id`; "" when absent.
  std::u16string text(std::string_view id) const;
};

// Parses a whole tag (from its header on). A damaged tag gives the frames read before the
// damage.
Id3v2Tag parseId3v2(std::string_view tag);

// The tag at the start of `file` (of `tagSize` bytes), ready for parseId3v2. A tag larger than
// `wholeBytes` is read frame by frame, leaving out frames too large to keep (pictures,
// objects), so the frames after them are still found; one unsynchronised as a whole (before
// v2.4) cannot be walked in the file and is read up to kMaxBlockBytes.
std::string readId3v2Tag(RandomAccessFile& file, uint64_t tagSize,
                         uint64_t wholeBytes = kMaxBlockBytes);

// A TCON value with "(n)" references and ID3v2.4 numeric genres replaced by genre names.
std::u16string resolveId3Genre(std::u16string_view text);

}  // namespace sonavid::media
