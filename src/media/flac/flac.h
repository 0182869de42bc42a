// FLAC (native, not in Ogg): "fLaC", possibly after an ID3v2 tag, then metadata blocks, then
// the audio frames. Each metadata block has a header byte (bit 7: last block; bits 0-6: type,
// 0 STREAMINFO, 4 VORBIS_COMMENT, 6 PICTURE, 127 invalid) and a 24-bit big-endian length.
// STREAMINFO (34 bytes, always first): minimum and maximum block size (16 bits each), minimum
// and maximum frame size (24 bits each), then 20 bits sample rate, 3 bits channels - 1, 5 bits
// bits per sample - 1, 36 bits total samples (0: unknown, as in a stream), then the MD5.
#pragma once

#include <string_view>

#include "common/platform.h"
#include "media/media_info.h"

namespace sonavid::media {

// True when the head (the first bytes of the file) starts with "fLaC", or with an ID3v2 tag
// that "fLaC" follows within the head.
bool probeFlac(std::string_view head);

// TIME, AFMT and the Vorbis comment's tags of a FLAC file; false when it is not one.
bool readFlac(RandomAccessFile& file, MediaInfo& info);

}  // namespace sonavid::media
