// Raw AAC files (.aac): ADTS frames one after another, each with its own header, optionally
// after an ID3v2 tag and before APEv2 and ID3v1 tags, as in MP3 files. There is no stream
// header: the playing time is the number of frames counted, 1024 samples each.
#pragma once

#include <string_view>

#include "common/platform.h"
#include "media/media_info.h"

namespace sonavid::media {

// True when `head` (the first bytes of a file) starts, after any ID3v2 tag, with several ADTS
// frames in a row of one stream (the 12-bit sync alone says little).
bool probeAdts(std::string_view head);

// Sets the type code, TIME ("m:ss (Nsec)"), AFMT ("AAC LC, 44100Hz, 2ch, 128Kbps", the
// bitrate averaged over the frames), the stream facts and the tag fields as for MP3.
bool readAdts(RandomAccessFile& file, MediaInfo& info);

}  // namespace sonavid::media
