// The facts of a file's first audio stream and first video stream, kept as numbers while the
// file is read. Readers fill them in passing; a field code that shows one of them (seconds,
// codec, sample rate, picture size ...) turns it into text only when it is asked for.
#pragma once

#include <cstdint>
#include <string_view>

namespace sonavid::media {

struct StreamFacts {
  // Playing time in milliseconds; -1 when the file does not tell it.
  int64_t durationMs = -1;

  // First audio stream. Codec names are static ASCII texts ("MP3", "AAC", "FLAC" ...); empty,
  // like every 0 below, when the file does not tell.
  std::string_view audioCodec;
  uint32_t audioKbps = 0;  // the bitrate AFMT shows where it shows one
  uint32_t sampleRate = 0;
  uint32_t bitsPerSample = 0;  // lossless and PCM streams only
  uint32_t channels = 0;

  // First video stream.
  std::string_view videoCodec;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t frameRateNum = 0;  // frames per second = num / den
  uint32_t frameRateDen = 0;
  bool interlaced = false;
};

}  // namespace sonavid::media
