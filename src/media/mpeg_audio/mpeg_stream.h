// Finds an MPEG audio stream in a byte range of a file and measures it: the first frame's
// header, the number of frames, the playing time and the (average) bitrate.
//
// The frame count comes from a Xing/Info/VBRI header when there is one; otherwise, when the
// frames all have one bitrate, from the stream's size; when they vary, by hopping from frame
// header to frame header through the whole stream. Whether they vary is seen in the frames at
// the start and in a few windows spread over the rest of the stream and at its end, so that a
// VBR stream that opens with a run of equal frames (silence, a quiet intro) is still measured
// frame by frame. A last window without frames means the stream ends before the file does
// (preallocated or partly downloaded files end in zeros): a search by windows finds where.
//
// The first frame is looked for near the start; only when none is found there does the search
// go on, chunk by chunk, up to kMpegFarSearchBytes, and a frame found that far must be
// confirmed by more headers in a row.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/platform.h"
#include "media/mpeg_audio/frame_header.h"

namespace sonavid::media {

// Bytes read at the start of the stream when the bytes the caller has already read do not hold
// its first frames (a long tag before them, or a run of large frames).
inline constexpr size_t kMpegFirstProbeBytes = 16 * 1024;
// Bytes read at the start of the stream to find the first frame behind junk; a stream no longer
// than this is checked whole for a change of bitrate.
inline constexpr size_t kMpegHeadProbeBytes = 64 * 1024;
// A longer stream whose first frames agree is checked for a change of bitrate in this many
// windows of this many bytes, spread evenly over it, the last at its end. A window holds at
// least two of the largest frames (1728 bytes), so a header in it can be confirmed by the next.
inline constexpr int kMpegSampleWindows = 4;
inline constexpr size_t kMpegSampleWindowBytes = 4 * 1024;
// Frame headers in a row that must agree before bytes without a tag count as MPEG audio.
inline constexpr int kMpegConfirmFrames = 4;
// How far from the start of the range the first frame is looked for, in chunks of
// kMpegHeadProbeBytes, when the usual probe finds none (junk, a damaged header or padding
// before the stream), and the headers in a row that must agree there.
inline constexpr uint64_t kMpegFarSearchBytes = 1024 * 1024;
inline constexpr int kMpegFarConfirmFrames = 8;
// Bytes read at once while hopping through a whole stream: small enough that the kernel's copy
// and the hop after it stay in the first-level cache (a 32 KiB chunk was about 5 % slower).
inline constexpr size_t kMpegHopChunkBytes = 16 * 1024;
// How far hopping looks for the next frame after damage before it gives up.
inline constexpr size_t kMpegResyncBytes = 64 * 1024;

struct MpegStreamInfo {
  MpegFrameHeader first;
  uint64_t firstFrameOffset = 0;
  uint64_t frames = 0;
  uint64_t durationMs = 0;
  int bitrateKbps = 0;  // the constant bitrate, or the average one when `variable`
  bool variable = false;
};

struct MpegStreamSearch {
  uint64_t start = 0;  // where the stream should begin
  uint64_t end = 0;    // where it ends (trailing tags excluded)
  // The range follows a tag or is a container's data: one valid frame at its very start is
  // enough. Otherwise several frame headers in a row must agree.
  bool trusted = false;
  // Bytes of the file from `start` on that the caller has already read (may be empty).
  std::string_view prefetched;
};

std::optional<MpegStreamInfo> measureMpegStream(RandomAccessFile& file,
                                                const MpegStreamSearch& search);

// "MPEG1.0 Layer3 128Kb/s 44100Hz J-Stereo 9391frames" ("192Kb/s(VBR)" when variable).
std::u16string mpegAudioFormatText(const MpegStreamInfo& stream);

}  // namespace sonavid::media
