// What the headers of one elementary stream tell: the format of an audio stream or of a video
// stream, as the transport and program stream readers (and any container that carries the same
// streams) find them, and the AFMT and VFMT texts made of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "media/media_info.h"
#include "media/values/stream_facts.h"

namespace sonavid::media {

// The elementary streams whose headers are read.
enum class StreamKind {
  kNone,
  kMpeg1Video,
  kMpeg2Video,  // MPEG-1 or MPEG-2: the sequence extension tells
  kH264,
  kHevc,
  kMpegAudio,  // layers I, II and III
  kAdts,       // AAC in ADTS frames
  kAc3,        // AC-3 or E-AC-3: the bitstream id tells
  kDts,
  kLpcmBluray,  // a 4-byte header at the start of every PES payload
  kLpcmDvd,     // 6 header bytes after the sub-stream id of the DVD private stream
};

inline bool isVideoKind(StreamKind kind) {
  return kind == StreamKind::kMpeg1Video || kind == StreamKind::kMpeg2Video ||
         kind == StreamKind::kH264 || kind == StreamKind::kHevc;
}
inline bool isAudioKind(StreamKind kind) { return kind != StreamKind::kNone && !isVideoKind(kind); }

struct AudioFormat {
  std::string_view codec;  // "AAC", "AC-3", "E-AC-3", "MP1", "MP2", "MP3", "DTS", "LPCM"
  uint32_t sampleRate = 0;
  uint32_t channels = 0;
  uint32_t bitsPerSample = 0;    // LPCM only
  uint32_t samplesPerFrame = 0;  // per channel; 0 when a frame has no fixed length
};

struct VideoFormat {
  std::string_view codec;  // "H264", "HEVC", "MPEG-2", "MPEG-1"
  uint32_t width = 0;      // displayed size: cropping applied
  uint32_t height = 0;
  uint32_t rateNum = 0;  // frames per second = num / den; 0 when the stream does not tell
  uint32_t rateDen = 0;
  bool interlaced = false;
};

// The format of the first frame of `kind` found in `payload` (the start of the stream's data).
// False when none is found or its header is not valid.
bool readAudioFormat(StreamKind kind, std::string_view payload, AudioFormat& format);
bool readVideoFormat(StreamKind kind, std::string_view payload, VideoFormat& format);

// "AAC, 48000Hz, 2ch", with ", 16bit" for LPCM.
std::u16string audioFormatText(const AudioFormat& format);
// "H264, 1920x1080, 29.970fps"; without the rate when the stream does not tell it.
std::u16string videoFormatText(const VideoFormat& format);

// 90 kHz ticks of one frame of a stream of `kind` whose header was read; 0 when the header
// does not tell (no frame rate, no fixed frame length).
uint64_t frameTicks(StreamKind kind, const AudioFormat& audio, const VideoFormat& video);

// Fills the audio or video part of `facts`.
void addAudioFacts(const AudioFormat& format, StreamFacts& facts);
void addVideoFacts(const VideoFormat& format, StreamFacts& facts);

// Sets what a transport or program stream's headers told: TIME ("hh:mm:ss (Nsec)") from the
// span of its timestamps, AFMT and VFMT from its first audio and video stream, and their facts.
// A part the stream did not tell (null, or no span) is left unset.
void setStreamValues(std::optional<int64_t> milliseconds, const AudioFormat* audio,
                     const VideoFormat* video, MediaInfo& info);

}  // namespace sonavid::media
