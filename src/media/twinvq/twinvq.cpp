// TwinVQ (VQF). "TWIN", an eight-character version ("97012000", or "00052200" for files of
// the later encoder), then the header's length (big-endian, counted from offset 12) and its
// chunks: a four-character id, a big-endian length, the data. COMM holds channel mode,
// bitrate in kbit/s and sample rate in kHz; DSIZ the size of the sound data; NAME, AUTH,
// "(c) ", COMT, FILE and ALBM texts. The sound data follows in the DATA chunk.
#include <string>

#include "common/text.h"
#include "core/media_reader.h"
#include "media/byte_reader.h"
#include "media/file_reads.h"
#include "media/formats.h"
#include "media/values/playing_time.h"
#include "media/tags/byte_text.h"
#include "media/values/stream_fact_texts.h"

namespace sonavid::media {

namespace {

constexpr size_t kPreambleBytes = 12;  // "TWIN" and the version
constexpr size_t kMaxHeaderBytes = 1024 * 1024;
constexpr int kMaxChunks = 256;
constexpr uint32_t kMaxRateKhz = 1000;

struct VqfHeader {
  bool later = false;  // "00052200": the later encoder's files
  uint32_t channelMode = 0;
  uint32_t kbps = 0;
  uint32_t rateKhz = 0;
  bool haveComm = false;
  bool haveDataSize = false;
  uint64_t dataSize = 0;
  uint64_t headerEnd = 0;
};

void setText(MediaInfo& info, std::string_view code, std::string_view bytes) {
  info.set(code, trimTrailing(decodeByteText(untilNul(bytes)), true));
}

// The rate in Hz of a rate given in kHz: 11, 22 and 44 stand for the CD family of rates.
uint32_t sampleRateOf(uint32_t rateKhz) {
  switch (rateKhz) {
    case 11:
      return 11025;
    case 22:
      return 22050;
    case 44:
      return 44100;
    default:
      return rateKhz * 1000;
  }
}

}  // namespace

bool probeTwinVq(std::string_view head) { return head.starts_with("TWIN"); }

bool readTwinVq(RandomAccessFile& file, MediaInfo& info) {
  const std::string preamble = readBlock(file, 0, kPreambleBytes + 4);
  ByteReader start(preamble);
  if (start.bytes(4) != "TWIN") return false;
  std::string_view version = start.bytes(8);
  const uint32_t headerLength = start.u32be();
  if (start.failed()) return false;
  for (char c : version) {
    if (c < '0' || c > '9') return false;
  }

  VqfHeader header;
  header.later = version == "00052200";
  const std::string block = readBlock(
      file, kPreambleBytes + 4, headerLength < kMaxHeaderBytes ? headerLength : kMaxHeaderBytes);
  ByteReader chunks(block);
  header.headerEnd = kPreambleBytes + 4;
  for (int n = 0; n < kMaxChunks && chunks.has(8); ++n) {
    std::string_view id = chunks.bytes(4);
    if (id == "DATA") break;
    const uint32_t length = chunks.u32be();
    ByteReader data = chunks.sub(length);
    if (chunks.failed()) break;
    header.headerEnd = kPreambleBytes + 4 + chunks.position();
    if (id == "COMM") {
      header.channelMode = data.u32be();
      header.kbps = data.u32be();
      header.rateKhz = data.u32be();
      header.haveComm = data.ok() && header.rateKhz <= kMaxRateKhz;
    } else if (id == "DSIZ") {
      header.dataSize = data.u32be();
      header.haveDataSize = data.ok();
    } else if (id == "NAME") {
      setText(info, "INAM", data.rest());
    } else if (id == "AUTH") {
      setText(info, "IART", data.rest());
    } else if (id == "(c) ") {
      setText(info, "ICOP", data.rest());
    } else if (id == "COMT") {
      setText(info, "ICMT", data.rest());
    } else if (id == "FILE") {
      setText(info, "FILE", data.rest());
    } else if (id == "ALBM") {
      setText(info, "IPRD", data.rest());
    }
  }

  info.type = kTypeVqf;
  if (!header.haveComm) return true;
  // Without a DSIZ chunk the sound data is what follows the header and the DATA chunk id.
  uint64_t dataSize = header.dataSize;
  if (!header.haveDataSize) {
    const uint64_t dataStart = header.headerEnd + 8;
    dataSize = file.size() > dataStart ? file.size() - dataStart : 0;
  }
  const uint64_t seconds = header.kbps > 0 ? dataSize * 8 / (uint64_t{header.kbps} * 1000) : 0;
  info.set("TIME", minutesSecondsText(seconds));
  std::u16string format;
  format.reserve(40);
  format += header.later ? u"TwinVQ v2+, " : u"TwinVQ v2, ";
  appendDecimal(format, header.rateKhz);
  format += u"kHz, ";
  appendDecimal(format, header.kbps);
  format += u"kbps, ";
  format += header.channelMode ? u"Stereo" : u"Mono";
  info.set("AFMT", std::move(format));
  StreamFacts& facts = info.facts;
  facts.durationMs = factMilliseconds(dataSize * 8, uint64_t{header.kbps} * 1000);
  facts.audioCodec = "TwinVQ";
  facts.audioKbps = header.kbps;
  facts.sampleRate = sampleRateOf(header.rateKhz);
  facts.channels = header.channelMode ? 2 : 1;
  return true;
}

}  // namespace sonavid::media
