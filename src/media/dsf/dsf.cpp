// DSF. The playing time is the sample count over the sampling frequency; the format names the
// DSD rate as a multiple of 44100 Hz (DSD64 is 2822400 Hz; the 48 kHz family as a multiple of
// 48000 Hz), and the bitrate is frequency x channels (one bit per sample and channel). The
// ID3v2 tag at the metadata offset gives the plain tag codes. The sample count is bounded by
// what the data chunk present can hold (one bit per sample and channel, or eight when the
// file says so), and a format outside the format's own range (1 to 6 channels, 1 or 8 bits,
// a 4096-byte block per channel) gives no values.
#include "media/dsf/dsf.h"

#include <algorithm>
#include <string>

#include "common/text.h"
#include "core/media_reader.h"
#include "media/byte_reader.h"
#include "media/file_reads.h"
#include "media/values/playing_time.h"
#include "media/tags/id3v2.h"
#include "media/tags/id3v2_plain.h"
#include "media/tags/vorbis_comment.h"
#include "media/values/stream_fact_texts.h"

namespace sonavid::media {
namespace {

constexpr std::string_view kMagic = "DSD ";
constexpr size_t kDsdChunkBytes = 28;
constexpr size_t kFmtChunkBytes = 52;
constexpr uint32_t kMaxChannels = 6;
constexpr uint32_t kBlockBytesPerChannel = 4096;
constexpr size_t kDataChunkHeaderBytes = 12;
constexpr uint32_t kDsdBaseRate = 44100;
constexpr uint32_t kDsdBaseRate48 = 48000;
// One DSD rate step is 64 times the base rate; anything not a multiple of it is named "DSD".
constexpr uint32_t kSmallestMultiple = 64;

}  // namespace

bool probeDsf(std::string_view head) { return head.substr(0, kMagic.size()) == kMagic; }

bool readDsf(RandomAccessFile& file, MediaInfo& info) {
  ReadBuffer storage;
  ByteReader dsd(viewBlock(file, 0, kDsdChunkBytes, storage));
  if (dsd.bytes(4) != kMagic) return false;
  const uint64_t dsdBytes = dsd.u64le();
  dsd.skip(8);  // the file's size
  const uint64_t metadata = dsd.u64le();
  if (dsd.failed() || dsdBytes < kDsdChunkBytes || dsdBytes > file.size()) return false;
  info.type = kTypeDsf;

  ByteReader fmt(viewBlock(file, dsdBytes, kFmtChunkBytes, storage));
  const bool isFmt = fmt.bytes(4) == "fmt ";
  const uint64_t fmtBytes = fmt.u64le();
  fmt.skip(4 + 4 + 4);  // format version, format id, channel type
  const uint32_t channels = fmt.u32le();
  const uint32_t rate = fmt.u32le();
  const uint32_t bits = fmt.u32le();
  uint64_t samples = fmt.u64le();
  const uint32_t blockBytes = fmt.u32le();
  const bool validFormat = isFmt && fmt.ok() && rate > 0 && channels > 0 &&
                           channels <= kMaxChannels && (bits == 1 || bits == 8) &&
                           blockBytes == kBlockBytesPerChannel;
  if (validFormat) {
    // The data chunk follows: its size (header included), cut to the bytes present.
    const uint64_t dataAt = fmtBytes <= file.size() - dsdBytes ? dsdBytes + fmtBytes : file.size();
    ByteReader data(viewBlock(file, dataAt, kDataChunkHeaderBytes, storage));
    const bool isData = data.bytes(4) == "data";
    const uint64_t dataChunkBytes = data.u64le();
    uint64_t audioBytes = 0;
    if (isData && data.ok() && dataChunkBytes >= kDataChunkHeaderBytes) {
      const uint64_t present = file.size() - dataAt - kDataChunkHeaderBytes;
      audioBytes = std::min(dataChunkBytes - kDataChunkHeaderBytes, present);
    }
    samples = std::min(samples, audioBytes / channels * (8 / bits));
    info.set("TIME", minutesSecondsText(samples / rate));
    std::u16string format;
    format.reserve(48);
    format += u"DSD";
    if (rate % (kDsdBaseRate * kSmallestMultiple) == 0) {
      appendDecimal(format, rate / kDsdBaseRate);
    } else if (rate % (kDsdBaseRate48 * kSmallestMultiple) == 0) {
      appendDecimal(format, rate / kDsdBaseRate48);
    }
    format += u", ";
    appendDecimal(format, bits);
    format += u"bit, ";
    appendDecimal(format, rate);
    format += u"Hz, ";
    appendDecimal(format, channels);
    format += u"ch, ";
    appendDecimal(format, uint64_t{rate} * channels / 1000);
    format += u"Kbps";
    info.set("AFMT", std::move(format));
    StreamFacts& facts = info.facts;
    facts.durationMs = factMilliseconds(samples, rate);
    facts.audioCodec = "DSD";
    facts.audioKbps = static_cast<uint32_t>(uint64_t{rate} * channels / 1000);
    facts.sampleRate = rate;
    facts.bitsPerSample = bits;
    facts.channels = channels;
  }

  Id3v2Tag tag;
  if (metadata != 0 && metadata < file.size()) {
    const uint64_t tagSize = id3v2TagSize(viewBlock(file, metadata, kId3v2HeaderBytes, storage));
    if (tagSize != 0) {
      tag = parseId3v2(viewBlock(
          file, metadata, static_cast<size_t>(tagSize < kMaxBlockBytes ? tagSize : kMaxBlockBytes),
          storage));
    }
  }
  for (std::string_view code : {"INAM", "IART", "IPRD", "ICMT", "ICRD", "IGNR", "TRACK"}) {
    setTagWithAliases(info, code, id3v2PlainValue(tag, code));
  }
  info.album = id3v2AlbumFacts(tag);
  return true;
}

}  // namespace sonavid::media
