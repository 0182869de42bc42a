// The plain tag codes (INAM, IART, IPRD, ICMT, ICRD, IGNR, TRACK, ICOP) of an ID3v2 tag, for the
// formats that carry ID3v2 inside their own structure (an AIFF "ID3 " chunk, DSF's metadata)
// and show it under the plain codes rather than the MP3 reader's "_v2" ones; and the album
// facts of an ID3v2 tag, which every format that carries one shares.
#pragma once

#include <string>
#include <string_view>

#include "media/tags/id3v2.h"
#include "media/values/album_facts.h"

namespace sonavid::media {

// The value of a plain code from the tag's frames; "" for a code the tag does not answer.
std::u16string id3v2PlainValue(const Id3v2Tag& tag, std::string_view code);

// The album facts of the tag's frames (TPE2, TRCK, TPOS, TYER or TDRC, TCOM, TBPM).
AlbumFacts id3v2AlbumFacts(const Id3v2Tag& tag);

}  // namespace sonavid::media
