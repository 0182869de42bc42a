// Monkey's Audio (APE). The stream starts with "MAC " and a 16-bit version (3990 = 3.99),
// possibly after an ID3v2 tag or junk. From 3.98 on a descriptor follows (its own length
// first, then the header's length and position) and the header holds compression level,
// flags, blocks per frame, final frame blocks, total frames, bits, channels and sample rate.
// Older files have one header: compression level, flags, channels, sample rate, header and
// terminating bytes, total frames, final frame blocks; their blocks per frame follow from the
// version. Tags are an APE tag at the end of the file.
#include <string>

#include "common/text.h"
#include "core/media_reader.h"
#include "media/byte_reader.h"
#include "media/file_reads.h"
#include "media/formats.h"
#include "media/values/playing_time.h"
#include "media/tags/apev2.h"
#include "media/tags/id3v2.h"
#include "media/tags/vorbis_comment.h"
#include "media/values/stream_fact_texts.h"
#include "media/values/whole_number.h"

namespace sonavid::media {

namespace {

// Bytes searched for "MAC " after the start (or after an ID3v2 tag).
constexpr size_t kMaxJunkBytes = 64 * 1024;
constexpr size_t kHeaderReadBytes = 256;
constexpr uint16_t kFirstVersion = 3800;
constexpr uint16_t kLastVersion = 9999;
constexpr uint16_t kDescriptorVersion = 3980;
constexpr uint16_t kFlag8Bit = 1;
constexpr uint16_t kFlag24Bit = 8;
constexpr uint16_t kCompressionExtraHigh = 4000;
constexpr uint32_t kMaxChannels = 32;

struct ApeHeader {
  uint16_t version = 0;
  uint32_t blocksPerFrame = 0;
  uint32_t finalFrameBlocks = 0;
  uint32_t totalFrames = 0;
  uint32_t bits = 0;
  uint32_t channels = 0;
  uint32_t sampleRate = 0;
};

// Size of an ID3v2 tag at `offset` (header, syncsafe size, optional footer), 0 when none.
uint64_t id3v2Size(std::string_view head) {
  ByteReader tag(head);
  if (tag.bytes(3) != "ID3") return 0;
  tag.skip(2);
  const uint8_t flags = tag.u8();
  uint32_t size = 0;
  for (int i = 0; i < 4; ++i) size = (size << 7) | (tag.u8() & 0x7F);
  if (tag.failed()) return 0;
  return 10 + uint64_t{size} + ((flags & 0x10) ? 10 : 0);
}

uint32_t oldBlocksPerFrame(uint16_t version, uint16_t compression) {
  if (version >= 3950) return 73728 * 4;
  if (version >= 3900 || (version >= 3800 && compression == kCompressionExtraHigh)) return 73728;
  return 9216;
}

bool readHeader(ByteReader mac, ApeHeader& header) {
  mac.skip(4);
  header.version = mac.u16le();
  if (header.version < kFirstVersion || header.version > kLastVersion) return false;
  if (header.version >= kDescriptorVersion) {
    mac.skip(2);  // padding
    const uint32_t descriptorBytes = mac.u32le();
    mac.seek(descriptorBytes);
    mac.skip(2 + 2);  // compression level, format flags (the header gives the bits itself)
    header.blocksPerFrame = mac.u32le();
    header.finalFrameBlocks = mac.u32le();
    header.totalFrames = mac.u32le();
    header.bits = mac.u16le();
    header.channels = mac.u16le();
    header.sampleRate = mac.u32le();
  } else {
    const uint16_t compression = mac.u16le();
    const uint16_t flags = mac.u16le();
    header.channels = mac.u16le();
    header.sampleRate = mac.u32le();
    mac.skip(4 + 4);  // header bytes, terminating bytes
    header.totalFrames = mac.u32le();
    header.finalFrameBlocks = mac.u32le();
    header.bits = (flags & kFlag8Bit) ? 8 : (flags & kFlag24Bit) ? 24 : 16;
    header.blocksPerFrame = oldBlocksPerFrame(header.version, compression);
  }
  return mac.ok() && header.sampleRate > 0 && header.channels > 0 &&
         header.channels <= kMaxChannels;
}

}  // namespace

bool probeMonkeys(std::string_view head) {
  if (head.starts_with("MAC ")) return true;
  // After an ID3v2 tag.
  const uint64_t tagSize = id3v2TagSize(head);
  return tagSize != 0 && tagSize < head.size() &&
         head.substr(static_cast<size_t>(tagSize)).starts_with("MAC ");
}

bool readMonkeys(RandomAccessFile& file, MediaInfo& info) {
  // Where "MAC " may start: at 0, or after an ID3v2 tag, or after junk in the first block.
  // Nearly always it is right there: the head is searched first, the whole junk allowance
  // only when the head does not have it.
  ReadBuffer headStorage, junkStorage, headerStorage;
  std::string_view head = viewBlock(file, 0, kHeadProbeBytes, headStorage);
  const uint64_t base = id3v2Size(head);
  if (base > 0) head = viewBlock(file, base, kHeadProbeBytes, headStorage);
  size_t at = head.find("MAC ");
  if (at == std::string_view::npos && head.size() == kHeadProbeBytes) {
    head = viewBlock(file, base, kMaxJunkBytes, junkStorage);
    at = head.find("MAC ");
  }
  if (at == std::string_view::npos) return false;
  ApeHeader header;
  if (!readHeader(ByteReader(viewBlock(file, base + at, kHeaderReadBytes, headerStorage)),
                  header)) {
    return false;
  }

  info.type = kTypeApe;
  uint64_t blocks = 0;
  if (header.totalFrames > 0) {
    blocks = uint64_t{header.totalFrames - 1} * header.blocksPerFrame + header.finalFrameBlocks;
  }
  const uint64_t seconds = blocks / header.sampleRate;
  info.set("TIME", minutesSecondsText(seconds));
  std::u16string format;
  format.reserve(56);
  format += u"Monkey's Audio v";
  appendDecimal(format, header.version / 1000u);
  format += u'.';
  appendDecimal(format, header.version % 1000u / 10u, 2);
  format += u", ";
  appendDecimal(format, header.bits);
  format += u"bit, ";
  appendDecimal(format, header.sampleRate);
  format += u"Hz, ";
  appendDecimal(format, header.channels);
  format += u"ch";
  info.set("AFMT", std::move(format));
  StreamFacts& facts = info.facts;
  facts.durationMs = factMilliseconds(blocks, header.sampleRate);
  facts.audioCodec = "Monkey's Audio";
  facts.sampleRate = header.sampleRate;
  facts.bitsPerSample = header.bits;
  facts.channels = header.channels;

  // The bitrate of the audio data: the file without its tags.
  const std::optional<ApeTag> tag = findApeTagAtEnd(file);
  const uint64_t audioEnd = tag ? tag->start : file.size();
  facts.audioKbps = factCount(
      kilobitsPerSecond(audioEnd > base ? audioEnd - base : 0, blocks, header.sampleRate));
  if (tag) {
    setTagWithAliases(info, "INAM", tag->value(u"Title"));
    setTagWithAliases(info, "IART", tag->value(u"Artist"));
    setTagWithAliases(info, "IPRD", tag->value(u"Album"));
    setTagWithAliases(info, "ICMT", tag->value(u"Comment"));
    setTagWithAliases(info, "ICRD", tag->value(u"Year"));
    setTagWithAliases(info, "IGNR", tag->value(u"Genre"));
    setTagWithAliases(info, "TRACK", tag->value(u"Track"));
    info.album = apeAlbumFacts(*tag);
  }
  return true;
}

}  // namespace sonavid::media
