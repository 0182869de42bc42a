// AIFF and AIFF-C: "FORM", a 32-bit big-endian size, "AIFF" or "AIFC", then chunks of a
// four-character id, a 32-bit big-endian size, the data and a pad byte when the size is odd.
// COMM: channels (16 bits), sample frames (32), sample size in bits (16), sample rate (80-bit
// IEEE extended); in AIFF-C then the compression type (four characters) and its name. SSND:
// offset, block size, the sound data. Texts: NAME, AUTH, "(c) ", ANNO (several), COMT (a
// count, then per comment a time stamp, a marker id, a length and the text); an "ID3 " chunk
// holds an ID3v2 tag.
#pragma once

#include <string_view>

#include "common/platform.h"
#include "media/media_info.h"

namespace sonavid::media {

// True when the head starts with "FORM" and the form type "AIFF" or "AIFC".
bool probeAiff(std::string_view head);

// TIME, AFMT and the text chunks' (or the ID3 chunk's) tags; false when it is no AIFF file.
bool readAiff(RandomAccessFile& file, MediaInfo& info);

}  // namespace sonavid::media
