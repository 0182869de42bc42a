// MPEG-1 and MPEG-2 video: the sequence header (start code 00 00 01 B3) and, in MPEG-2 only,
// the sequence extension that follows it (00 00 01 B5, extension id 1).
//   header: 12 width | 12 height | 4 aspect ratio | 4 frame-rate code | 18 bitrate | ...
//   extension: 4 id | 8 profile and level | 1 progressive sequence | 2 chroma format |
//     2 width extension | 2 height extension | 12 bitrate extension | 1 marker | 8 buffer size
//     extension | 1 low delay | 2 frame-rate numerator minus one | 5 denominator minus one
#pragma once

#include <string_view>

#include "media/streams/stream_format.h"

namespace sonavid::media {

// Reads the first sequence header in `bytes` and the extension after it; the codec is
// "MPEG-2" when there is one, else "MPEG-1".
bool findMpegVideoSequence(std::string_view bytes, VideoFormat& format);

// As findMpegVideoSequence, but true only when `bytes` hold all that it reads (the header, the
// start code after it and the extension's fields): more bytes after them cannot change what it
// finds, so a reader may stop gathering the stream there.
bool findWholeMpegVideoSequence(std::string_view bytes, VideoFormat& format);

}  // namespace sonavid::media
