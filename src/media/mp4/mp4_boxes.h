// What the MP4 reader takes from the "moov" box: the movie header, each track's header, edit
// list, media header, handler, first sample description and sample table totals, and the
// tag list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/platform.h"
#include "media/byte_reader.h"

namespace sonavid::media {

// Nesting depth and box count caps of the walk through "moov".
inline constexpr int kMaxMp4Depth = 64;
inline constexpr int kMaxMp4Boxes = 50000;
inline constexpr size_t kMaxMp4Tracks = 256;

struct Mp4Movie;

struct Mp4Track {
  enum class Kind { kOther, kAudio, kVideo };
  Kind kind = Kind::kOther;
  uint64_t headerDuration = 0;  // track header, in the movie's timescale
  uint64_t editDuration = 0;    // sum of the edit list's segments, in the movie's timescale
  uint32_t id = 0;              // track header's track id
  // Defaults for fragments ("mvex/trex").
  uint32_t fragmentSampleDuration = 0, fragmentSampleSize = 0;
  uint32_t mediaTimescale = 0;
  uint64_t mediaDuration = 0;
  std::string format;  // sample entry type: "mp4a", "avc1", ...
  // Audio.
  uint32_t sampleRate = 0;
  uint16_t channels = 0;
  uint32_t bitsPerSample = 0;        // the sample entry's, or the ALAC or FLAC configuration's
  uint8_t objectType = 0;            // esds object type indication
  uint8_t audioObjectType = 0;       // from the AAC decoder configuration
  uint8_t channelConfiguration = 0;  // from the AAC decoder configuration; 0: not told there
  uint32_t averageBitrate = 0;       // esds
  // Video.
  uint32_t width = 0, height = 0;
  uint8_t profile = 0, level = 0;  // avcC
  // Sample tables.
  uint64_t sampleCount = 0;
  uint64_t sampleBytes = 0;
  uint64_t fragmentDurationSum = 0;  // media timescale, from the fragments

  double mediaSeconds() const {
    const uint64_t duration = mediaDuration > 0 ? mediaDuration : fragmentDurationSum;
    return mediaTimescale > 0 ? static_cast<double>(duration) / mediaTimescale : 0;
  }
  // Presentation length: the edit list's, else the track header's, else the media's.
  double seconds(const Mp4Movie& movie) const;
  // "MPEG-4 AAC LC", "H264 Main@3.1", "ALAC", ...
  std::string codecName() const;
  // The codec's common short name ("AAC", "HE-AAC", "ALAC", "H264" ...); empty when unknown.
  std::string_view codecFormat() const;
};

struct Mp4Movie {
  uint32_t timescale = 0;
  uint64_t duration = 0;
  uint64_t fragmentDuration = 0;  // "mvex/mehd", in the movie's timescale
  std::vector<Mp4Track> tracks;
  std::string ilst;  // body of the tag list, when there is one
  int boxes = 0;

  double seconds() const { return timescale > 0 ? static_cast<double>(duration) / timescale : 0; }
  double fragmentSeconds() const {
    return timescale > 0 ? static_cast<double>(fragmentDuration) / timescale : 0;
  }
};

// Reads the body of a "moov" box.
void readMovie(ByteReader moov, Mp4Movie& movie);

// The body of a "moov" box too large to read whole (between `begin` and `end` of `file`), read
// box by box with the leaves larger than `leafBytes` (sample tables of long files, cover
// pictures) left out, and cut to kMaxBlockBytes: what readMovie reads in its place.
inline constexpr uint64_t kMaxCondensedLeafBytes = 1024 * 1024;
std::string condenseMovie(RandomAccessFile& file, uint64_t begin, uint64_t end,
                          uint64_t leafBytes = kMaxCondensedLeafBytes);

// Adds the samples of a movie fragment ("moof" body) to the tracks' media durations, sample
// counts and sizes: fragmented files keep their samples there instead of in "moov".
void readMovieFragment(ByteReader moof, Mp4Movie& movie);

}  // namespace sonavid::media
