// WavPack. The first block is at the start or right after an ID3v2 tag. Its header gives the total
// samples, the bytes per sample, mono, hybrid and float flags and the rate (an index; 15: the
// sample-rate sub-block says); its sub-blocks may give the channel count and the rate. Without a
// channel-info sub-block the channels of the first segment's blocks are added up. An unknown total,
// or one the blocks present could not hold, is measured by walking the block headers (capped) and
// adding the samples of each segment's initial block. The bitrate is the blocks' bytes (up to the tags at the end) over the playing
// time. DSD audio (WavPack 5) counts bytes of eight one-bit samples, at the header's rate shifted
// left by the first byte of its DSD sub-block. Correction files (.wvc) are not read.
#include "media/wavpack/wavpack.h"

#include <string>

#include "common/text.h"
#include "core/media_reader.h"
#include "media/byte_reader.h"
#include "media/file_reads.h"
#include "media/values/playing_time.h"
#include "media/tags/id3v1.h"
#include "media/tags/id3v2.h"
#include "media/tags/trailing_tags.h"
#include "media/tags/vorbis_comment.h"
#include "media/values/stream_fact_texts.h"
#include "media/values/whole_number.h"

namespace sonavid::media {
namespace {

constexpr std::string_view kMagic = "wvpk";
constexpr size_t kBlockHeaderBytes = 32;
constexpr uint16_t kMinVersion = 0x402;
constexpr uint16_t kMaxVersion = 0x410;
// Block sizes WavPack writes stay far below this; a larger one is damage.
constexpr uint32_t kMaxBlockBytes = 16u * 1024 * 1024;
// Sub-blocks of the first block looked at before its audio.
constexpr int kMaxSubBlocks = 256;
// Blocks walked for the channels of the first segment, and for an unknown total.
constexpr int kMaxSegmentBlocks = 64;
constexpr int kMaxWalkBlocks = 100000;
constexpr uint32_t kUnknownTotal = 0xFFFFFFFFu;
constexpr uint32_t kMaxChannels = 4096;

constexpr uint32_t kFlagBytesStored = 3;
constexpr uint32_t kFlagMono = 4;
constexpr uint32_t kFlagHybrid = 8;
constexpr uint32_t kFlagFloat = 0x80;
constexpr uint32_t kFlagInitialBlock = 0x800;
constexpr uint32_t kFlagDsd = 0x80000000u;
constexpr uint32_t kFlagFinalBlock = 0x1000;
constexpr int kRateShift = 23;
constexpr uint32_t kRateMask = 15;
constexpr uint32_t kCustomRate = 15;
constexpr uint32_t kRates[15] = {6000,  8000,  9600,  11025, 12000, 16000, 22050, 24000,
                                 32000, 44100, 48000, 64000, 88200, 96000, 192000};

constexpr uint8_t kIdUnique = 0x3F;
constexpr uint8_t kIdOddSize = 0x40;
constexpr uint8_t kIdLarge = 0x80;
constexpr uint8_t kIdChannelInfo = 0x0D;
constexpr uint8_t kIdSampleRate = 0x27 & kIdUnique;
constexpr uint8_t kIdWvBitstream = 0x0A;
constexpr uint8_t kIdWvcBitstream = 0x0B;
constexpr uint8_t kIdWvxBitstream = 0x0C;
constexpr uint8_t kIdDsdBlock = 0x0E;
constexpr size_t kMaxChannelInfoBytes = 7;
// DSD rates are at most 2^8 times the header's rate (DSD1024 at 44.1 kHz is 44100 << 8 bytes).
constexpr uint32_t kMaxDsdShift = 8;
constexpr size_t kWideChannelInfoBytes = 6;

struct BlockHeader {
  uint32_t blockBytes = 0;  // the whole block, header included
  uint64_t totalSamples = 0;
  bool totalKnown = false;
  uint32_t blockSamples = 0;
  uint32_t flags = 0;
};

bool parseBlockHeader(std::string_view bytes, BlockHeader& out) {
  ByteReader in(bytes);
  if (in.bytes(4) != kMagic) return false;
  const uint32_t size = in.u32le();
  const uint16_t version = in.u16le();
  in.skip(1);  // high byte of the block index
  const uint8_t totalHigh = in.u8();
  const uint32_t total = in.u32le();
  in.skip(4);  // block index
  out.blockSamples = in.u32le();
  out.flags = in.u32le();
  if (in.failed() || version < kMinVersion || version > kMaxVersion ||
      size < kBlockHeaderBytes - 8 || size > kMaxBlockBytes) {
    return false;
  }
  out.blockBytes = size + 8;
  out.totalKnown = total != kUnknownTotal;
  // WavPack 5 keeps 40 bits: the high byte counts units of 2^32 - 1.
  out.totalSamples = out.totalKnown ? total + (uint64_t{totalHigh} << 32) - totalHigh : 0;
  return true;
}

struct SubBlockValues {
  uint32_t channels = 0;
  uint32_t sampleRate = 0;
  uint32_t dsdShift = 0;  // DSD audio: the rate in bytes is the header's rate << this
};

// The channel-info and sample-rate sub-blocks of the block whose sub-blocks lie between
// `pos` and `end`. They precede the audio bitstream, where the walk stops: only their headers
// and the two wanted sub-blocks are read.
SubBlockValues readSubBlocks(RandomAccessFile& file, uint64_t pos, uint64_t end) {
  SubBlockValues values;
  ReadBuffer storage;
  for (int n = 0; n < kMaxSubBlocks && pos < end && end - pos >= 2; ++n) {
    ByteReader header(viewBlock(file, pos, 4, storage));
    const uint8_t id = header.u8();
    uint32_t words = header.u8();
    size_t headerBytes = 2;
    if ((id & kIdLarge) != 0) {
      words |= (uint32_t{header.u8()} << 8) | (uint32_t{header.u8()} << 16);
      headerBytes = 4;
    }
    const uint64_t length = uint64_t{words} * 2;
    if (header.failed() || length > end - pos - headerBytes) break;
    const uint8_t unique = id & kIdUnique;
    if (unique == kIdDsdBlock && length >= 1) {
      // DSD audio starts with the rate shift (low five bits).
      const uint32_t shift = ByteReader(viewBlock(file, pos + headerBytes, 1, storage)).u8() & 0x1F;
      values.dsdShift = shift <= kMaxDsdShift ? shift : 0;
    }
    if (unique == kIdWvBitstream || unique == kIdWvcBitstream || unique == kIdWvxBitstream ||
        unique == kIdDsdBlock) {
      break;
    }
    const size_t dataBytes = static_cast<size_t>(length) - ((id & kIdOddSize) != 0 && length > 0);
    if (unique == kIdChannelInfo && dataBytes >= 1 && dataBytes <= kMaxChannelInfoBytes &&
        values.channels == 0) {
      // One byte of channels and a mask; from WavPack 5 on, a six- or seven-byte form with 12
      // bits of channels - 1 (the first byte and the low half of the third).
      ByteReader data(viewBlock(file, pos + headerBytes, dataBytes, storage));
      const uint8_t low = data.u8();
      data.skip(1);
      values.channels =
          dataBytes >= kWideChannelInfoBytes ? (low | ((data.u8() & 0x0Fu) << 8)) + 1 : low;
    } else if (unique == kIdSampleRate && (dataBytes == 3 || dataBytes == 4) &&
               values.sampleRate == 0) {
      ByteReader data(viewBlock(file, pos + headerBytes, dataBytes, storage));
      values.sampleRate = data.u8() | (uint32_t{data.u8()} << 8) | (uint32_t{data.u8()} << 16);
      if (dataBytes == 4) values.sampleRate |= uint32_t{data.u8() & 0x7Fu} << 24;
      if (data.failed()) values.sampleRate = 0;
    }
    pos += headerBytes + length;
  }
  return values;
}

}  // namespace

bool probeWavPack(std::string_view head) {
  const uint64_t tagSize = id3v2TagSize(head);
  BlockHeader header;
  return tagSize < head.size() &&
         parseBlockHeader(head.substr(static_cast<size_t>(tagSize)), header);
}

bool readWavPack(RandomAccessFile& file, MediaInfo& info) {
  ReadBuffer storage;
  const uint64_t size = file.size();
  const uint64_t base = id3v2TagSize(viewBlock(file, 0, kId3v2HeaderBytes, storage));
  // The first block is right at the start, or right after the ID3v2 tag.
  const uint64_t first = base;
  BlockHeader header;
  if (!parseBlockHeader(viewBlock(file, first, kBlockHeaderBytes, storage), header)) return false;
  info.type = kTypeWavPack;

  const SubBlockValues values =
      readSubBlocks(file, first + kBlockHeaderBytes, first + header.blockBytes);
  const uint32_t rateIndex = (header.flags >> kRateShift) & kRateMask;
  const uint32_t headerRate = values.sampleRate != 0     ? values.sampleRate
                              : rateIndex != kCustomRate ? kRates[rateIndex]
                                                         : 0;
  // DSD audio counts its samples in bytes (eight one-bit samples per channel): the playing
  // time is samples over the byte rate, the rate shown eight times the byte rate.
  const bool dsd = (header.flags & kFlagDsd) != 0;
  const uint64_t sampleRate = dsd ? uint64_t{headerRate} << values.dsdShift : headerRate;

  // Channels: the channel-info sub-block, else the blocks of the first segment added up. A
  // segment runs from a block marked initial to one marked final; without both ends in reach
  // the count is unknown (0).
  uint32_t channels = values.channels;
  if (channels == 0 && (header.flags & kFlagInitialBlock) != 0) {
    BlockHeader block = header;
    uint64_t pos = first;
    for (int n = 0; n < kMaxSegmentBlocks; ++n) {
      channels += (block.flags & kFlagMono) != 0 ? 1 : 2;
      if ((block.flags & kFlagFinalBlock) != 0) break;
      pos += block.blockBytes;
      if (!parseBlockHeader(viewBlock(file, pos, kBlockHeaderBytes, storage), block) ||
          (block.flags & kFlagInitialBlock) != 0 || n + 1 == kMaxSegmentBlocks) {
        channels = 0;
        break;
      }
    }
  }

  const TrailingTags tags = readTrailingTags(file, size);
  const uint64_t audioEnd = tags.audioEnd;
  uint64_t samples = header.totalSamples;
  // A total that the blocks present could not hold even at a bare header per block (a damaged
  // or cut-off file) counts for no more than an unknown one.
  const bool totalBeyondData = header.totalKnown && header.blockSamples > 0 &&
                               (audioEnd > first ? audioEnd - first : 0) / kBlockHeaderBytes <
                                   header.totalSamples / header.blockSamples;
  if (!header.totalKnown || totalBeyondData) {
    // Walk the blocks: each segment's initial block counts its samples once.
    samples = 0;
    BlockHeader block = header;
    uint64_t pos = first;
    for (int n = 0; n < kMaxWalkBlocks; ++n) {
      if ((block.flags & kFlagInitialBlock) != 0) samples += block.blockSamples;
      pos += block.blockBytes;
      if (pos >= audioEnd ||
          !parseBlockHeader(viewBlock(file, pos, kBlockHeaderBytes, storage), block)) {
        break;
      }
    }
  }

  if (sampleRate > 0 && channels > 0 && channels <= kMaxChannels) {
    info.set("TIME", minutesSecondsText(samples / sampleRate));
    const uint64_t blockBytes = audioEnd > first ? audioEnd - first : 0;
    std::u16string format;
    format.reserve(56);
    format += (header.flags & kFlagHybrid) != 0 ? u"WavPack hybrid, " : u"WavPack lossless, ";
    if (dsd) {
      format += u"1bit, ";
    } else if ((header.flags & kFlagFloat) != 0) {
      format += u"32bit float, ";
    } else {
      appendDecimal(format, ((header.flags & kFlagBytesStored) + 1) * 8);
      format += u"bit, ";
    }
    appendDecimal(format, dsd ? sampleRate * 8 : sampleRate);
    format += u"Hz, ";
    appendDecimal(format, channels);
    format += u"ch, ";
    const uint64_t kbps = kilobitsPerSecond(blockBytes, samples, sampleRate);
    appendDecimal(format, kbps);
    format += u"Kbps";
    info.set("AFMT", std::move(format));
    StreamFacts& facts = info.facts;
    facts.durationMs = factMilliseconds(samples, sampleRate);
    facts.audioCodec = "WavPack";
    facts.audioKbps = factCount(kbps);
    facts.sampleRate = factCount(dsd ? sampleRate * 8 : sampleRate);
    facts.bitsPerSample = dsd ? 1
                          : (header.flags & kFlagFloat) != 0
                              ? 32
                              : ((header.flags & kFlagBytesStored) + 1) * 8;
    facts.channels = channels;
  }

  // Tags: the APE tag's items, each missing one from an ID3v1 tag.
  std::optional<Id3v1Tag> v1;
  if (tags.id3v1) v1 = parseId3v1(*tags.id3v1);
  struct Field {
    std::string_view code;
    std::u16string_view apeKey;
    std::u16string Id3v1Tag::*v1Field;
  };
  static constexpr Field kFields[] = {
      {"INAM", u"Title", &Id3v1Tag::title}, {"IART", u"Artist", &Id3v1Tag::artist},
      {"IPRD", u"Album", &Id3v1Tag::album}, {"ICMT", u"Comment", &Id3v1Tag::comment},
      {"ICRD", u"Year", &Id3v1Tag::year},   {"IGNR", u"Genre", &Id3v1Tag::genre},
      {"TRACK", u"Track", &Id3v1Tag::track}};
  for (const Field& field : kFields) {
    std::u16string value = tags.ape ? tags.ape->value(field.apeKey) : std::u16string();
    if (value.empty() && v1) value = (*v1).*field.v1Field;
    setTagWithAliases(info, field.code, std::move(value));
  }
  if (tags.ape) info.album = apeAlbumFacts(*tags.ape);
  if (v1) info.album.fillFrom(id3v1AlbumFacts(*v1));
  return true;
}

}  // namespace sonavid::media
