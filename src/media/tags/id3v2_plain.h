// The plain tag codes (INAM, IART, IPRD, ICMT, ICRD, IGNR, TRACK, ICOP) of an ID3v2 tag, for the
// formats that carry ID3v2 inside their own structure (an AIFF "ID3 " chunk, DSF's metadata)
// and show it under the plain codes rather than the MP3 reader's "_v2" ones.
#pragma once

#include <string>
#include <string_view>

#include "media/tags/id3v2.h"

namespace sonavid::media {

// The value of a plain code from the tag's frames; "" for a code the tag does not answer.
std::u16string id3v2PlainValue(const Id3v2Tag& tag, std::string_view code);

}  // namespace sonavid::media
