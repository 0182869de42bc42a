// iTunes-style MP4 tags: the "ilst" box inside "meta" holds one box per item ("\xA9nam",
// "trkn", ...), each with one or more "data" boxes: a type word (1 UTF-8, 2 UTF-16BE, 0 and
// 21 binary or integer), a locale word, then the value.
#pragma once

#include "media/byte_reader.h"
#include "media/media_info.h"

namespace sonavid::media {

// Most items read from one list.
inline constexpr int kMaxIlstItems = 4096;

// Sets INAM, IART, IPRD, ICMT, ICRD, IGNR, TRACK (with tag-source aliases), IGRP, COMPOSER,
// TOOL, BPM, TRACK1, TRACK2, DISC1, DISC2 from the body of an "ilst" box, and keeps its album
// facts.
void readIlst(ByteReader ilst, MediaInfo& info);

}  // namespace sonavid::media
