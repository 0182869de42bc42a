// Matroska and WebM (MKV, MKA, WEBM): the EBML header names the document type, then one
// Segment holds the SeekHead (where the other top-level elements are), Info (length, title),
// Tracks, Tags, and the Clusters of media data.
#pragma once

#include <string_view>

#include "common/platform.h"
#include "media/media_info.h"

namespace sonavid::media {

// True when `head` (the first bytes of a file) starts with an EBML header whose DocType is
// "matroska" or "webm" (or that names none, which means "matroska").
bool probeMatroska(std::string_view head);

// Sets the type code and TIME, AFMT (when there is an audio track), VFMT (only when there is a
// video track), DOCTYPE ("matroska" or "webm") and the tags INAM, IART, IPRD, ICMT, ICRD, IGNR
// and TRACK (with the tag-source aliases, as for Ogg and MP4).
bool readMatroska(RandomAccessFile& file, MediaInfo& info);

}  // namespace sonavid::media
