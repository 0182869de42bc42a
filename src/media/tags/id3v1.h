// ID3v1 and ID3v1.1: the last 128 bytes of a file, "TAG" then title (30), artist (30),
// album (30), year (4), comment (30; in v1.1 a NUL at 28 and the track number at 29) and a
// genre number (1). Fields are padded with NULs or spaces.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "media/values/album_facts.h"

namespace sonavid::media {

struct Id3v1Tag {
  std::u16string title, artist, album, year, comment;
  std::u16string track;  // "" when the tag is v1.0 or the number is 0
  std::u16string genre;  // name from the genre table; "" for 255 or an unknown number
};

// `block` must be the 128 bytes of the tag; nothing when it does not start with "TAG".
std::optional<Id3v1Tag> parseId3v1(std::string_view block);

// The year and the track number.
AlbumFacts id3v1AlbumFacts(const Id3v1Tag& tag);

}  // namespace sonavid::media
