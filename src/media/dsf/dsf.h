// DSF (DSD stream file), little-endian: a "DSD " chunk (its size, 28, as 64 bits; the file's
// size; the offset of the metadata, an ID3v2 tag, or 0), a "fmt " chunk (size 52; format
// version, format id (0: DSD raw), channel type, channel count, sampling frequency, bits per
// sample (1 or 8), sample count per channel (64 bits), block size per channel, reserved),
// then a "data" chunk.
#pragma once

#include <string_view>

#include "common/platform.h"
#include "media/media_info.h"

namespace sonavid::media {

// True when the head starts with the "DSD " chunk.
bool probeDsf(std::string_view head);

// TIME, AFMT and the ID3v2 tag's values of a DSF file; false when it is not one.
bool readDsf(RandomAccessFile& file, MediaInfo& info);

}  // namespace sonavid::media
