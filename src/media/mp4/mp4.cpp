// MP4 / M4A / QuickTime. The file is a sequence of boxes: a 32-bit size (1: a 64-bit size
// follows the type; 0: up to the end of the enclosing box), a four-character type, the body.
// "moov" holds the movie header (timescale, duration), one "trak" per track (track header,
// edit list, media header, handler type, sample description and sample tables) and the tags
// ("udta/meta/ilst"). "moov" may come before or after the media data ("mdat"); fragmented
// files add "mvex" with the overall duration and leave the sample tables empty.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/text.h"
#include "core/media_reader.h"
#include "media/byte_reader.h"
#include "media/file_reads.h"
#include "media/formats.h"
#include "media/mp4/mp4_boxes.h"
#include "media/read_ahead_file.h"
#include "media/tags/mp4_ilst.h"
#include "media/values/playing_time.h"
#include "media/values/stream_fact_texts.h"
#include "media/values/whole_number.h"

namespace sonavid::media {

namespace {

// Boxes looked at on the top level of the file.
constexpr int kMaxTopLevelBoxes = 4096;
constexpr size_t kBoxHeaderProbeBytes = 16;
// Bytes read at a box header that lies past the bytes already read.
constexpr size_t kBoxReadAheadBytes = 4096;
// Largest movie fragment header read.
constexpr uint64_t kMaxFragmentBytes = 4u * 1024 * 1024;

// Major brands of still-image files that share the box structure.
constexpr std::string_view kImageBrands[] = {"heic", "heix", "heim", "heis", "hevc",
                                             "mif1", "msf1", "avif", "avis", "crx "};

// The track's bitrate in kbps, rounded as AFMT and VFMT show it, or truncated.
uint64_t kbpsOf(const Mp4Track& track, bool rounded = true) {
  const double half = rounded ? 0.5 : 0;
  if (track.sampleBytes > 0 && track.mediaSeconds() > 0) {
    return wholeNumber(static_cast<double>(track.sampleBytes) * 8 / track.mediaSeconds() / 1000 +
                       half);
  }
  return (uint64_t{track.averageBitrate} + (rounded ? 500 : 0)) / 1000;
}

// The bits per sample of an uncompressed or lossless track: QuickTime's fixed-width PCM types
// say it by their name, whatever the sample entry's size field holds.
uint32_t pcmBits(const Mp4Track& track) {
  if (track.format == "in24") return 24;
  if (track.format == "in32" || track.format == "fl32") return 32;
  if (track.format == "fl64") return 64;
  return track.bitsPerSample;
}

// The facts of the tracks AFMT and VFMT describe.
void addStreamFacts(const Mp4Track* audio, const Mp4Track* video, StreamFacts& facts) {
  if (audio != nullptr) {
    facts.audioCodec = audio->codecFormat();
    facts.audioKbps = factCount(kbpsOf(*audio, false));
    facts.sampleRate = audio->sampleRate;
    // AAC's own configuration holds the channels; sample entries often say 2 whatever it is.
    const uint32_t configured = audio->channelConfiguration;
    facts.channels = configured == 0 ? audio->channels : configured == 7 ? 8 : configured;
    const std::string_view codec = facts.audioCodec;
    if (codec == "PCM" || codec == "ALAC" || codec == "FLAC") {
      facts.bitsPerSample = pcmBits(*audio);
    }
  }
  if (video != nullptr) {
    facts.videoCodec = video->codecFormat();
    facts.width = video->width;
    facts.height = video->height;
    // Samples over the media's length, as VFMT's rate.
    const uint64_t duration =
        video->mediaDuration > 0 ? video->mediaDuration : video->fragmentDurationSum;
    const uint64_t timescale = video->mediaTimescale;
    if (timescale != 0 && video->sampleCount <= UINT64_MAX / timescale) {
      setFrameRate(facts, video->sampleCount * timescale, duration);
    }
  }
}

// The media data boxes on the top level of the file: the data bytes their headers declare and
// the bytes of them the file holds. A cut-off file holds less than its box declares.
struct MediaData {
  uint64_t declared = 0;
  uint64_t held = 0;
};

MediaData mediaDataExtent(RandomAccessFile& file) {
  MediaData media;
  const uint64_t fileSize = file.size();
  uint64_t offset = 0;
  for (int n = 0; n < kMaxTopLevelBoxes && fileSize - offset >= 8; ++n) {
    const std::string header = readBlock(file, offset, kBoxHeaderProbeBytes);
    ByteReader probe(header);
    uint64_t size = probe.u32be();
    const bool isMediaData = probe.bytes(4) == "mdat";
    uint64_t headerBytes = 8;
    if (size == 1) {
      size = probe.u64be();
      headerBytes = 16;
    } else if (size == 0) {
      size = fileSize - offset;
    }
    if (probe.failed() || size < headerBytes) break;
    const uint64_t held = std::min(size, fileSize - offset);
    if (isMediaData && held >= headerBytes) {
      media.declared += size - headerBytes;
      media.held += held - headerBytes;
    }
    if (held < size) break;
    offset += size;
  }
  return media;
}

// "<codec>, <seconds> secs, <kbps> kbps, ": the start of both format texts.
std::u16string formatStart(const Mp4Track& track, double seconds) {
  std::u16string text = asciiToUtf16(track.codecName());
  text += u", ";
  appendFixedDecimal(text, seconds, 3);
  text += u" secs, ";
  appendDecimal(text, kbpsOf(track));
  text += u" kbps, ";
  return text;
}

std::u16string audioFormat(const Mp4Track& track, double seconds) {
  std::u16string text = formatStart(track, seconds);
  appendDecimal(text, track.sampleRate);
  text += u" Hz";
  return text;
}

std::u16string videoFormat(const Mp4Track& track, double seconds) {
  const double mediaSeconds = track.mediaSeconds();
  const double fps = mediaSeconds > 0 ? static_cast<double>(track.sampleCount) / mediaSeconds : 0;
  std::u16string text = formatStart(track, seconds);
  appendDecimal(text, track.width);
  text += u'x';
  appendDecimal(text, track.height);
  text += u" @ ";
  appendFixedDecimal(text, fps, 6);
  text += u" fps";
  return text;
}

}  // namespace

bool probeMp4(std::string_view head) {
  // Box types an MP4 file may start with, after the first box's size.
  constexpr std::string_view kFirstBoxes[] = {"ftyp", "moov", "mdat", "wide", "free", "skip"};
  if (head.size() < 8) return false;
  for (std::string_view box : kFirstBoxes) {
    if (head.substr(4, 4) == box) return true;
  }
  return false;
}

bool readMp4(RandomAccessFile& rawFile, MediaInfo& info) {
  // A box header past the head is read with the bytes after it: a movie box at the end of the
  // file usually comes with its header in one read.
  ReadAheadFile file(rawFile, kBoxReadAheadBytes);
  const uint64_t fileSize = file.size();
  uint64_t offset = 0;
  bool sawFileType = false;
  bool sawMovie = false;
  uint64_t movieBytes = 0;
  Mp4Movie movie;
  for (int n = 0; n < kMaxTopLevelBoxes && fileSize - offset >= 8; ++n) {
    const std::string header = readBlock(file, offset, kBoxHeaderProbeBytes);
    ByteReader probe(header);
    uint64_t size = probe.u32be();
    std::string_view type = probe.bytes(4);
    uint64_t headerBytes = 8;
    if (size == 1) {
      size = probe.u64be();
      headerBytes = 16;
    } else if (size == 0) {
      size = fileSize - offset;
    }
    if (probe.failed() || size < headerBytes || size > fileSize - offset) {
      // A damaged size; a box cut short at the end of the file is still read as far as it goes.
      if (!probe.failed() && size >= headerBytes && type == "moov") {
        size = fileSize - offset;
      } else {
        break;
      }
    }
    if (n == 0) {
      if (type == "ftyp") {
        const std::string major = readBlock(file, offset + headerBytes, 4);
        for (std::string_view image : kImageBrands) {
          if (major == image) return false;
        }
        sawFileType = true;
      } else if (type != "moov" && type != "mdat" && type != "wide" && type != "free" &&
                 type != "skip") {
        return false;
      }
    }
    if (type == "moov" && !sawMovie) {
      sawMovie = true;
      movieBytes = size;
      if (size - headerBytes <= kMaxBlockBytes) {
        ReadBuffer storage;
        readMovie(ByteReader(viewBlock(file, offset + headerBytes,
                                       static_cast<size_t>(size - headerBytes), storage)),
                  movie);
      } else {
        readMovie(ByteReader(condenseMovie(file, offset + headerBytes, offset + size)), movie);
      }
      // Later boxes only matter for a movie whose length is in its fragments.
      if (movie.duration != 0 || movie.fragmentDuration != 0) break;
    } else if (type == "moof" && sawMovie && movie.duration == 0 && movie.fragmentDuration == 0) {
      // No length in the headers: the fragments' samples give it.
      const std::string body =
          readBlock(file, offset + headerBytes,
                    static_cast<size_t>(std::min<uint64_t>(size - headerBytes, kMaxFragmentBytes)));
      readMovieFragment(ByteReader(body), movie);
    }
    offset += size;
  }
  if (!sawFileType && !sawMovie) return false;

  info.type = kTypeMp4;
  if (!sawMovie) return true;

  // Sample tables that promise more bytes than the file has outside the movie box: the file
  // is cut off (its media data box holds less than it declares), and is timed by the share it
  // holds, or the tables are damaged, and the media data's real extent takes their place.
  double heldShare = 1;
  uint64_t tableBytes = 0;
  for (const Mp4Track& track : movie.tracks) {
    tableBytes =
        track.sampleBytes > UINT64_MAX - tableBytes ? UINT64_MAX : tableBytes + track.sampleBytes;
  }
  if (tableBytes > fileSize - std::min(movieBytes, fileSize)) {
    const MediaData media = mediaDataExtent(file);
    if (media.held < media.declared) {
      heldShare = static_cast<double>(media.held) / static_cast<double>(media.declared);
    } else {
      const auto withSamples = std::count_if(movie.tracks.begin(), movie.tracks.end(),
                                             [](const Mp4Track& t) { return t.sampleBytes > 0; });
      for (Mp4Track& track : movie.tracks) {
        if (track.sampleBytes > media.held) track.sampleBytes = withSamples == 1 ? media.held : 0;
      }
    }
  }

  // The movie's length; a zero one falls back to the fragments' length, then the longest track.
  double seconds = movie.seconds();
  if (seconds <= 0) seconds = movie.fragmentSeconds();
  const Mp4Track* audio = nullptr;
  const Mp4Track* video = nullptr;
  for (const Mp4Track& track : movie.tracks) {
    if (seconds <= 0 || movie.seconds() <= 0) {
      if (track.seconds(movie) > seconds) seconds = track.seconds(movie);
    }
    if (track.kind == Mp4Track::Kind::kAudio) audio = &track;  // the last one
    if (track.kind == Mp4Track::Kind::kVideo && video == nullptr) video = &track;
  }
  seconds *= heldShare;
  info.set("TIME", minutesSecondsText(wholeNumber(seconds)));
  auto trackSeconds = [&](const Mp4Track& track) {
    const double own = track.seconds(movie) * heldShare;
    return own > 0 ? own : seconds;
  };
  if (audio != nullptr) info.set("AFMT", audioFormat(*audio, trackSeconds(*audio)));
  info.set("VFMT", video != nullptr ? videoFormat(*video, trackSeconds(*video)) : u"");
  info.facts.durationMs = static_cast<int64_t>(wholeNumber(seconds * 1000));
  addStreamFacts(audio, video, info.facts);
  if (!movie.ilst.empty()) readIlst(ByteReader(movie.ilst), info);
  return true;
}

}  // namespace sonavid::media
