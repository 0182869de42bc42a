// AIFF and AIFF-C. The chunks are walked with a positioned read of each header (the header
// chunks are within the head; an ID3 chunk after the sound data is usually within the tail).
// The playing time is COMM's sample frames over its rate, bounded by the frames the sound data
// present can hold where its layout tells (a file cut short). The bitrate of uncompressed data is
// rate x bits x channels; of compressed data (AIFF-C other than the PCM and float types), the
// sound data's bytes over the playing time. Texts are UTF-8 when they are valid multi-byte
// UTF-8, else Latin-1 (the chunks are ASCII by the standard; writers put either there).
#include "media/aiff/aiff.h"

#include <cmath>
#include <optional>
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
#include "media/values/whole_number.h"

namespace sonavid::media {
namespace {

constexpr size_t kFormHeaderBytes = 12;
constexpr size_t kChunkHeaderBytes = 8;
// Chunks looked at before the rest is ignored.
constexpr int kMaxChunks = 4096;
// COMM of AIFF-C: 18 bytes, the compression type (4) and its name (a Pascal string).
constexpr size_t kCommReadBytes = 18 + 4;
constexpr size_t kSsndHeaderBytes = 8;
// Longest text chunk read; a longer one is cut.
constexpr size_t kMaxTextBytes = 64 * 1024;
constexpr uint32_t kMaxChannels = 64;
// An extended-precision rate: exponent bias, and the exponents of rates from 1 to 2^32 Hz.
constexpr int kExtendedBias = 16383;
constexpr int kMaxRateExponent = 32;

// AIFF-C types whose data is uncompressed integer or float samples.
constexpr std::string_view kUncompressedTypes[] = {"NONE", "sowt", "twos", "raw ", "in24", "42ni",
                                                   "in32", "23ni", "fl32", "FL32", "fl64", "FL64"};

// AIFF-C types whose COMM counts packets of several sample frames rather than sample frames:
// QuickTime's IMA ADPCM packs 64 frames per channel into each 34-byte packet.
struct PacketType {
  std::string_view type;
  uint32_t framesPerPacket;
  uint32_t bytesPerPacket;  // per channel
};
constexpr PacketType kPacketTypes[] = {{"ima4", 64, 34}};

bool isFourCc(std::string_view id) {
  if (id.size() != 4) return false;
  for (char c : id) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

// An 80-bit IEEE extended number (sign, 15-bit exponent, 64-bit mantissa with its integer
// bit); 0 for a negative, tiny or huge one.
double extendedRate(ByteReader& in) {
  const uint16_t signAndExponent = in.u16be();
  const uint64_t mantissa = in.u64be();
  if ((signAndExponent & 0x8000) != 0 || mantissa == 0) return 0;
  const int exponent = (signAndExponent & 0x7FFF) - kExtendedBias;
  if (exponent < 0 || exponent > kMaxRateExponent) return 0;
  return std::ldexp(static_cast<double>(mantissa), exponent - 63);
}

std::u16string latin1OrUtf8(std::string_view bytes) {
  if (isMultiByteUtf8(bytes)) return utf8ToUtf16(bytes);
  std::u16string text;
  text.reserve(bytes.size());
  for (char c : bytes) text.push_back(static_cast<char16_t>(static_cast<uint8_t>(c)));
  return text;
}

// A text chunk's text: up to a NUL, without trailing spaces.
std::u16string chunkText(std::string_view bytes) {
  const size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
  while (!bytes.empty() && bytes.back() == ' ') bytes.remove_suffix(1);
  return latin1OrUtf8(bytes);
}

// The first comment of a COMT chunk.
std::u16string firstComment(std::string_view bytes) {
  ByteReader in(bytes);
  const uint16_t count = in.u16be();
  in.skip(4 + 2);  // time stamp, marker id
  const uint16_t length = in.u16be();
  if (in.failed() || count == 0) return {};
  return chunkText(in.rest().substr(0, length));
}

struct Comm {
  uint32_t channels = 0;
  uint32_t frames = 0;
  uint32_t bits = 0;
  double rate = 0;
  std::string compression;  // AIFF-C only
};

std::optional<Comm> parseComm(std::string_view bytes, bool compressed) {
  ByteReader in(bytes);
  Comm comm;
  comm.channels = in.u16be();
  comm.frames = in.u32be();
  comm.bits = in.u16be();
  comm.rate = extendedRate(in);
  if (compressed) comm.compression = std::string(in.bytes(4));
  if (in.failed() || comm.channels == 0 || comm.channels > kMaxChannels || !(comm.rate > 0)) {
    return std::nullopt;
  }
  return comm;
}

// The compression type as shown: printable ASCII, trailing spaces trimmed.
std::u16string compressionName(std::string_view type) {
  std::u16string name;
  for (char c : type) name.push_back(c >= 0x20 && c <= 0x7E ? static_cast<char16_t>(c) : u'?');
  while (!name.empty() && name.back() == u' ') name.pop_back();
  return name;
}

// The common short name of a compressed AIFF-C type's codec; empty for one without a name.
std::string_view compressedCodecName(std::string_view type) {
  constexpr std::string_view kAdpcmTypes[] = {"ima4", "ulaw", "ULAW", "alaw", "ALAW"};
  for (std::string_view adpcm : kAdpcmTypes) {
    if (type == adpcm) return "ADPCM";
  }
  return {};
}

uint32_t framesPerCount(std::string_view type) {
  for (const PacketType& packet : kPacketTypes) {
    if (type == packet.type) return packet.framesPerPacket;
  }
  return 1;
}

bool isUncompressed(std::string_view type) {
  for (std::string_view known : kUncompressedTypes) {
    if (type == known) return true;
  }
  return false;
}

// Sample frames that `soundBytes` of sound data can hold: uncompressed frames of whole bytes
// per sample, or whole packets of a known size. Nothing for other compressed types.
std::optional<double> framesHeld(const Comm& comm, bool compressed, uint64_t soundBytes) {
  if (!compressed || isUncompressed(comm.compression)) {
    const uint64_t frameBytes = uint64_t{(comm.bits + 7) / 8} * comm.channels;
    if (frameBytes == 0) return std::nullopt;
    return static_cast<double>(soundBytes / frameBytes);
  }
  for (const PacketType& packet : kPacketTypes) {
    if (comm.compression == packet.type) {
      const uint64_t packets = soundBytes / (uint64_t{packet.bytesPerPacket} * comm.channels);
      return static_cast<double>(packets) * packet.framesPerPacket;
    }
  }
  return std::nullopt;
}

}  // namespace

bool probeAiff(std::string_view head) {
  return head.size() >= kFormHeaderBytes && head.substr(0, 4) == "FORM" &&
         (head.substr(8, 4) == "AIFF" || head.substr(8, 4) == "AIFC");
}

bool readAiff(RandomAccessFile& file, MediaInfo& info) {
  ReadBuffer storage;
  const std::string_view form = viewBlock(file, 0, kFormHeaderBytes, storage);
  if (!probeAiff(form)) return false;
  const bool compressed = form.substr(8, 4) == "AIFC";
  info.type = kTypeAiff;

  // The chunks are walked to the end of the file, not of the declared size: an ID3 chunk is
  // sometimes appended after it.
  const uint64_t size = file.size();
  std::optional<Comm> comm;
  uint64_t soundBytes = 0;
  bool haveSound = false;
  std::u16string name, author, copyright, annotation, comment;
  std::optional<Id3v2Tag> id3;
  uint64_t pos = kFormHeaderBytes;
  for (int n = 0; n < kMaxChunks && pos < size && size - pos >= kChunkHeaderBytes; ++n) {
    ByteReader header(viewBlock(file, pos, kChunkHeaderBytes, storage));
    const std::string id(header.bytes(4));
    const uint32_t declared = header.u32be();
    if (header.failed() || !isFourCc(id)) break;
    const uint64_t body = pos + kChunkHeaderBytes;
    const uint64_t length = declared < size - body ? declared : size - body;
    const size_t textBytes = static_cast<size_t>(length < kMaxTextBytes ? length : kMaxTextBytes);
    if (id == "COMM" && !comm) {
      comm = parseComm(
          viewBlock(file, body,
                    static_cast<size_t>(length < kCommReadBytes ? length : kCommReadBytes),
                    storage),
          compressed);
    } else if (id == "SSND") {
      soundBytes = length > kSsndHeaderBytes ? length - kSsndHeaderBytes : 0;
      haveSound = true;
    } else if (id == "NAME" && name.empty()) {
      name = chunkText(viewBlock(file, body, textBytes, storage));
    } else if (id == "AUTH" && author.empty()) {
      author = chunkText(viewBlock(file, body, textBytes, storage));
    } else if (id == "(c) " && copyright.empty()) {
      copyright = chunkText(viewBlock(file, body, textBytes, storage));
    } else if (id == "ANNO" && annotation.empty()) {
      annotation = chunkText(viewBlock(file, body, textBytes, storage));
    } else if (id == "COMT" && comment.empty()) {
      comment = firstComment(viewBlock(file, body, textBytes, storage));
    } else if ((id == "ID3 " || id == "id3 ") && !id3) {
      id3 = parseId3v2(viewBlock(file, body, static_cast<size_t>(length), storage));
    }
    // Odd sizes are followed by a pad byte.
    const uint64_t padded = uint64_t{declared} + (declared & 1);
    if (padded >= size - body) break;
    pos = body + padded;
  }

  if (comm) {
    double frames = static_cast<double>(comm->frames) * framesPerCount(comm->compression);
    if (haveSound) {
      if (const auto held = framesHeld(*comm, compressed, soundBytes); held && *held < frames) {
        frames = *held;
      }
    }
    const uint64_t seconds = wholeNumber(frames / comm->rate);
    info.set("TIME", minutesSecondsText(seconds));
    const uint64_t rate = wholeNumber(comm->rate);
    uint64_t kbps = 0;
    if (!compressed || isUncompressed(comm->compression)) {
      kbps = wholeNumber(comm->rate * comm->bits * comm->channels / 1000);
    } else if (frames > 0) {
      kbps = wholeNumber(static_cast<double>(soundBytes) * 8 * comm->rate / frames / 1000);
    }
    std::u16string format;
    format.reserve(48);
    format += compressed ? u"AIFF-C " + compressionName(comm->compression) : u"AIFF PCM";
    format += u", ";
    appendDecimal(format, comm->bits);
    format += u"bit, ";
    appendDecimal(format, rate);
    format += u"Hz, ";
    appendDecimal(format, comm->channels);
    format += u"ch, ";
    appendDecimal(format, kbps);
    format += u"Kbps";
    info.set("AFMT", std::move(format));
    StreamFacts& facts = info.facts;
    facts.durationMs = static_cast<int64_t>(wholeNumber(frames * 1000 / comm->rate));
    const bool pcm = !compressed || isUncompressed(comm->compression);
    facts.audioCodec = pcm ? "PCM" : compressedCodecName(comm->compression);
    facts.audioKbps = factCount(kbps);
    facts.sampleRate = factCount(rate);
    facts.bitsPerSample = pcm ? comm->bits : 0;
    facts.channels = comm->channels;
  }

  // The ID3 chunk's frames win over the text chunks. The comment is the first annotation, or
  // else the first comment of COMT.
  std::u16string note = annotation.empty() ? std::move(comment) : std::move(annotation);
  struct Field {
    std::string_view code;
    std::u16string* chunkValue;
  };
  const Field fields[] = {{"INAM", &name},    {"IART", &author},   {"IPRD", nullptr},
                          {"ICMT", &note},    {"ICRD", nullptr},   {"IGNR", nullptr},
                          {"TRACK", nullptr}, {"ICOP", &copyright}};
  for (const Field& field : fields) {
    std::u16string value = id3 ? id3v2PlainValue(*id3, field.code) : std::u16string();
    if (value.empty() && field.chunkValue != nullptr) value = *field.chunkValue;
    setTagWithAliases(info, field.code, std::move(value));
  }
  if (id3) info.album = id3v2AlbumFacts(*id3);
  return true;
}

}  // namespace sonavid::media
