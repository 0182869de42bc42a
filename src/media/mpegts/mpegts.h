// MPEG transport streams (TS: 188-byte packets; M2TS: 192-byte packets, each after a 4-byte
// arrival timestamp): the PAT names the programs, each program's PMT its elementary streams.
// The values come from the first program the file holds streams of: its first audio and first
// video stream's own headers, and the span of its timestamps from the head to the tail.
#pragma once

#include <string_view>

#include "common/platform.h"
#include "media/media_info.h"

namespace sonavid::media {

// True when `head` (the first bytes of a file) holds packets of 188, 192 or 204 bytes in a row.
bool probeMpegTs(std::string_view head);

// Sets the type code and TIME ("hh:mm:ss (Nsec)"), AFMT and VFMT (when the program has such a
// stream), DOCTYPE ("ts" or "m2ts", by the packet size) and the stream facts. Reads a bounded
// stretch at the head and at the tail only.
bool readMpegTs(RandomAccessFile& file, MediaInfo& info);

}  // namespace sonavid::media
