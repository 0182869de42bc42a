#include "media/mp4/mp4_boxes.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "media/file_reads.h"

namespace sonavid::media {

namespace {

constexpr uint32_t kMaxEditEntries = 4096;
// Sample size tables larger than this are not summed (the length still comes from headers).
constexpr uint32_t kMaxSampleSizeEntries = 4u * 1024 * 1024;
constexpr uint32_t kMaxTimeToSampleEntries = 1024 * 1024;
constexpr int kMaxDescriptors = 16;

struct Box {
  std::string_view type;
  ByteReader body;
};

// The next child box; false at the end or at a damaged size (the rest is not walked).
bool nextBox(ByteReader& parent, Mp4Movie& movie, Box& box) {
  if (!parent.has(8) || ++movie.boxes > kMaxMp4Boxes) return false;
  uint64_t size = parent.u32be();
  box.type = parent.bytes(4);
  uint64_t header = 8;
  if (size == 1) {
    size = parent.u64be();
    header = 16;
  } else if (size == 0) {
    size = header + parent.remaining();
  }
  if (parent.failed() || size < header || size - header > parent.remaining()) return false;
  box.body = parent.sub(static_cast<size_t>(size - header));
  return true;
}

// Version 1 full boxes widen their times to 64 bits.
uint64_t timeField(ByteReader& r, uint8_t version) { return version == 1 ? r.u64be() : r.u32be(); }

void readMovieHeader(ByteReader r, Mp4Movie& movie) {
  const uint8_t version = r.u8();
  r.skip(3);
  timeField(r, version);  // creation
  timeField(r, version);  // modification
  const uint32_t timescale = r.u32be();
  const uint64_t duration = timeField(r, version);
  if (r.failed()) return;
  movie.timescale = timescale;
  movie.duration = duration;
}

void readTrackHeader(ByteReader r, Mp4Track& track) {
  const uint8_t version = r.u8();
  r.skip(3);
  timeField(r, version);
  timeField(r, version);
  const uint32_t id = r.u32be();
  r.skip(4);  // reserved
  const uint64_t duration = timeField(r, version);
  track.id = id;
  // Reserved, layer, group, volume, reserved, matrix, then 16.16 width and height.
  r.skip(8 + 2 + 2 + 2 + 2 + 36);
  const uint32_t width = r.u32be() >> 16;
  const uint32_t height = r.u32be() >> 16;
  track.headerDuration = duration;
  if (r.ok()) {
    track.width = width;
    track.height = height;
  }
}

void readEditList(ByteReader r, Mp4Track& track) {
  const uint8_t version = r.u8();
  r.skip(3);
  const uint32_t count = r.u32be();
  uint64_t total = 0;
  for (uint32_t i = 0; i < count && i < kMaxEditEntries && r.ok(); ++i) {
    const uint64_t segment = timeField(r, version);
    timeField(r, version);  // media time
    r.skip(4);              // rate
    if (r.failed()) break;
    if (UINT64_MAX - total >= segment) total += segment;
  }
  track.editDuration = total;
}

void readMediaHeader(ByteReader r, Mp4Track& track) {
  const uint8_t version = r.u8();
  r.skip(3);
  timeField(r, version);
  timeField(r, version);
  const uint32_t timescale = r.u32be();
  const uint64_t duration = timeField(r, version);
  if (r.failed()) return;
  track.mediaTimescale = timescale;
  track.mediaDuration = duration;
}

void readHandler(ByteReader r, Mp4Track& track) {
  r.skip(4 + 4);  // version and flags, pre-defined
  const std::string_view handler = r.bytes(4);
  if (handler == "soun") track.kind = Mp4Track::Kind::kAudio;
  if (handler == "vide") track.kind = Mp4Track::Kind::kVideo;
}

// Descriptor length: up to four bytes of seven bits each.
uint32_t descriptorLength(ByteReader& r) {
  uint32_t length = 0;
  for (int i = 0; i < 4; ++i) {
    const uint8_t b = r.u8();
    length = (length << 7) | (b & 0x7F);
    if (!(b & 0x80)) break;
  }
  return length;
}

// Elementary stream descriptor: ES_Descriptor (3) holding DecoderConfigDescriptor (4) with
// object type and bitrates, holding DecoderSpecificInfo (5), whose first five bits are the
// AAC audio object type.
void readEsds(ByteReader r, Mp4Track& track) {
  r.skip(4);  // version and flags
  for (int n = 0; n < kMaxDescriptors && r.has(2); ++n) {
    const uint8_t tag = r.u8();
    const uint32_t length = descriptorLength(r);
    if (tag == 3) {
      r.skip(2);  // ES id
      const uint8_t flags = r.u8();
      if (flags & 0x80) r.skip(2);
      if (flags & 0x40) r.skip(r.u8());
      if (flags & 0x20) r.skip(2);
      continue;  // the nested descriptors follow
    }
    ByteReader body = r.sub(length);
    if (r.failed()) return;
    if (tag == 4) {
      track.objectType = body.u8();
      body.skip(1 + 3 + 4);  // stream type, buffer size, maximum bitrate
      track.averageBitrate = body.u32be();
      r = ByteReader(body.rest());  // the decoder specific info nests inside
    } else if (tag == 5) {
      // AudioSpecificConfig: 5 bits object type (31: 6 more bits follow), 4 bits rate index
      // (15: a 24-bit rate follows), 4 bits channel configuration.
      uint64_t window = 0;
      int bitsLeft = 0;
      for (; bitsLeft < 48 && body.has(1); bitsLeft += 8) window = window << 8 | body.u8();
      if (bitsLeft == 0) return;
      const auto take = [&](int count) -> uint32_t {
        if (count > bitsLeft) {
          bitsLeft = 0;
          return 0;
        }
        bitsLeft -= count;
        return static_cast<uint32_t>(window >> bitsLeft) & ((1u << count) - 1);
      };
      uint32_t objectType = take(5);
      if (objectType == 31) objectType = 32 + take(6);  // escape: extended object types
      track.audioObjectType = static_cast<uint8_t>(objectType);
      if (take(4) == 15) take(24);
      track.channelConfiguration = static_cast<uint8_t>(take(4));
      return;
    }
  }
}

// The sample rate in the codec's own configuration, which holds rates above the 65535 Hz the
// sample entry's 16-bit field can: "alac" (ALACSpecificConfig: the rate is its last field),
// "dfLa" (FLAC's STREAMINFO block: a 20-bit rate after the block and frame sizes), "dOps"
// (Opus: the input rate; only when the entry gives none, as Opus decodes at 48 kHz).
void readCodecSampleRate(const Box& box, Mp4Track& track) {
  ByteReader r = box.body;
  uint32_t rate = 0;
  uint8_t bits = 0;
  if (box.type == "alac") {
    r.skip(4 + 4 + 1);  // version and flags, frame length, compatible version
    bits = r.u8();
    r.skip(14);  // tuning, channels, maximum run, maximum frame bytes, average bitrate
    rate = r.u32be();
  } else if (box.type == "dfLa") {
    r.skip(4);  // version and flags
    const uint8_t blockType = r.u8() & 0x7F;
    r.skip(3 + 10);  // block length; block and frame sizes
    // 20 bits rate, 3 bits channels - 1, 5 bits depth - 1, ...
    const uint32_t packed = r.u32be();
    rate = blockType == 0 ? packed >> 12 : 0;
    bits = blockType == 0 ? ((packed >> 4) & 31) + 1 : 0;
  } else if (box.type == "dOps" && track.sampleRate == 0) {
    r.skip(1 + 1 + 2);  // version, output channels, pre-skip
    rate = r.u32be();
  }
  if (r.ok() && rate != 0) track.sampleRate = rate;
  if (r.ok() && bits != 0) track.bitsPerSample = bits;
}

void readAudioEntry(ByteReader r, Mp4Track& track, Mp4Movie& movie) {
  r.skip(6 + 2);  // reserved, data reference index
  const uint16_t version = r.u16be();
  r.skip(2 + 4);  // revision, vendor
  track.channels = r.u16be();
  track.bitsPerSample = r.u16be();
  r.skip(2 + 2);  // compression id, packet size
  track.sampleRate = r.u32be() >> 16;
  // QuickTime sound descriptions of versions 1 and 2 carry more fields before the children.
  if (version == 1) r.skip(16);
  if (version == 2) {
    // Version 2 keeps its rate, channels and bits per channel here, and fixed values above:
    // struct size, rate as a 64-bit float, channels, a constant, bits per channel, flags,
    // bytes per packet, frames per packet.
    r.skip(4);
    uint64_t rateBits = r.u64be();
    double rate = 0;
    std::memcpy(&rate, &rateBits, sizeof rate);
    const uint32_t channels = r.u32be();
    r.skip(4);
    const uint32_t bits = r.u32be();
    r.skip(4 + 4 + 4);
    if (r.ok() && rate >= 1 && rate < UINT32_MAX && channels > 0 && channels <= UINT16_MAX) {
      track.sampleRate = static_cast<uint32_t>(rate + 0.5);
      track.channels = static_cast<uint16_t>(channels);
      track.bitsPerSample = bits;
    }
  }
  Box box;
  while (nextBox(r, movie, box)) {
    if (box.type == "esds") readEsds(box.body, track);
    readCodecSampleRate(box, track);
    if (box.type == "wave") {
      // QuickTime wraps the esds (and an ALAC configuration) in a "wave" box.
      Box inner;
      while (nextBox(box.body, movie, inner)) {
        if (inner.type == "esds") readEsds(inner.body, track);
        readCodecSampleRate(inner, track);
      }
    }
  }
}

void readVideoEntry(ByteReader r, Mp4Track& track, Mp4Movie& movie) {
  r.skip(6 + 2 + 16);  // reserved, data reference index, pre-defined and reserved
  const uint16_t width = r.u16be();
  const uint16_t height = r.u16be();
  r.skip(4 + 4 + 4 + 2 + 32 + 2 + 2);  // resolutions, reserved, frames, name, depth, -1
  if (r.failed()) return;
  if (width > 0 && height > 0) {
    track.width = width;
    track.height = height;
  }
  Box box;
  while (nextBox(r, movie, box)) {
    if (box.type == "avcC") {
      box.body.skip(1);  // configuration version
      track.profile = box.body.u8();
      box.body.skip(1);  // compatibility
      track.level = box.body.u8();
    } else if (box.type == "esds") {
      readEsds(box.body, track);
    }
  }
}

void readSampleDescription(ByteReader r, Mp4Track& track, Mp4Movie& movie) {
  r.skip(4 + 4);  // version and flags, entry count
  Box entry;
  if (!nextBox(r, movie, entry)) return;
  track.format.clear();
  for (char c : entry.type) track.format.push_back(c >= 0x20 && c < 0x7F ? c : '?');
  if (track.kind == Mp4Track::Kind::kAudio) readAudioEntry(entry.body, track, movie);
  if (track.kind == Mp4Track::Kind::kVideo) readVideoEntry(entry.body, track, movie);
}

void readTimeToSample(ByteReader r, Mp4Track& track) {
  r.skip(4);
  const uint32_t count = r.u32be();
  uint64_t samples = 0;
  for (uint32_t i = 0; i < count && i < kMaxTimeToSampleEntries && r.has(8); ++i) {
    samples += r.u32be();
    r.skip(4);  // delta
  }
  track.sampleCount = samples;
}

void readSampleSizes(ByteReader r, Mp4Track& track) {
  r.skip(4);
  const uint32_t fixedSize = r.u32be();
  const uint32_t count = r.u32be();
  if (r.failed()) return;
  if (fixedSize != 0) {
    track.sampleBytes = uint64_t{fixedSize} * count;
    return;
  }
  if (count > kMaxSampleSizeEntries || count > r.remaining() / 4) return;
  // The table is taken whole (one bounds check) and summed entry by entry.
  const std::string_view table = r.bytes(size_t{count} * 4);
  const auto* entry = reinterpret_cast<const uint8_t*>(table.data());
  uint64_t total = 0;
  for (size_t at = 0; at < table.size(); at += 4) {
    total += uint32_t{entry[at]} << 24 | uint32_t{entry[at + 1]} << 16 |
             uint32_t{entry[at + 2]} << 8 | entry[at + 3];
  }
  track.sampleBytes = total;
}

// Walks a box's children, descending into the containers that lead to what we read.
void walk(ByteReader r, Mp4Track* track, Mp4Movie& movie, int depth) {
  if (depth > kMaxMp4Depth) return;
  Box box;
  while (nextBox(r, movie, box)) {
    const std::string_view t = box.type;
    if (t == "mvhd") {
      readMovieHeader(box.body, movie);
    } else if (t == "trak") {
      Mp4Track current;
      walk(box.body, &current, movie, depth + 1);
      if (movie.tracks.size() < kMaxMp4Tracks) movie.tracks.push_back(std::move(current));
    } else if (t == "mvex" || t == "udta" || t == "edts" || t == "mdia" || t == "minf" ||
               t == "stbl") {
      walk(box.body, track, movie, depth + 1);
    } else if (t == "trex") {
      // Fragment defaults: version and flags, track id, description index, duration, size.
      box.body.skip(4);
      const uint32_t id = box.body.u32be();
      box.body.skip(4);
      const uint32_t duration = box.body.u32be();
      const uint32_t size = box.body.u32be();
      for (Mp4Track& each : movie.tracks) {
        if (each.id == id && box.body.ok()) {
          each.fragmentSampleDuration = duration;
          each.fragmentSampleSize = size;
        }
      }
    } else if (t == "mehd") {
      const uint8_t version = box.body.u8();
      box.body.skip(3);
      const uint64_t duration = timeField(box.body, version);
      if (box.body.ok()) movie.fragmentDuration = duration;
    } else if (t == "meta") {
      // An ISO full box (version and flags first) or a QuickTime box (children at once).
      ByteReader children = box.body;
      const std::string_view start = children.rest();
      if (start.size() >= 8 && start.substr(4, 4) != "hdlr") children.skip(4);
      walk(children, track, movie, depth + 1);
    } else if (t == "ilst") {
      if (movie.ilst.empty()) movie.ilst = std::string(box.body.rest());
    } else if (track != nullptr) {
      if (t == "tkhd") readTrackHeader(box.body, *track);
      if (t == "elst") readEditList(box.body, *track);
      if (t == "mdhd") readMediaHeader(box.body, *track);
      if (t == "hdlr") readHandler(box.body, *track);
      if (t == "stsd") readSampleDescription(box.body, *track, movie);
      if (t == "stts") readTimeToSample(box.body, *track);
      if (t == "stsz") readSampleSizes(box.body, *track);
    }
  }
}

std::string aacName(uint8_t objectType, uint8_t audioObjectType) {
  const char* prefix = "MPEG-4 AAC";
  switch (objectType) {
    case 0x66:
      return "MPEG-2 AAC Main";
    case 0x67:
      return "MPEG-2 AAC LC";
    case 0x68:
      return "MPEG-2 AAC SSR";
    case 0x69:
    case 0x6B:
      return "MP3";
    case 0xA5:
      return "AC-3";
    case 0xA6:
      return "E-AC-3";
    default:
      break;
  }
  switch (audioObjectType) {
    case 1:
      return std::string(prefix) + " Main";
    case 2:
      return std::string(prefix) + " LC";
    case 3:
      return std::string(prefix) + " SSR";
    case 4:
      return std::string(prefix) + " LTP";
    case 5:
      return std::string(prefix) + " HE";
    case 29:
      return std::string(prefix) + " HEv2";
    default:
      return prefix;
  }
}

std::string avcProfileName(uint8_t profile) {
  switch (profile) {
    case 66:
      return "Baseline";
    case 77:
      return "Main";
    case 88:
      return "Extended";
    case 100:
      return "High";
    case 110:
      return "High 10";
    case 122:
      return "High 4:2:2";
    case 244:
      return "High 4:4:4";
    case 44:
      return "CAVLC 4:4:4";
    default:
      return std::to_string(profile);
  }
}

bool isMovieContainer(std::string_view type) {
  for (std::string_view container :
       {"trak", "mdia", "minf", "stbl", "udta", "edts", "mvex", "meta", "ilst"}) {
    if (type == container) return true;
  }
  return false;
}

void appendBoxHeader(std::string& out, uint64_t size, std::string_view type) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(size >> shift));
  out += type;
}

// The boxes between `pos` and `end` of a movie box larger than kMaxBlockBytes, appended to
// `out` with the large leaves left out: box by box from the file, so what is read stays within
// the cap while the boxes after a large one are still found.
void condenseBoxes(RandomAccessFile& file, uint64_t pos, uint64_t end, uint64_t leafBytes,
                   int depth, int& boxes, std::string& out) {
  while (end - pos >= 8 && depth <= kMaxMp4Depth && ++boxes <= kMaxMp4Boxes) {
    const std::string header = readBlock(file, pos, 16);
    ByteReader probe(header);
    uint64_t size = probe.u32be();
    const std::string type(probe.bytes(4));
    uint64_t headerBytes = 8;
    if (size == 1) {
      size = probe.u64be();
      headerBytes = 16;
    } else if (size == 0) {
      size = end - pos;
    }
    if (probe.failed() || size < headerBytes || size > end - pos) return;
    const uint64_t bodyBytes = size - headerBytes;
    const uint64_t bodyStart = pos + headerBytes;
    pos += size;
    if (isMovieContainer(type)) {
      // An ISO "meta" box starts with version and flags; a QuickTime one with its children.
      const std::string start = type == "meta" ? readBlock(file, bodyStart, 8) : std::string();
      const size_t prefix = start.size() == 8 && start.compare(4, 4, "hdlr") != 0 ? 4 : 0;
      std::string children = start.substr(0, prefix);
      if (bodyBytes >= prefix) {
        condenseBoxes(file, bodyStart + prefix, bodyStart + bodyBytes, leafBytes, depth + 1, boxes,
                      children);
      }
      if (kMaxBlockBytes - out.size() < 8 + children.size()) return;
      appendBoxHeader(out, 8 + children.size(), type);
      out += children;
    } else if (bodyBytes <= leafBytes && kMaxBlockBytes - out.size() >= 8 + bodyBytes) {
      const std::string body = readBlock(file, bodyStart, static_cast<size_t>(bodyBytes));
      appendBoxHeader(out, 8 + body.size(), type);
      out += body;
    }
  }
}

}  // namespace

std::string condenseMovie(RandomAccessFile& file, uint64_t begin, uint64_t end,
                          uint64_t leafBytes) {
  std::string out;
  int boxes = 0;
  condenseBoxes(file, begin, end, leafBytes, 0, boxes, out);
  return out;
}

double Mp4Track::seconds(const Mp4Movie& movie) const {
  if (movie.timescale > 0 && editDuration > 0) {
    return static_cast<double>(editDuration) / movie.timescale;
  }
  if (movie.timescale > 0 && headerDuration > 0 && headerDuration != UINT32_MAX) {
    return static_cast<double>(headerDuration) / movie.timescale;
  }
  return mediaSeconds();
}

std::string_view Mp4Track::codecFormat() const {
  struct Format {
    std::string_view entry;
    std::string_view name;
  };
  static constexpr Format kFormats[] = {
      {"alac", "ALAC"},   {"ac-3", "AC-3"},   {"ec-3", "E-AC-3"}, {".mp3", "MP3"},
      {"ms?U", "MP3"},    {"Opus", "Opus"},   {"fLaC", "FLAC"},   {"samr", "AMR"},
      {"sawb", "AMR"},    {"lpcm", "PCM"},    {"sowt", "PCM"},    {"twos", "PCM"},
      {"in24", "PCM"},    {"in32", "PCM"},    {"fl32", "PCM"},    {"fl64", "PCM"},
      {"raw ", "PCM"},    {"ima4", "ADPCM"},  {"ulaw", "ADPCM"},  {"alaw", "ADPCM"},
      {"avc1", "H264"},   {"avc3", "H264"},   {"hvc1", "HEVC"},   {"hev1", "HEVC"},
      {"av01", "AV1"},    {"vp08", "VP8"},    {"vp09", "VP9"},    {"s263", "H263"},
      {"h263", "H263"},   {"jpeg", "MJPEG"},  {"mjpa", "MJPEG"},  {"mjpb", "MJPEG"},
      {"apch", "ProRes"}, {"apcn", "ProRes"}, {"apcs", "ProRes"}, {"apco", "ProRes"},
      {"ap4h", "ProRes"}, {"ap4x", "ProRes"}, {"dvc ", "DV"},     {"dvcp", "DV"},
  };
  if (format == "mp4a" || format == "mp4v") {
    // The decoder configuration's object type names the codec.
    switch (objectType) {
      case 0x20:
        return "MPEG-4";
      case 0x60:
      case 0x61:
      case 0x62:
      case 0x63:
      case 0x64:
      case 0x65:
        return "MPEG-2";
      case 0x6A:
        return "MPEG-1";
      case 0x6C:
        return "MJPEG";
      case 0x66:
      case 0x67:
      case 0x68:
        return "AAC";
      case 0x69:
      case 0x6B:
        return "MP3";
      case 0xA5:
        return "AC-3";
      case 0xA6:
        return "E-AC-3";
      case 0xA9:
      case 0xAA:
      case 0xAB:
      case 0xAC:
        return "DTS";
      case 0x40:
      case 0:
        if (format == "mp4v") return "MPEG-4";
        return audioObjectType == 5 || audioObjectType == 29 ? "HE-AAC" : "AAC";
      default:
        return {};
    }
  }
  for (const Format& f : kFormats) {
    if (format == f.entry) return f.name;
  }
  return {};
}

std::string Mp4Track::codecName() const {
  if (format == "mp4a") return aacName(objectType, audioObjectType);
  if (format == "alac") return "ALAC";
  if (format == "ac-3") return "AC-3";
  if (format == "ec-3") return "E-AC-3";
  if (format == ".mp3" || format == "ms?U") return "MP3";
  if (format == "Opus") return "Opus";
  if (format == "fLaC") return "FLAC";
  if (format == "avc1" || format == "avc3") {
    if (profile == 0) return "H264";
    char level_text[16];
    if (level == 9) {
      std::snprintf(level_text, sizeof level_text, "1b");
    } else {
      std::snprintf(level_text, sizeof level_text, "%u.%u", level / 10u, level % 10u);
    }
    return "H264 " + avcProfileName(profile) + "@" + level_text;
  }
  if (format == "hvc1" || format == "hev1") return "HEVC";
  if (format == "mp4v") return "MPEG-4 Visual";
  if (format == "jpeg") return "JPEG";
  std::string name = format;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

void readMovie(ByteReader moov, Mp4Movie& movie) { walk(moov, nullptr, movie, 0); }

void readMovieFragment(ByteReader moof, Mp4Movie& movie) {
  Box traf;
  while (nextBox(moof, movie, traf)) {
    if (traf.type != "traf") continue;
    Mp4Track* track = nullptr;
    uint32_t defaultDuration = 0, defaultSize = 0;
    Box box;
    while (nextBox(traf.body, movie, box)) {
      ByteReader& r = box.body;
      const uint32_t flags = r.u32be() & 0xFFFFFF;
      if (box.type == "tfhd") {
        // Track id, then optional base data offset, description index, duration, size.
        const uint32_t id = r.u32be();
        track = nullptr;
        for (Mp4Track& each : movie.tracks) {
          if (each.id == id) track = &each;
        }
        if (track == nullptr) break;
        defaultDuration = track->fragmentSampleDuration;
        defaultSize = track->fragmentSampleSize;
        if (flags & 0x01) r.skip(8);
        if (flags & 0x02) r.skip(4);
        if (flags & 0x08) defaultDuration = r.u32be();
        if (flags & 0x10) defaultSize = r.u32be();
      } else if (box.type == "trun" && track != nullptr) {
        // Sample count, optional data offset and first sample flags, then per sample the
        // fields that the flags name: duration, size, flags, composition offset.
        const uint32_t count = r.u32be();
        if (flags & 0x01) r.skip(4);
        if (flags & 0x04) r.skip(4);
        const size_t perSample = ((flags & 0x100) ? 4 : 0) + ((flags & 0x200) ? 4 : 0) +
                                 ((flags & 0x400) ? 4 : 0) + ((flags & 0x800) ? 4 : 0);
        if (r.failed() || (perSample > 0 && count > r.remaining() / perSample)) continue;
        uint64_t duration = 0, size = 0;
        if (perSample == 0) {
          duration = uint64_t{count} * defaultDuration;
          size = uint64_t{count} * defaultSize;
        } else {
          for (uint32_t i = 0; i < count; ++i) {
            duration += (flags & 0x100) ? r.u32be() : defaultDuration;
            size += (flags & 0x200) ? r.u32be() : defaultSize;
            r.skip(((flags & 0x400) ? 4 : 0) + ((flags & 0x800) ? 4 : 0));
          }
        }
        track->fragmentDurationSum += duration;
        track->sampleCount += count;
        track->sampleBytes += size;
      }
    }
  }
}

}  // namespace sonavid::media
