// MPEG program streams (MPG, VOB): packs, each a pack header (00 00 01 BA) and PES packets,
// with a system header (00 00 01 BB) in the first. MPEG-1 and MPEG-2 differ in the pack header
// and the PES header. DVD video (VOB) adds navigation packs (private stream 2, id 0xBF) and
// carries AC-3, DTS and LPCM in private stream 1 (id 0xBD) behind a sub-stream id.
#pragma once

#include <string_view>

#include "common/platform.h"
#include "media/media_info.h"

namespace sonavid::media {

// True when `head` (the first bytes of a file) starts with a valid pack header.
bool probeMpegPs(std::string_view head);

// Sets the type code and TIME ("hh:mm:ss (Nsec)"), AFMT and VFMT (when there is such a
// stream), DOCTYPE ("vob" when navigation packs are present, else "mpeg") and the stream facts.
// Reads a bounded stretch at the head and at the tail only.
bool readMpegPs(RandomAccessFile& file, MediaInfo& info);

}  // namespace sonavid::media
