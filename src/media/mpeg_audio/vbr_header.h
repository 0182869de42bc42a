// Headers that encoders put into the first frame of an MPEG audio stream:
// - Xing / Info (LAME, Xing): after the side information; "Xing" or "Info", a flags word,
//   then the frame count (flag 1) and the byte count (flag 2). LAME writes "Info" for CBR.
// - VBRI (Fraunhofer): 32 bytes after the frame header; "VBRI", version, delay, quality, then
//   the byte count and the frame count.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "media/mpeg_audio/frame_header.h"

namespace sonavid::media {

struct VbrHeader {
  bool variable = true;  // false for LAME's "Info" (a constant-bitrate stream)
  uint32_t frames = 0;   // 0 when not given
  uint32_t bytes = 0;    // 0 when not given
};

// `frame` holds the first frame from its header on (it may be cut short).
std::optional<VbrHeader> parseVbrHeader(std::string_view frame, const MpegFrameHeader& header);

}  // namespace sonavid::media
