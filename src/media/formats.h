// The container readers of the built-in media reader. Each answers "is this mine?" from the
// file's own bytes and, when it is, fills `info` with the type code and every value it knows.
// The built-in reader tries them strongest signature first; MPEG audio frame sync is last.
#pragma once

#include "common/platform.h"
#include "media/media_info.h"

namespace sonavid::media {

bool readRiff(RandomAccessFile& file, MediaInfo& info);       // WAV, AVI, RIFF-wrapped MP3
bool readAsf(RandomAccessFile& file, MediaInfo& info);        // WMA, WMV
bool readOgg(RandomAccessFile& file, MediaInfo& info);        // Vorbis, Opus, FLAC in Ogg
bool readMonkeys(RandomAccessFile& file, MediaInfo& info);    // Monkey's Audio
bool readMp4(RandomAccessFile& file, MediaInfo& info);        // MP4 / M4A
bool readTwinVq(RandomAccessFile& file, MediaInfo& info);     // VQF
bool readMpegAudio(RandomAccessFile& file, MediaInfo& info);  // MP3 (and MP1/MP2)

}  // namespace sonavid::media
