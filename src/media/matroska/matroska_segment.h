// What the Matroska reader takes from a Segment's top-level elements (Info, Tracks, Tags),
// each parsed from its body held in memory, and the values made from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "media/media_info.h"

namespace sonavid::media::matroska {

// Element IDs (with their length markers, as stored).
inline constexpr uint32_t kEbmlId = 0x1A45DFA3;
inline constexpr uint32_t kDocTypeId = 0x4282;
inline constexpr uint32_t kSegmentId = 0x18538067;
inline constexpr uint32_t kSeekHeadId = 0x114D9B74;
inline constexpr uint32_t kSeekId = 0x4DBB;
inline constexpr uint32_t kSeekIdId = 0x53AB;
inline constexpr uint32_t kSeekPositionId = 0x53AC;
inline constexpr uint32_t kInfoId = 0x1549A966;
inline constexpr uint32_t kTracksId = 0x1654AE6B;
inline constexpr uint32_t kTagsId = 0x1254C367;
inline constexpr uint32_t kCuesId = 0x1C53BB6B;
inline constexpr uint32_t kClusterId = 0x1F43B675;
inline constexpr uint32_t kClusterTimestampId = 0xE7;
inline constexpr uint32_t kSimpleBlockId = 0xA3;
inline constexpr uint32_t kBlockGroupId = 0xA0;
inline constexpr uint32_t kBlockId = 0xA1;

struct Track {
  uint64_t type = 0;   // 1 video, 2 audio
  std::string codec;   // CodecID
  std::string fourcc;  // V_MS/VFW/FOURCC: the BITMAPINFOHEADER's compression
  uint64_t defaultDurationNs = 0;
  uint64_t width = 0, height = 0;
  bool interlaced = false;
  double samplingFrequency = 8000;  // Matroska's default
  double outputSamplingFrequency = 0;
  uint64_t channels = 1;
  uint64_t bitDepth = 0;
};

// A tag value and the target level it came from.
struct TagValue {
  uint64_t level = UINT64_MAX;
  std::u16string text;
};

struct Segment {
  int elementBudget = 0;              // elements looked at so far (ebml::kMaxElements)
  uint64_t timestampScale = 1000000;  // nanoseconds per timestamp unit
  std::optional<double> duration;     // in timestamp units
  std::u16string title;
  std::optional<Track> audio, video;                            // the first of each
  TagValue artist, comment, dateReleased, dateRecorded, genre;  // from the lowest level
  TagValue composer, tempo;
  std::u16string title30, title50, partNumber30;
  // The album's (level 50): its artist, its number among several (the disc) and its track count.
  std::u16string artist50, partNumber50, totalParts50;

  void readInfo(std::string_view body);
  void readTracks(std::string_view body);
  void readTags(std::string_view body);
  // Sets TIME (from `seconds` when known), AFMT, VFMT, the stream facts and the tags.
  void fill(std::optional<uint64_t> seconds, MediaInfo& info) const;
  void addStreamFacts(std::optional<uint64_t> seconds, StreamFacts& facts) const;
};

}  // namespace sonavid::media::matroska
