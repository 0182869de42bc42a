#include "media/matroska/matroska_segment.h"

#include <cmath>
#include <span>

#include "common/text.h"
#include "media/matroska/ebml.h"
#include "media/riff/video_codecs.h"
#include "media/values/playing_time.h"
#include "media/tags/vorbis_comment.h"
#include "media/values/stream_fact_texts.h"

namespace sonavid::media::matroska {

namespace {

constexpr uint32_t kTimestampScaleId = 0x2AD7B1;
constexpr uint32_t kDurationId = 0x4489;
constexpr uint32_t kTitleId = 0x7BA9;
constexpr uint32_t kTrackEntryId = 0xAE;
constexpr uint32_t kTrackTypeId = 0x83;
constexpr uint32_t kCodecIdId = 0x86;
constexpr uint32_t kCodecPrivateId = 0x63A2;
constexpr uint32_t kDefaultDurationId = 0x23E383;
constexpr uint32_t kVideoId = 0xE0;
constexpr uint32_t kPixelWidthId = 0xB0;
constexpr uint32_t kPixelHeightId = 0xBA;
constexpr uint32_t kFlagInterlacedId = 0x9A;
constexpr uint32_t kAudioId = 0xE1;
constexpr uint32_t kSamplingFrequencyId = 0xB5;
constexpr uint32_t kOutputSamplingFrequencyId = 0x78B5;
constexpr uint32_t kChannelsId = 0x9F;
constexpr uint32_t kBitDepthId = 0x6264;
constexpr uint32_t kTagId = 0x7373;
constexpr uint32_t kTargetsId = 0x63C0;
constexpr uint32_t kTargetTypeValueId = 0x68CA;
// Targets that name a track, edition, chapter or attachment instead of the whole file.
constexpr uint32_t kTargetUidIds[] = {0x63C5, 0x63C9, 0x63C4, 0x63C6};
constexpr uint32_t kSimpleTagId = 0x67C8;
constexpr uint32_t kTagNameId = 0x45A3;
constexpr uint32_t kTagStringId = 0x4487;

constexpr uint64_t kTrackTypeVideo = 1;
constexpr uint64_t kTrackTypeAudio = 2;
// A Targets without TargetTypeValue is the album, movie or episode level.
constexpr uint64_t kDefaultTargetLevel = 50;
constexpr uint64_t kTrackLevel = 30;
// BITMAPINFOHEADER: the compression fourcc follows size, width, height, planes and bit count.
constexpr size_t kBitmapCompressionOffset = 16;

// Leaves of a known length only: a value cut short by its parent is no value.
std::optional<uint64_t> unsignedOf(const ebml::Children::Child& child) {
  uint64_t value = 0;
  if (child.cut || !ebml::unsignedValue(child.body, value)) return std::nullopt;
  return value;
}
std::optional<double> floatOf(const ebml::Children::Child& child) {
  double value = 0;
  if (child.cut || !ebml::floatValue(child.body, value)) return std::nullopt;
  return value;
}

void readVideo(std::string_view body, Track& track, int& budget) {
  ebml::Children children(body, budget);
  for (ebml::Children::Child c; children.next(c);) {
    if (c.id == kPixelWidthId) track.width = unsignedOf(c).value_or(track.width);
    if (c.id == kPixelHeightId) track.height = unsignedOf(c).value_or(track.height);
    // 1: interlaced, 2: progressive, 0: not told.
    if (c.id == kFlagInterlacedId) track.interlaced = unsignedOf(c).value_or(0) == 1;
  }
}

void readAudio(std::string_view body, Track& track, int& budget) {
  ebml::Children children(body, budget);
  for (ebml::Children::Child c; children.next(c);) {
    if (c.id == kSamplingFrequencyId)
      track.samplingFrequency = floatOf(c).value_or(track.samplingFrequency);
    if (c.id == kOutputSamplingFrequencyId) track.outputSamplingFrequency = floatOf(c).value_or(0);
    if (c.id == kChannelsId) track.channels = unsignedOf(c).value_or(track.channels);
    if (c.id == kBitDepthId) track.bitDepth = unsignedOf(c).value_or(0);
  }
}

Track readTrackEntry(std::string_view body, int& budget) {
  Track track;
  ebml::Children children(body, budget);
  for (ebml::Children::Child c; children.next(c);) {
    switch (c.id) {
      case kTrackTypeId:
        track.type = unsignedOf(c).value_or(0);
        break;
      case kCodecIdId:
        if (!c.cut) track.codec = std::string(ebml::stringValue(c.body));
        break;
      case kCodecPrivateId:
        if (c.body.size() >= kBitmapCompressionOffset + 4) {
          for (char ch : c.body.substr(kBitmapCompressionOffset, 4)) {
            if (ch > 0x20 && ch < 0x7F) track.fourcc.push_back(ch);
          }
        }
        break;
      case kDefaultDurationId:
        track.defaultDurationNs = unsignedOf(c).value_or(0);
        break;
      case kVideoId:
        readVideo(c.body, track, budget);
        break;
      case kAudioId:
        readAudio(c.body, track, budget);
        break;
    }
  }
  // A track without its type: the codec's prefix tells.
  if (track.type == 0 && track.codec.starts_with("V_")) track.type = kTrackTypeVideo;
  if (track.type == 0 && track.codec.starts_with("A_")) track.type = kTrackTypeAudio;
  return track;
}

bool namedAs(std::string_view name, std::string_view upper) {
  if (name.size() != upper.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper[i]) return false;
  }
  return true;
}

void keepLowest(TagValue& kept, uint64_t level, std::string_view text) {
  if (level < kept.level) {
    kept.level = level;
    kept.text = utf8ToUtf16(text);
  }
}

std::string audioCodecName(std::string_view id) {
  struct Name {
    std::string_view prefix;
    const char* name;
  };
  // Exact IDs and families (A_AAC/MPEG4/LC, A_DTS/EXPRESS, A_PCM/INT/LIT ...).
  static constexpr Name kNames[] = {
      {"A_AAC", "AAC"},     {"A_OPUS", "Opus"},   {"A_VORBIS", "Vorbis"}, {"A_FLAC", "FLAC"},
      {"A_EAC3", "E-AC-3"}, {"A_AC3", "AC-3"},    {"A_DTS", "DTS"},       {"A_TRUEHD", "TrueHD"},
      {"A_MPEG/L3", "MP3"}, {"A_MPEG/L2", "MP2"}, {"A_PCM/", "PCM"},
  };
  for (const Name& n : kNames) {
    if (id.starts_with(n.prefix)) return n.name;
  }
  return std::string(id);
}

std::string videoCodecName(const Track& track) {
  static constexpr std::pair<std::string_view, const char*> kNames[] = {
      {"V_MPEG4/ISO/AVC", "H264"},
      {"V_MPEGH/ISO/HEVC", "HEVC"},
      {"V_AV1", "AV1"},
      {"V_VP9", "VP9"},
      {"V_VP8", "VP8"},
      {"V_MPEG4/ISO/ASP", "MPEG-4 Visual"},
      {"V_MPEG2", "MPEG-2"},
  };
  for (const auto& [id, name] : kNames) {
    if (track.codec == id) return name;
  }
  if (track.codec == "V_MS/VFW/FOURCC" && !track.fourcc.empty()) return track.fourcc;
  return track.codec;
}

std::u16string audioText(const Track& track) {
  const double rate =
      track.outputSamplingFrequency > 0 ? track.outputSamplingFrequency : track.samplingFrequency;
  const std::string codec = audioCodecName(track.codec);
  std::u16string text = asciiToUtf16(codec);
  text += u", ";
  appendDecimal(text, rate > 0 && rate < 1e12 ? static_cast<uint64_t>(std::llround(rate)) : 0);
  text += u"Hz, ";
  appendDecimal(text, track.channels);
  text += u"ch";
  // Encoders write BitDepth for lossy codecs too, where it means nothing.
  if (track.bitDepth != 0 && (codec == "PCM" || codec == "FLAC")) {
    text += u", ";
    appendDecimal(text, track.bitDepth);
    text += u"bit";
  }
  return text;
}

std::u16string videoText(const Track& track) {
  std::u16string text = asciiToUtf16(videoCodecName(track));
  text += u", ";
  appendDecimal(text, track.width);
  text += u'x';
  appendDecimal(text, track.height);
  if (track.defaultDurationNs != 0) {
    text += u", ";
    appendFixedDecimal(text, 1e9 / static_cast<double>(track.defaultDurationNs), 3);
    text += u"fps";
  }
  return text;
}

// The common short name of a track's codec, from its CodecID; empty when unknown.
std::string_view codecFormat(const Track& track) {
  struct Name {
    std::string_view prefix;
    std::string_view name;
  };
  // Exact IDs and families, the more specific first (A_AAC/MPEG4/LC/SBR before A_AAC).
  static constexpr Name kAudioNames[] = {
      {"A_AAC/MPEG4/LC/SBR", "HE-AAC"},
      {"A_AAC/MPEG2/LC/SBR", "HE-AAC"},
      {"A_AAC", "AAC"},
      {"A_OPUS", "Opus"},
      {"A_VORBIS", "Vorbis"},
      {"A_FLAC", "FLAC"},
      {"A_EAC3", "E-AC-3"},
      {"A_AC3", "AC-3"},
      {"A_DTS", "DTS"},
      {"A_TRUEHD", "TrueHD"},
      {"A_MPEG/L3", "MP3"},
      {"A_MPEG/L2", "MP2"},
      {"A_MPEG/L1", "MP1"},
      {"A_PCM/", "PCM"},
      {"A_ALAC", "ALAC"},
      {"A_WAVPACK4", "WavPack"},
      {"A_TTA1", "TTA"},
  };
  static constexpr Name kVideoNames[] = {
      {"V_MPEG4/ISO/AVC", "H264"},
      {"V_MPEGH/ISO/HEVC", "HEVC"},
      {"V_AV1", "AV1"},
      {"V_VP9", "VP9"},
      {"V_VP8", "VP8"},
      {"V_MPEG4/ISO/", "MPEG-4"},
      {"V_MPEG4/MS/V3", "MPEG-4"},
      {"V_MPEG2", "MPEG-2"},
      {"V_MPEG1", "MPEG-1"},
      {"V_THEORA", "Theora"},
      {"V_PRORES", "ProRes"},
      {"V_MJPEG", "MJPEG"},
      {"V_FFV1", "FFV1"},
  };
  const std::string_view id = track.codec;
  if (id == "V_MS/VFW/FOURCC") return videoCodecFormat(track.fourcc);
  const std::span<const Name> names = id.starts_with("V_") ? std::span<const Name>(kVideoNames)
                                                           : std::span<const Name>(kAudioNames);
  for (const Name& n : names) {
    if (id.starts_with(n.prefix)) return n.name;
  }
  return {};
}

}  // namespace

void Segment::readInfo(std::string_view body) {
  ebml::Children children(body, elementBudget);
  for (ebml::Children::Child c; children.next(c);) {
    if (c.id == kTimestampScaleId) {
      const uint64_t scale = unsignedOf(c).value_or(0);
      if (scale != 0) timestampScale = scale;
    } else if (c.id == kDurationId) {
      const std::optional<double> value = floatOf(c);
      if (value && *value > 0) duration = value;
    } else if (c.id == kTitleId && !c.cut) {
      title = utf8ToUtf16(ebml::stringValue(c.body));
    }
  }
}

void Segment::readTracks(std::string_view body) {
  ebml::Children children(body, elementBudget);
  for (ebml::Children::Child c; children.next(c);) {
    if (c.id != kTrackEntryId) continue;
    const Track track = readTrackEntry(c.body, elementBudget);
    if (track.type == kTrackTypeAudio && !audio) audio = track;
    if (track.type == kTrackTypeVideo && !video) video = track;
  }
}

void Segment::readTags(std::string_view body) {
  ebml::Children tags(body, elementBudget);
  for (ebml::Children::Child tag; tags.next(tag);) {
    if (tag.id != kTagId) continue;
    // The Targets first, wherever they are in the Tag.
    uint64_t level = kDefaultTargetLevel;
    bool wholeFile = true;
    ebml::Children parts(tag.body, elementBudget);
    for (ebml::Children::Child part; parts.next(part);) {
      if (part.id != kTargetsId) continue;
      ebml::Children targets(part.body, elementBudget);
      for (ebml::Children::Child t; targets.next(t);) {
        if (t.id == kTargetTypeValueId) level = unsignedOf(t).value_or(level);
        for (uint32_t id : kTargetUidIds) {
          if (t.id == id && unsignedOf(t).value_or(1) != 0) wholeFile = false;
        }
      }
    }
    if (!wholeFile) continue;
    // The SimpleTags directly in the Tag; nested ones describe their parent tag.
    ebml::Children simpleTags(tag.body, elementBudget);
    for (ebml::Children::Child simple; simpleTags.next(simple);) {
      if (simple.id != kSimpleTagId) continue;
      std::string_view name, text;
      bool haveText = false;
      ebml::Children fields(simple.body, elementBudget);
      for (ebml::Children::Child f; fields.next(f);) {
        if (f.cut) continue;
        if (f.id == kTagNameId) name = ebml::stringValue(f.body);
        if (f.id == kTagStringId && !haveText) {
          text = ebml::stringValue(f.body);
          haveText = true;
        }
      }
      if (!haveText || text.empty()) continue;
      if (namedAs(name, "TITLE")) {
        if (level == kTrackLevel && title30.empty()) title30 = utf8ToUtf16(text);
        if (level == kDefaultTargetLevel && title50.empty()) title50 = utf8ToUtf16(text);
      } else if (namedAs(name, "PART_NUMBER")) {
        if (level == kTrackLevel && partNumber30.empty()) partNumber30 = utf8ToUtf16(text);
        if (level == kDefaultTargetLevel && partNumber50.empty()) partNumber50 = utf8ToUtf16(text);
      } else if (namedAs(name, "TOTAL_PARTS")) {
        if (level == kDefaultTargetLevel && totalParts50.empty()) totalParts50 = utf8ToUtf16(text);
      } else if (namedAs(name, "ARTIST")) {
        keepLowest(artist, level, text);
        if (level == kDefaultTargetLevel && artist50.empty()) artist50 = utf8ToUtf16(text);
      } else if (namedAs(name, "COMPOSER")) {
        keepLowest(composer, level, text);
      } else if (namedAs(name, "BPM")) {
        keepLowest(tempo, level, text);
      } else if (namedAs(name, "COMMENT")) {
        keepLowest(comment, level, text);
      } else if (namedAs(name, "DATE_RELEASED")) {
        keepLowest(dateReleased, level, text);
      } else if (namedAs(name, "DATE_RECORDED")) {
        keepLowest(dateRecorded, level, text);
      } else if (namedAs(name, "GENRE")) {
        keepLowest(genre, level, text);
      }
    }
  }
}

void Segment::addStreamFacts(std::optional<uint64_t> seconds, StreamFacts& facts) const {
  if (seconds && *seconds <= INT64_MAX / 1000)
    facts.durationMs = static_cast<int64_t>(*seconds * 1000);
  if (audio) {
    const double rate = audio->outputSamplingFrequency > 0 ? audio->outputSamplingFrequency
                                                           : audio->samplingFrequency;
    facts.audioCodec = codecFormat(*audio);
    facts.sampleRate =
        rate > 0 && rate < UINT32_MAX ? static_cast<uint32_t>(std::llround(rate)) : 0;
    facts.channels = factCount(audio->channels);
    // Encoders write BitDepth for lossy codecs too, where it means nothing.
    if (facts.audioCodec == "PCM" || facts.audioCodec == "FLAC") {
      facts.bitsPerSample = factCount(audio->bitDepth);
    }
  }
  if (video) {
    facts.videoCodec = codecFormat(*video);
    facts.width = factCount(video->width);
    facts.height = factCount(video->height);
    facts.interlaced = video->interlaced;
    setFrameRate(facts, 1000000000, video->defaultDurationNs);
  }
}

void Segment::fill(std::optional<uint64_t> seconds, MediaInfo& info) const {
  if (seconds) info.set("TIME", hoursMinutesSecondsText(*seconds));
  if (audio) info.set("AFMT", audioText(*audio));
  // Only a file with video has VFMT: it tells MKV from MKA.
  if (video) info.set("VFMT", videoText(*video));
  addStreamFacts(seconds, info.facts);
  std::u16string name = title;
  if (name.empty()) name = title30;
  if (name.empty()) name = title50;
  setTagWithAliases(info, "INAM", name);
  setTagWithAliases(info, "IART", artist.text);
  setTagWithAliases(info, "IPRD", video ? std::u16string() : title50);
  setTagWithAliases(info, "ICMT", comment.text);
  setTagWithAliases(info, "ICRD",
                    dateReleased.text.empty() ? dateRecorded.text : dateReleased.text);
  setTagWithAliases(info, "IGNR", genre.text);
  setTagWithAliases(info, "TRACK", partNumber30);
  // The album's artist only beside a track's own: alone, it is the artist of the whole file.
  if (artist.level == kTrackLevel) info.album.albumArtist = artist50;
  info.album.track = partNumber30;
  info.album.trackTotal = totalParts50;
  info.album.disc = partNumber50;
  info.album.date = dateReleased.text.empty() ? dateRecorded.text : dateReleased.text;
  info.album.composer = composer.text;
  info.album.bpm = tempo.text;
}

}  // namespace sonavid::media::matroska
