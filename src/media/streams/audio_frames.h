// The first frame header of the audio streams carried in MPEG transport and program streams.
//
// AC-3 sync frame: 16 sync 0x0B77 | 16 CRC | 2 sample-rate code | 6 frame-size code | 5 bitstream
//   id (up to 10) | 3 service mode | 3 coding mode | mix levels as the mode needs | 1 LFE.
// E-AC-3 (bitstream id 16): 16 sync | 2 stream type | 3 substream id | 11 frame size in words
//   minus one | 2 sample-rate code (3: a half rate in the next 2 bits) | 2 blocks code, or
//   nothing after a half rate | 3 coding mode | 1 LFE | 5 bitstream id.
// DTS core frame: 32 sync 0x7FFE8001 | 1 frame type | 5 deficit samples | 1 CRC | 7 blocks of
//   32 samples minus one | 14 frame size minus one | 6 channel arrangement | 4 sample-rate code |
//   5 bitrate | 10 flags | 2 LFE.
// Blu-ray LPCM, at the start of every PES payload: 16 payload size | 4 channel assignment |
//   4 sample-rate code | 2 bits-per-sample code | 6 reserved.
// DVD LPCM, after the private stream's sub-stream id: 1 frame count | 2 first access unit |
//   1 emphasis, mute, frame number | 2 bits-per-sample code, 2 sample-rate code, 1 reserved,
//   3 channels minus one | 1 dynamic range.
#pragma once

#include <string_view>

#include "media/streams/adts_header.h"
#include "media/streams/stream_format.h"

namespace sonavid::media {

// Each finds the first valid frame header in `bytes`; when the bytes go on past that frame,
// the next frame must start where it ends.
bool findMpegAudioFrame(std::string_view bytes, AudioFormat& format);
bool findAc3Frame(std::string_view bytes, AudioFormat& format);
bool findDtsFrame(std::string_view bytes, AudioFormat& format);

// The LPCM headers at the start of `bytes`.
bool readBlurayLpcmHeader(std::string_view bytes, AudioFormat& format);
bool readDvdLpcmHeader(std::string_view bytes, AudioFormat& format);

}  // namespace sonavid::media
