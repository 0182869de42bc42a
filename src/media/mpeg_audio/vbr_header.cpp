#include "media/mpeg_audio/vbr_header.h"

#include "media/byte_reader.h"

namespace sonavid::media {
namespace {

constexpr uint32_t kXingHasFrames = 1;
constexpr uint32_t kXingHasBytes = 2;
constexpr size_t kVbriOffset = 4 + 32;

// Where the Xing header starts: after the 4-byte frame header and the side information.
size_t xingOffset(const MpegFrameHeader& h) {
  const bool mono = h.mode == ChannelMode::kMono;
  if (h.version == MpegVersion::k1) return 4 + (mono ? 17 : 32);
  return 4 + (mono ? 9 : 17);
}

}  // namespace

std::optional<VbrHeader> parseVbrHeader(std::string_view frame, const MpegFrameHeader& header) {
  ByteReader in(frame);
  in.seek(xingOffset(header));
  const std::string_view tag = in.bytes(4);
  if (tag == "Xing" || tag == "Info") {
    VbrHeader vbr;
    vbr.variable = tag == "Xing";
    const uint32_t flags = in.u32be();
    if ((flags & kXingHasFrames) != 0) vbr.frames = in.u32be();
    if ((flags & kXingHasBytes) != 0) vbr.bytes = in.u32be();
    if (!in.ok()) return std::nullopt;
    return vbr;
  }
  ByteReader vbri(frame);
  vbri.seek(kVbriOffset);
  if (vbri.bytes(4) == "VBRI") {
    vbri.skip(6);  // version, delay, quality
    VbrHeader vbr;
    vbr.bytes = vbri.u32be();
    vbr.frames = vbri.u32be();
    if (!vbri.ok()) return std::nullopt;
    return vbr;
  }
  return std::nullopt;
}

}  // namespace sonavid::media
