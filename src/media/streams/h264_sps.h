// The H.264 sequence parameter set (NAL unit type 7): the coded size in macroblocks, the
// cropping rectangle, whether pictures are frames or fields, and (in the VUI) the timing.
#pragma once

#include <string_view>

#include "media/streams/stream_format.h"

namespace sonavid::media {

// Reads the first sequence parameter set in a byte stream (`bytes`, with start codes).
bool findH264Sps(std::string_view bytes, VideoFormat& format);

// Reads a sequence parameter set from its unit's bytes (NAL header first, escaped).
bool parseH264Sps(std::string_view unit, VideoFormat& format);

}  // namespace sonavid::media
