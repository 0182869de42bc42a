// FLAC. The playing time is STREAMINFO's total samples over its rate. A stream that left the
// total at 0, or whose audio bytes are plainly too few for the total (an excerpt cut from a
// longer file), is measured from its frames: the last frame's header gives the number of its
// first sample (or of its frame, times the fixed block size) and its block size. That frame is
// searched backwards from the end of the audio: a candidate header must have a valid CRC-8,
// and the one whose frame's CRC-16 checks out up to the end is taken (the last candidate with
// a valid header when none does, as in a file cut short). A stream whose first and last
// frames differ in rate, channels or bits changed format on the way (frames of several
// encodes joined): its frames are walked and each run of one format is timed at its own rate.
#include "media/flac/flac.h"

#include <algorithm>
#include <optional>
#include <string>

#include "common/text.h"
#include "core/media_reader.h"
#include "media/byte_reader.h"
#include "media/file_reads.h"
#include "media/values/playing_time.h"
#include "media/tags/id3v2.h"
#include "media/tags/trailing_tags.h"
#include "media/tags/vorbis_comment.h"
#include "media/values/stream_fact_texts.h"
#include "media/values/whole_number.h"

namespace sonavid::media {
namespace {

constexpr std::string_view kMagic = "fLaC";
constexpr size_t kBlockHeaderBytes = 4;
constexpr size_t kStreamInfoBytes = 34;
constexpr uint8_t kTypeStreamInfo = 0;
constexpr uint8_t kTypeVorbisComment = 4;
constexpr uint8_t kTypeInvalid = 127;
constexpr uint8_t kLastBlockBit = 0x80;
// Metadata blocks looked at before the rest is taken for audio.
constexpr int kMaxMetadataBlocks = 1024;
// Largest Vorbis comment block read (the text fields come first; a longer one is cut).
constexpr size_t kMaxCommentBytes = 1024 * 1024;
// The last frame is searched in the last this many bytes of the audio, then in the last
// kMaxLastFrameSearchBytes (a frame is usually a few kilobytes; STREAMINFO allows 16 MB).
constexpr size_t kFirstLastFrameSearchBytes = 64 * 1024;
constexpr size_t kMaxLastFrameSearchBytes = 1024 * 1024;
// Frame headers with a valid CRC-8 checked against the end before the search gives up (each
// costs a CRC-16 over the bytes from it to the end).
constexpr int kMaxLastFrameCandidates = 32;
// Longest frame header: sync (2), codes (2), a 7-byte coded number, 16-bit block size, 16-bit
// rate, CRC-8.
constexpr size_t kMaxFrameHeaderBytes = 16;
constexpr size_t kFrameCrcBytes = 2;
constexpr uint32_t kMaxChannels = 8;
// The smallest frame a stream can have: header (6 bytes at least), one byte per channel for a
// constant subframe's type and value, CRC-16.
constexpr uint64_t kSmallestFrameBytes = 6 + 1 + 2;
// Audio bytes walked, a block at a time, for the runs of a stream that changes format.
constexpr uint64_t kMaxFormatWalkBytes = 256u * 1024 * 1024;
constexpr size_t kFormatWalkBlockBytes = 1024 * 1024;
// Bytes after a frame header searched for the next header, which confirms a change of format
// or a fresh count of samples (a frame is at most a few tens of kilobytes in practice), the
// valid headers looked at there (a false sync inside the frame may come first), and the
// headers that break a run a walk looks at before it gives up (damage, not a stream).
constexpr size_t kMaxFrameGapBytes = 256 * 1024;
constexpr int kMaxConfirmingHeaders = 4;
constexpr int kMaxRunBreaks = 4096;

struct StreamInfo {
  uint32_t maxBlockSize = 0;
  uint32_t minFrameBytes = 0;  // 0: not known
  uint32_t sampleRate = 0;
  uint32_t channels = 0;
  uint32_t bits = 0;
  uint64_t totalSamples = 0;
};

bool parseStreamInfo(std::string_view bytes, StreamInfo& out) {
  ByteReader in(bytes);
  in.skip(2);  // minimum block size
  out.maxBlockSize = in.u16be();
  out.minFrameBytes = in.u24be();
  in.skip(3);  // maximum frame size
  const uint32_t packed = in.u32be();
  const uint32_t totalLow = in.u32be();
  if (in.failed()) return false;
  out.sampleRate = packed >> 12;
  out.channels = ((packed >> 9) & 7) + 1;
  out.bits = ((packed >> 4) & 31) + 1;
  out.totalSamples = (uint64_t{packed & 15} << 32) | totalLow;
  return out.sampleRate > 0;
}

uint8_t crc8(std::string_view bytes) {
  uint8_t crc = 0;
  for (char c : bytes) {
    crc ^= static_cast<uint8_t>(c);
    for (int i = 0; i < 8; ++i)
      crc = static_cast<uint8_t>((crc & 0x80) ? (crc << 1) ^ 0x07 : crc << 1);
  }
  return crc;
}

// CRC-16 (polynomial 0x8005) of a frame, a byte at a time through a table.
struct Crc16Table {
  uint16_t entries[256] = {};
  constexpr Crc16Table() {
    for (int byte = 0; byte < 256; ++byte) {
      auto crc = static_cast<uint16_t>(byte << 8);
      for (int i = 0; i < 8; ++i) {
        crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x8005 : crc << 1);
      }
      entries[byte] = crc;
    }
  }
};
constexpr Crc16Table kCrc16;

uint16_t crc16(std::string_view bytes) {
  uint16_t crc = 0;
  for (char c : bytes) {
    crc = static_cast<uint16_t>((crc << 8) ^ kCrc16.entries[(crc >> 8) ^ static_cast<uint8_t>(c)]);
  }
  return crc;
}

struct FrameHeader {
  uint64_t firstSample = 0;
  uint64_t number = 0;  // of the frame (fixed block size) or of its first sample (variable)
  bool variable = false;
  uint32_t blockSize = 0;
  // The frame's own format (STREAMINFO's where the header refers to it).
  uint32_t sampleRate = 0;
  uint32_t channels = 0;
  uint32_t bits = 0;
  uint64_t end() const { return firstSample + blockSize; }
  bool sameFormat(const FrameHeader& other) const {
    return sampleRate == other.sampleRate && channels == other.channels && bits == other.bits;
  }
};

// The frame header at the start of `bytes`, when its fields are valid and its CRC-8 checks
// out. Its format may differ from STREAMINFO's: a stream may change format between frames.
bool parseFrameHeader(std::string_view bytes, const StreamInfo& stream, FrameHeader& out) {
  ByteReader in(bytes);
  const uint8_t sync = in.u8();
  const uint8_t syncAndStrategy = in.u8();
  if (sync != 0xFF || (syncAndStrategy & 0xFE) != 0xF8) return false;
  const bool variable = (syncAndStrategy & 1) != 0;
  const uint8_t sizeAndRate = in.u8();
  const uint8_t channelsAndBits = in.u8();
  const uint8_t sizeCode = sizeAndRate >> 4;
  const uint8_t rateCode = sizeAndRate & 15;
  const uint8_t channelCode = channelsAndBits >> 4;
  const uint8_t bitsCode = (channelsAndBits >> 1) & 7;
  if (in.failed() || sizeCode == 0 || rateCode == 15 || channelCode > 10 || bitsCode == 3 ||
      (channelsAndBits & 1) != 0) {
    return false;
  }
  out.channels = channelCode < 8 ? channelCode + 1u : 2u;
  static constexpr uint32_t kBits[8] = {0, 8, 12, 0, 16, 20, 24, 32};
  out.bits = bitsCode != 0 ? kBits[bitsCode] : stream.bits;
  // The frame or sample number, coded like UTF-8 (up to 36 bits in 7 bytes).
  const uint8_t lead = in.u8();
  uint64_t number = lead;
  int more = 0;
  if ((lead & 0x80) != 0) {
    if ((lead & 0xC0) != 0xC0 || lead == 0xFF) return false;
    while (more < 6 && (lead & (0x40 >> more)) != 0) ++more;
    number = lead & (0x3F >> more);
  }
  for (int i = 0; i < more; ++i) {
    const uint8_t next = in.u8();
    if ((next & 0xC0) != 0x80) return false;
    number = (number << 6) | (next & 0x3F);
  }
  uint32_t blockSize = 0;
  if (sizeCode == 1) {
    blockSize = 192;
  } else if (sizeCode <= 5) {
    blockSize = 576u << (sizeCode - 2);
  } else if (sizeCode == 6) {
    blockSize = in.u8() + 1u;
  } else if (sizeCode == 7) {
    blockSize = in.u16be() + 1u;
  } else {
    blockSize = 256u << (sizeCode - 8);
  }
  static constexpr uint32_t kRates[12] = {0,     88200, 176400, 192000, 8000,  16000,
                                          22050, 24000, 32000,  44100,  48000, 96000};
  uint32_t rate = rateCode < 12 ? kRates[rateCode] : 0;
  if (rateCode == 12) rate = in.u8() * 1000u;
  if (rateCode == 13) rate = in.u16be();
  if (rateCode == 14) rate = in.u16be() * 10u;
  out.sampleRate = rateCode != 0 ? rate : stream.sampleRate;
  if (out.sampleRate == 0) return false;
  const size_t headerBytes = in.position();
  const uint8_t crc = in.u8();
  if (in.failed() || crc != crc8(bytes.substr(0, headerBytes))) return false;
  if (!variable && stream.maxBlockSize == 0) return false;
  out.firstSample = variable ? number : number * stream.maxBlockSize;
  out.number = number;
  out.variable = variable;
  out.blockSize = blockSize;
  return true;
}

// Whether `next` is the frame right after `frame` in one run: same format and blocking, and
// numbered on from it.
bool continuesRun(const FrameHeader& frame, const FrameHeader& next) {
  if (!frame.sameFormat(next) || frame.variable != next.variable) return false;
  return next.number == (frame.variable ? frame.number + frame.blockSize : frame.number + 1);
}

// Whether a header within kMaxFrameGapBytes after the one at `at` in `bytes` continues the
// run from it: a header that breaks a run counts only then, so a false sync in the audio
// data is passed over.
bool confirmedByNext(std::string_view bytes, size_t at, const FrameHeader& frame,
                     const StreamInfo& stream) {
  const size_t limit =
      bytes.size() - at > kMaxFrameGapBytes ? at + kMaxFrameGapBytes : bytes.size();
  int headers = 0;
  for (size_t next = bytes.find('\xFF', at + 1);
       next != std::string_view::npos && next < limit && headers < kMaxConfirmingHeaders;
       next = bytes.find('\xFF', next + 1)) {
    FrameHeader header;
    if (!parseFrameHeader(bytes.substr(next, kMaxFrameHeaderBytes), stream, header)) continue;
    if (continuesRun(frame, header)) return true;
    ++headers;
  }
  return false;
}

// Microseconds of a stream that changes format: its frames walked from `first` (at the start
// of the audio), each run of frames of one format and one count timed at its own rate (a run
// begins where the format changes or the count starts afresh, as where two encodes were
// joined). Nothing when the audio is too long to walk or cannot be read.
std::optional<uint64_t> walkFormatRuns(RandomAccessFile& file, uint64_t audioStart,
                                       uint64_t audioEnd, const StreamInfo& stream,
                                       const FrameHeader& first) {
  if (audioEnd - audioStart > kMaxFormatWalkBytes) return std::nullopt;
  ReadBuffer storage;
  FrameHeader last = first;
  uint64_t runSamples = first.blockSize;
  int breaks = 0;
  double microseconds = 0;
  auto closeRun = [&] { microseconds += static_cast<double>(runSamples) * 1e6 / last.sampleRate; };
  // Blocks overlap by the gap a confirming header may lie in, and a header's length.
  for (uint64_t block = audioStart; block < audioEnd; block += kFormatWalkBlockBytes) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(
        audioEnd - block, kFormatWalkBlockBytes + kMaxFrameGapBytes + kMaxFrameHeaderBytes));
    const std::string_view bytes = viewBlock(file, block, want, storage);
    if (bytes.size() != want) return std::nullopt;
    const size_t limit = std::min(bytes.size(), kFormatWalkBlockBytes);
    for (size_t at = bytes.find('\xFF', block == audioStart ? 1 : 0);
         at != std::string_view::npos && at < limit; at = bytes.find('\xFF', at + 1)) {
      FrameHeader frame;
      if (!parseFrameHeader(bytes.substr(at, kMaxFrameHeaderBytes), stream, frame)) continue;
      if (continuesRun(last, frame)) {
        runSamples += frame.blockSize;
      } else if (++breaks > kMaxRunBreaks) {
        return std::nullopt;
      } else if (confirmedByNext(bytes, at, frame, stream)) {
        closeRun();
        runSamples = frame.blockSize;
      } else {
        continue;
      }
      last = frame;
    }
  }
  closeRun();
  return wholeNumber(microseconds);
}

// Whether the audio bytes are plainly too few for STREAMINFO's total: fewer than its whole
// frames would take at the smallest frame size it gives (or any frame can have).
bool tooFewBytesForTotal(const StreamInfo& stream, uint64_t audioBytes) {
  if (stream.maxBlockSize == 0 || stream.totalSamples == 0) return false;
  const uint64_t frames = stream.totalSamples / stream.maxBlockSize;
  const uint64_t smallest = std::max<uint64_t>(stream.minFrameBytes, kSmallestFrameBytes);
  return audioBytes / smallest < frames;
}

// The last frame of the audio, or nothing when no frame is found.
std::optional<FrameHeader> lastFrame(RandomAccessFile& file, uint64_t audioStart, uint64_t audioEnd,
                                     const StreamInfo& stream) {
  ReadBuffer storage;
  for (size_t window = kFirstLastFrameSearchBytes;; window *= 4) {
    const uint64_t audioBytes = audioEnd - audioStart;
    const bool whole = audioBytes <= window;
    const uint64_t start = whole ? audioStart : audioEnd - window;
    const std::string_view tail =
        viewBlock(file, start, static_cast<size_t>(audioEnd - start), storage);
    bool haveFallback = false;
    bool fallbackInStreamFormat = false;
    FrameHeader fallback;
    int candidates = 0;
    for (size_t at = tail.size(); at-- > 0 && candidates < kMaxLastFrameCandidates;) {
      if (static_cast<uint8_t>(tail[at]) != 0xFF) continue;
      FrameHeader frame;
      if (!parseFrameHeader(tail.substr(at, kMaxFrameHeaderBytes), stream, frame)) continue;
      ++candidates;
      const std::string_view rest = tail.substr(at);
      if (rest.size() > kFrameCrcBytes) {
        const std::string_view body = rest.substr(0, rest.size() - kFrameCrcBytes);
        ByteReader stored(rest.substr(body.size()));
        if (crc16(body) == stored.u16be()) return frame;
      }
      // Without a CRC-16 to go by, a header in STREAMINFO's format is the likelier frame.
      const bool streamFormat = frame.sampleRate == stream.sampleRate &&
                                frame.channels == stream.channels && frame.bits == stream.bits;
      if (!haveFallback || (streamFormat && !fallbackInStreamFormat)) {
        haveFallback = true;
        fallbackInStreamFormat = streamFormat;
        fallback = frame;
      }
    }
    if (whole || window >= kMaxLastFrameSearchBytes || candidates >= kMaxLastFrameCandidates) {
      if (!haveFallback) return std::nullopt;
      return fallback;
    }
  }
}

}  // namespace

bool probeFlac(std::string_view head) {
  const uint64_t tagSize = id3v2TagSize(head);
  return tagSize <= head.size() && head.size() - tagSize >= kMagic.size() &&
         head.substr(static_cast<size_t>(tagSize), kMagic.size()) == kMagic;
}

bool readFlac(RandomAccessFile& file, MediaInfo& info) {
  ReadBuffer storage;
  const uint64_t size = file.size();
  const uint64_t tagSize = id3v2TagSize(viewBlock(file, 0, kId3v2HeaderBytes, storage));
  if (viewBlock(file, tagSize, kMagic.size(), storage) != kMagic) return false;
  info.type = kTypeFlac;

  StreamInfo stream;
  bool haveStream = false;
  VorbisComments comments;
  bool haveComments = false;
  uint64_t pos = tagSize + kMagic.size();
  for (int n = 0; n < kMaxMetadataBlocks; ++n) {
    ByteReader header(viewBlock(file, pos, kBlockHeaderBytes, storage));
    const uint8_t flagsAndType = header.u8();
    const uint32_t length = header.u24be();
    const uint8_t type = flagsAndType & 0x7F;
    if (header.failed() || type == kTypeInvalid) break;
    const uint64_t body = pos + kBlockHeaderBytes;
    // STREAMINFO should come first; some writers put another block before it.
    if (type == kTypeStreamInfo && !haveStream && length >= kStreamInfoBytes) {
      haveStream = parseStreamInfo(viewBlock(file, body, kStreamInfoBytes, storage), stream);
    } else if (type == kTypeVorbisComment && !haveComments) {
      ByteReader block(
          viewBlock(file, body, length < kMaxCommentBytes ? length : kMaxCommentBytes, storage));
      comments = parseVorbisComments(block);
      haveComments = true;
    }
    pos = body + length;
    if ((flagsAndType & kLastBlockBit) != 0) break;
  }
  if (!haveStream || stream.channels > kMaxChannels) return true;  // a FLAC file, nothing more

  // The audio frames: after the metadata, up to an APE or ID3v1 tag at the end.
  const uint64_t audioStart = pos < size ? pos : size;
  uint64_t audioEnd = readTrailingTags(file, size).audioEnd;
  if (audioEnd < audioStart) audioEnd = audioStart;
  uint64_t samples = stream.totalSamples;
  std::optional<uint64_t> walkedMicroseconds;
  const uint64_t audioBytes = audioEnd - audioStart;
  if (audioBytes > 0 && (samples == 0 || tooFewBytesForTotal(stream, audioBytes))) {
    // Timed by the frames present: the last one, or every one when the format changes.
    if (const auto last = lastFrame(file, audioStart, audioEnd, stream)) {
      if (samples == 0 || last->end() < samples) samples = last->end();
      FrameHeader first;
      if (parseFrameHeader(viewBlock(file, audioStart, kMaxFrameHeaderBytes, storage), stream,
                           first) &&
          !first.sameFormat(*last)) {
        walkedMicroseconds = walkFormatRuns(file, audioStart, audioEnd, stream, first);
      }
    }
  }
  uint64_t kbps = 0;
  if (walkedMicroseconds) {
    info.set("TIME", minutesSecondsText(*walkedMicroseconds / 1000000));
    kbps = kilobitsPerSecond(audioBytes, *walkedMicroseconds, 1000000);
  } else {
    info.set("TIME", minutesSecondsText(samples / stream.sampleRate));
    kbps = kilobitsPerSecond(audioBytes, samples, stream.sampleRate);
  }
  std::u16string format;
  format.reserve(48);
  format += u"FLAC, ";
  appendDecimal(format, stream.bits);
  format += u"bit, ";
  appendDecimal(format, stream.sampleRate);
  format += u"Hz, ";
  appendDecimal(format, stream.channels);
  format += u"ch, ";
  appendDecimal(format, kbps);
  format += u"Kbps";
  info.set("AFMT", std::move(format));
  StreamFacts& facts = info.facts;
  facts.durationMs = factMilliseconds(samples, stream.sampleRate);
  facts.audioCodec = "FLAC";
  facts.audioKbps = factCount(kbps);
  facts.sampleRate = stream.sampleRate;
  facts.bitsPerSample = stream.bits;
  facts.channels = stream.channels;
  setVorbisCommentValues(comments, info);
  return true;
}

}  // namespace sonavid::media
