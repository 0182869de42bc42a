// ASF (WMA, WMV). The file starts with the Header object: GUID, 64-bit size, object count and
// two reserved bytes, then the header objects, each a GUID and a 64-bit size that includes
// its own 24-byte header. The Header Extension object nests further objects (Metadata,
// Metadata Library) after its own 22-byte prefix. All integers are little-endian.
#include <cstdio>
#include <cstring>
#include <string>

#include "common/text.h"
#include "core/media_reader.h"
#include "media/byte_reader.h"
#include "media/file_reads.h"
#include "media/formats.h"
#include "media/riff/video_codecs.h"
#include "media/riff/wave_format.h"
#include "media/values/playing_time.h"
#include "media/tags/asf_content.h"

namespace sonavid::media {

namespace {

using Guid = uint8_t[16];

// GUIDs as they are stored (first three fields little-endian).
constexpr Guid kHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kFileProperties = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                  0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kStreamProperties = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                    0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kCodecList = {0x40, 0x52, 0xD1, 0x86, 0x1D, 0x31, 0xD0, 0x11,
                             0xA3, 0xA4, 0x00, 0xA0, 0xC9, 0x03, 0x48, 0xF6};
constexpr Guid kContentDescription = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                      0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kExtendedContentDescription = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                              0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
constexpr Guid kHeaderExtension = {0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11,
                                   0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kMetadata = {0xEA, 0xCB, 0xF8, 0xC5, 0xAF, 0x5B, 0x77, 0x48,
                            0x84, 0x67, 0xAA, 0x8C, 0x44, 0xFA, 0x4C, 0xCA};
constexpr Guid kMetadataLibrary = {0x94, 0x1C, 0x23, 0x44, 0x98, 0x94, 0xD1, 0x49,
                                   0xA1, 0x41, 0x1D, 0x13, 0x4E, 0x45, 0x70, 0x54};
constexpr Guid kExtendedStreamProperties = {0xCB, 0xA5, 0xE6, 0x14, 0x72, 0xC6, 0x32, 0x43,
                                            0x83, 0x99, 0xA9, 0x69, 0x52, 0x06, 0x5B, 0x5A};
constexpr Guid kAudioMedia = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                              0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
constexpr Guid kVideoMedia = {0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11,
                              0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

// Most objects walked in one file, nested ones included.
constexpr int kMaxAsfObjects = 1024;
// Most codec list entries looked at.
constexpr uint32_t kMaxCodecEntries = 256;
constexpr size_t kObjectHeaderBytes = 24;
constexpr size_t kHeaderObjectBytes = 30;
// The Data object's GUID, size, file ID, packet count and reserved word.
constexpr uint64_t kDataObjectHeaderBytes = 50;

// Codec list entry types.
constexpr uint16_t kCodecVideo = 1;
constexpr uint16_t kCodecAudio = 2;

bool isGuid(std::string_view bytes, const Guid& guid) {
  return bytes.size() == 16 && std::memcmp(bytes.data(), guid, 16) == 0;
}

std::u16string ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::u16string trimmedText(std::u16string text) {
  while (!text.empty() && (text.back() == u' ' || text.back() == 0)) text.pop_back();
  return text;
}

struct AudioStream {
  uint16_t codec = 0;
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint32_t bytesPerSecond = 0;
  uint16_t bitsPerSample = 0;
};

struct VideoStream {
  uint32_t width = 0;
  uint32_t height = 0;
  uint16_t bitCount = 0;
  std::string fourcc;
};

struct AsfState {
  int objects = 0;
  bool haveFileProperties = false;
  uint64_t playDuration = 0;  // 100 ns units
  uint64_t prerollMs = 0;
  uint64_t dataBytes = 0;  // the data packets' bytes, when the packets have one size
  bool haveAudio = false, haveVideo = false;
  AudioStream audio;
  VideoStream video;
  std::u16string codecAudio, codecVideo;
  bool codecListVideo = false;
  AsfContent content;
};

void readFileProperties(ByteReader body, AsfState& state) {
  // File ID, file size, creation date, data packet count, the durations, flags (1: a
  // broadcast, whose counts are not known), the least and the largest packet size.
  body.skip(16 + 8 + 8);
  const uint64_t packets = body.u64le();
  const uint64_t playDuration = body.u64le();
  body.skip(8);  // send duration
  const uint64_t preroll = body.u64le();
  if (body.failed()) return;
  state.haveFileProperties = true;
  state.playDuration = playDuration;
  state.prerollMs = preroll;
  const uint32_t flags = body.u32le();
  const uint32_t leastPacket = body.u32le();
  const uint32_t largestPacket = body.u32le();
  if (body.ok() && (flags & 1) == 0 && leastPacket == largestPacket && leastPacket != 0 &&
      packets <= UINT64_MAX / leastPacket) {
    state.dataBytes = packets * leastPacket;
  }
}

void readStreamProperties(ByteReader body, AsfState& state) {
  std::string_view streamType = body.bytes(16);
  body.skip(16 + 8);  // error correction type, time offset
  const uint32_t typeDataLength = body.u32le();
  body.skip(4 + 2 + 4);  // error correction data length, flags, reserved
  ByteReader typeData = body.sub(typeDataLength);
  if (body.failed()) return;
  if (isGuid(streamType, kAudioMedia) && !state.haveAudio) {
    // WAVEFORMATEX: codec, channels, sample rate, average bytes per second, ...
    AudioStream audio;
    audio.codec = typeData.u16le();
    audio.channels = typeData.u16le();
    audio.sampleRate = typeData.u32le();
    audio.bytesPerSecond = typeData.u32le();
    if (typeData.failed()) return;
    typeData.skip(2);  // block align
    audio.bitsPerSample = typeData.u16le();
    state.haveAudio = true;
    state.audio = audio;
  } else if (isGuid(streamType, kVideoMedia) && !state.haveVideo) {
    // Encoded width and height, a flag byte, the format data size, then BITMAPINFOHEADER:
    // size, width, height, planes, bit count, compression.
    VideoStream video;
    video.width = typeData.u32le();
    video.height = typeData.u32le();
    typeData.skip(1 + 2 + 4 + 4 + 4 + 2);
    video.bitCount = typeData.u16le();
    std::string_view fourcc = typeData.bytes(4);
    state.haveVideo = true;  // a video stream, even when its format data is cut short
    if (typeData.failed()) {
      video.bitCount = 0;
      fourcc = {};
    }
    for (char c : fourcc) {
      if (c >= 0x20 && c < 0x7F) video.fourcc.push_back(c);
    }
    state.video = video;
  }
}

void readCodecList(ByteReader body, AsfState& state) {
  body.skip(16);  // reserved GUID
  const uint32_t count = body.u32le();
  for (uint32_t i = 0; i < count && i < kMaxCodecEntries && body.ok(); ++i) {
    // Type, then name and description as counted UTF-16 texts, then counted info bytes.
    const uint16_t type = body.u16le();
    const uint16_t nameChars = body.u16le();
    std::string_view name = body.bytes(size_t{nameChars} * 2);
    const uint16_t descriptionChars = body.u16le();
    std::string_view description = body.bytes(size_t{descriptionChars} * 2);
    const uint16_t infoBytes = body.u16le();
    body.skip(infoBytes);
    if (body.failed()) break;
    std::u16string text = trimmedText(decodeUtf16Le(name));
    const std::u16string detail = trimmedText(decodeUtf16Le(description));
    if (!detail.empty()) text += u" (" + detail + u")";
    if (type == kCodecAudio && state.codecAudio.empty()) state.codecAudio = text;
    if (type == kCodecVideo) {
      state.codecListVideo = true;
      if (state.codecVideo.empty()) state.codecVideo = text;
    }
  }
}

void walkObjects(ByteReader objects, uint32_t declaredCount, AsfState& state, int depth);

// Extended Stream Properties (in the Header Extension): fixed fields, stream names and
// payload extension systems, then possibly the stream's Stream Properties object.
void readExtendedStreamProperties(ByteReader body, AsfState& state, int depth) {
  body.skip(8 + 8 + 4 * 8 + 2 + 2 + 8);
  const uint16_t nameCount = body.u16le();
  const uint16_t extensionCount = body.u16le();
  for (uint16_t i = 0; i < nameCount && body.ok(); ++i) {
    body.skip(2);  // language index
    body.skip(body.u16le());
  }
  for (uint16_t i = 0; i < extensionCount && body.ok(); ++i) {
    body.skip(16 + 2);  // extension system GUID, data size
    body.skip(body.u32le());
  }
  if (body.ok()) walkObjects(ByteReader(body.rest()), 1, state, depth + 1);
}

void readHeaderExtension(ByteReader body, AsfState& state, int depth) {
  body.skip(16 + 2);  // reserved GUID and reserved word
  const uint32_t dataSize = body.u32le();
  ByteReader data = body.sub(dataSize);
  if (body.failed()) {
    // A size larger than the object: walk what is there.
    data = ByteReader(body.rest());
  }
  walkObjects(data, UINT32_MAX, state, depth + 1);
}

void walkObjects(ByteReader objects, uint32_t declaredCount, AsfState& state, int depth) {
  for (uint32_t i = 0; i < declaredCount && objects.has(kObjectHeaderBytes); ++i) {
    if (++state.objects > kMaxAsfObjects) return;
    std::string_view guid = objects.bytes(16);
    const uint64_t size = objects.u64le();
    if (size < kObjectHeaderBytes || size - kObjectHeaderBytes > objects.remaining()) {
      // A damaged size: nothing after this object can be located.
      return;
    }
    ByteReader body = objects.sub(static_cast<size_t>(size - kObjectHeaderBytes));
    if (isGuid(guid, kFileProperties)) {
      readFileProperties(body, state);
    } else if (isGuid(guid, kStreamProperties)) {
      readStreamProperties(body, state);
    } else if (isGuid(guid, kCodecList)) {
      readCodecList(body, state);
    } else if (isGuid(guid, kContentDescription)) {
      state.content.readContentDescription(body);
    } else if (isGuid(guid, kExtendedContentDescription)) {
      state.content.readExtendedContentDescription(body);
    } else if (isGuid(guid, kMetadata) || isGuid(guid, kMetadataLibrary)) {
      state.content.readMetadata(body);
    } else if (isGuid(guid, kHeaderExtension) && depth == 0) {
      readHeaderExtension(body, state, depth);
    } else if (isGuid(guid, kExtendedStreamProperties) && depth == 1) {
      readExtendedStreamProperties(body, state, depth);
    }
  }
}

std::u16string audioCodecName(uint16_t codec) {
  switch (codec) {
    case 0x0160:
      return u"WMA v1";
    case 0x0161:
      return u"WMA v2";
    case 0x0162:
      return u"WMA Pro";
    case 0x0163:
      return u"WMA Lossless";
    case 0x000A:
      return u"WMA Voice";
    case 0x0001:
      return u"PCM";
    case 0x0055:
      return u"MP3";
    default: {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%04X", codec);
      return ascii(hex);
    }
  }
}

std::u16string audioFormat(const AsfState& state) {
  if (!state.codecAudio.empty()) return state.codecAudio;
  if (!state.haveAudio) return u"N/A";
  const AudioStream& a = state.audio;
  const unsigned kbps = static_cast<unsigned>((uint64_t{a.bytesPerSecond} * 8 + 500) / 1000);
  std::u16string text;
  text.reserve(64);
  text += audioCodecName(a.codec);
  text += u", ";
  appendDecimal(text, a.sampleRate);
  text += u"Hz, ";
  appendDecimal(text, a.channels);
  text += u"ch, ";
  appendDecimal(text, kbps);
  text += u"Kbps";
  return text;
}

std::u16string videoFormat(const AsfState& state) {
  if (!state.codecVideo.empty()) return state.codecVideo;
  if (!state.haveVideo) return state.codecListVideo ? u"" : u"N/A";
  const VideoStream& v = state.video;
  char text[96];
  std::snprintf(text, sizeof text, "%s, %ux%u, %uBitColor",
                v.fourcc.empty() ? "Unknown" : v.fourcc.c_str(), v.width, v.height, v.bitCount);
  return ascii(text);
}

// The first audio and video stream's properties. The length is the one TIME shows.
void addStreamFacts(const AsfState& state, StreamFacts& facts) {
  if (state.haveAudio) {
    WaveFormat format;
    format.tag = state.audio.codec;
    format.channels = state.audio.channels;
    format.sampleRate = state.audio.sampleRate;
    format.avgBytesPerSecond = state.audio.bytesPerSecond;
    format.bitsPerSample = state.audio.bitsPerSample;
    addWaveFormatFacts(format, facts);
  }
  if (state.haveVideo) {
    facts.videoCodec = videoCodecFormat(state.video.fourcc);
    facts.width = state.video.width;
    facts.height = state.video.height;
  }
}

}  // namespace

bool probeAsf(std::string_view head) {
  return head.size() >= sizeof kHeaderObject &&
         std::memcmp(head.data(), kHeaderObject, sizeof kHeaderObject) == 0;
}

bool readAsf(RandomAccessFile& file, MediaInfo& info) {
  ReadBuffer headStorage, bodyStorage;
  ByteReader prefix(viewBlock(file, 0, kHeaderObjectBytes, headStorage));
  if (!isGuid(prefix.bytes(16), kHeaderObject)) return false;
  const uint64_t headerSize = prefix.u64le();
  const uint32_t objectCount = prefix.u32le();
  if (prefix.failed() || headerSize < kHeaderObjectBytes) return false;

  // The whole header object, or as much of it as the block cap and the file allow.
  const uint64_t bodySize = headerSize - kHeaderObjectBytes;
  const std::string_view body = viewBlock(
      file, kHeaderObjectBytes,
      static_cast<size_t>(bodySize > kMaxBlockBytes ? kMaxBlockBytes : bodySize), bodyStorage);
  AsfState state;
  walkObjects(ByteReader(body), objectCount, state, 0);

  info.type = kTypeWma;
  if (state.haveFileProperties) {
    const uint64_t prerollUnits =
        state.prerollMs > UINT64_MAX / 10000 ? UINT64_MAX : state.prerollMs * 10000;
    uint64_t units = state.playDuration > prerollUnits ? state.playDuration - prerollUnits : 0;
    // A cut-off file holds only part of the data packets its header counts: it lasts that
    // share of the length. The packets follow the header and the Data object's 50-byte header.
    const uint64_t dataStart = headerSize + kDataObjectHeaderBytes;
    const uint64_t held = file.size() > dataStart ? file.size() - dataStart : 0;
    if (held < state.dataBytes) {
      units = static_cast<uint64_t>(static_cast<double>(units) *
                                    (static_cast<double>(held) / state.dataBytes));
    }
    info.set("TIME", hoursMinutesSecondsText(units / 10000000));
    info.facts.durationMs = static_cast<int64_t>(units / 10000);
  }
  info.set("AFMT", audioFormat(state));
  info.set("VFMT", videoFormat(state));
  addStreamFacts(state, info.facts);
  state.content.fill(info);
  return true;
}

}  // namespace sonavid::media
