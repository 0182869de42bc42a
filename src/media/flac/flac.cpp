// FLAC. The playing time is STREAMINFO's total samples over its rate; a stream that left the
// total at 0 is measured from its last frame, whose header gives the number of its first
// sample (or of its frame, times the fixed block size) and its block size. That frame is
// searched backwards from the end of the audio: a candidate header must have a valid CRC-8 and
// agree with STREAMINFO, and the one whose frame's CRC-16 checks out up to the end is taken
// (the last candidate with a valid header when none does, as in a file cut short).
#include "media/flac/flac.h"

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

struct StreamInfo {
  uint32_t maxBlockSize = 0;
  uint32_t sampleRate = 0;
  uint32_t channels = 0;
  uint32_t bits = 0;
  uint64_t totalSamples = 0;
};

bool parseStreamInfo(std::string_view bytes, StreamInfo& out) {
  ByteReader in(bytes);
  in.skip(2);  // minimum block size
  out.maxBlockSize = in.u16be();
  in.skip(3 + 3);  // minimum and maximum frame size
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
  uint32_t blockSize = 0;
};

// The frame header at the start of `bytes`, when it is one that belongs to this stream.
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
  const uint32_t channels = channelCode < 8 ? channelCode + 1u : 2u;
  if (channels != stream.channels) return false;
  static constexpr uint32_t kBits[8] = {0, 8, 12, 0, 16, 20, 24, 32};
  if (bitsCode != 0 && kBits[bitsCode] != stream.bits) return false;
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
  if (rateCode != 0 && rate != stream.sampleRate) return false;
  const size_t headerBytes = in.position();
  const uint8_t crc = in.u8();
  if (in.failed() || crc != crc8(bytes.substr(0, headerBytes))) return false;
  if (!variable && stream.maxBlockSize == 0) return false;
  out.firstSample = variable ? number : number * stream.maxBlockSize;
  out.blockSize = blockSize;
  return true;
}

// Total samples of a stream whose STREAMINFO does not say: the last frame's first sample and
// block size. 0 when no frame is found.
uint64_t measureFromLastFrame(RandomAccessFile& file, uint64_t audioStart, uint64_t audioEnd,
                              const StreamInfo& stream) {
  ReadBuffer storage;
  for (size_t window = kFirstLastFrameSearchBytes;; window *= 4) {
    const uint64_t audioBytes = audioEnd - audioStart;
    const bool whole = audioBytes <= window;
    const uint64_t start = whole ? audioStart : audioEnd - window;
    const std::string_view tail =
        viewBlock(file, start, static_cast<size_t>(audioEnd - start), storage);
    bool haveFallback = false;
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
        if (crc16(body) == stored.u16be()) return frame.firstSample + frame.blockSize;
      }
      if (!haveFallback) {
        haveFallback = true;
        fallback = frame;
      }
    }
    if (whole || window >= kMaxLastFrameSearchBytes || candidates >= kMaxLastFrameCandidates) {
      return haveFallback ? fallback.firstSample + fallback.blockSize : 0;
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
    if (n == 0 && type == kTypeStreamInfo && length >= kStreamInfoBytes) {
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
  if (samples == 0 && audioEnd > audioStart) {
    samples = measureFromLastFrame(file, audioStart, audioEnd, stream);
  }
  info.set("TIME", minutesSecondsText(samples / stream.sampleRate));
  const uint64_t kbps = kilobitsPerSecond(audioEnd - audioStart, samples, stream.sampleRate);
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
