// The HEVC sequence parameter set (NAL unit type 33): the picture size in luma samples, the
// conformance window (cropping), and (in the VUI) whether pictures are fields and the timing.
// The fields between the size and the VUI (sub-layer ordering, scaling lists, short-term
// reference picture sets ...) are read only to get past them.
#pragma once

#include <string_view>

#include "media/streams/stream_format.h"

namespace sonavid::media {

// Reads the first sequence parameter set in a byte stream (`bytes`, with start codes).
bool findHevcSps(std::string_view bytes, VideoFormat& format);

// Reads a sequence parameter set from its unit's bytes (2-byte NAL header first, escaped).
bool parseHevcSps(std::string_view unit, VideoFormat& format);

}  // namespace sonavid::media
