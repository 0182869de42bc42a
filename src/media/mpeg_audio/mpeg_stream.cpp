#include "media/mpeg_audio/mpeg_stream.h"

#include <algorithm>
#include <memory>

#include "common/text.h"
#include "media/mpeg_audio/vbr_header.h"

namespace sonavid::media {
namespace {

// The shortest frame any version and layer can have (MPEG-2 Layer III, 8 kbit/s, 24 kHz).
constexpr uint64_t kMinMpegFrameBytes = 24;

uint32_t wordAt(std::string_view bytes, size_t pos) {
  if (pos > bytes.size() || bytes.size() - pos < 4) return 0;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + pos);
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

std::optional<MpegFrameHeader> headerAt(std::string_view bytes, size_t pos) {
  if (pos >= bytes.size() || static_cast<uint8_t>(bytes[pos]) != 0xFF) return std::nullopt;
  return parseMpegFrameHeader(wordAt(bytes, pos));
}

// Frame sizes of one stream by bitrate index and padding bit, so that hopping through a long
// stream reads each header with a mask and a table look-up. A header of the stream has the
// first header's sync, version, layer and sample-rate bits, a valid bitrate index and a valid
// emphasis: exactly the headers that parseMpegFrameHeader accepts and sameMpegStream matches.
class StreamFrameSizes {
 public:
  explicit StreamFrameSizes(uint32_t firstWord)
      : bits_(firstWord & kStreamMask), byte1_(static_cast<uint8_t>(bits_ >> 16)) {
    for (uint32_t index = 1; index < 15; ++index) {
      for (uint32_t padding = 0; padding < 2; ++padding) {
        const auto h = parseMpegFrameHeader(bits_ | index << 12 | padding << 9);
        bytes_[index][padding] = h ? h->frameBytes : 0;
      }
    }
    // By the header's third byte: bitrate index, sample-rate index (the stream's, else no
    // frame), padding bit.
    const uint32_t rate = (bits_ >> 10) & 3;
    for (uint32_t byte = 0; byte < 256; ++byte) {
      byByte2_[byte] = ((byte >> 2) & 3) == rate ? bytes_[byte >> 4][(byte >> 1) & 1] : 0;
    }
  }
  // Size of the frame whose header is `word`; 0 when it is not a header of this stream.
  uint32_t frameBytes(uint32_t word) const {
    if ((word & kStreamMask) != bits_ || (word & 3) == 2) return 0;
    return bytes_[(word >> 12) & 15][(word >> 9) & 1];
  }
  // The same for the four header bytes at `p`. The size comes from the third byte alone, so
  // the next header's position does not wait for the checks of the other three.
  uint32_t frameBytesAt(const uint8_t* p) const {
    const uint32_t bytes = byByte2_[p[2]];
    if (p[0] != 0xFF || (p[1] & 0xFE) != byte1_ || (p[3] & 3) == 2) return 0;
    return bytes;
  }

 private:
  // Sync, version, layer and sample-rate index.
  static constexpr uint32_t kStreamMask = 0xFFFE0C00u;
  uint32_t bits_;
  uint8_t byte1_;  // version and layer bits of the second byte
  uint32_t bytes_[16][2] = {};
  uint16_t byByte2_[256] = {};
};

// Length of the run of agreeing frame headers from `pos`, up to `enough`. A run of at least
// two that reaches the end of the stream (`streamBytes` from the start of `head`) counts as
// enough: a short file has no more frames to show. A lone header near the end does not.
// `cut` is set when the run stopped at the end of `head` rather than at a bad header.
int agreeingRun(std::string_view head, size_t pos, uint64_t streamBytes, int enough, bool& cut) {
  const auto first = headerAt(head, pos);
  if (!first) return 0;
  int run = 1;
  uint64_t next = pos + first->frameBytes;
  while (run < enough) {
    if (next >= streamBytes) return run >= 2 ? enough : run;
    if (next + 4 > head.size()) {
      cut = true;
      return run;
    }
    const auto h = headerAt(head, static_cast<size_t>(next));
    if (!h || !sameMpegStream(*first, *h)) return run;
    ++run;
    next += h->frameBytes;
  }
  return run;
}

// The first frame in `head`: right at its start after a tag (`trusted`), else where enough
// headers agree. `cut` is set when a run before it reached the end of `head`, so that more
// bytes could place the first frame earlier.
std::optional<size_t> findFirstFrame(std::string_view head, uint64_t streamBytes, bool trusted,
                                     bool& cut) {
  // Only a 0xFF byte can start a frame: the search skips to the next one.
  for (size_t pos = head.find('\xFF'); pos != std::string_view::npos && pos + 4 <= head.size();
       pos = head.find('\xFF', pos + 1)) {
    const int needed = trusted && pos == 0 ? 1 : kMpegConfirmFrames;
    if (agreeingRun(head, pos, streamBytes, needed, cut) >= needed) return pos;
  }
  return std::nullopt;
}

// A header promising more frames than the bytes can hold is damaged: measuring goes on
// without it.
std::optional<VbrHeader> usableVbrHeader(std::string_view frame, const MpegFrameHeader& h,
                                         uint64_t audioBytes) {
  auto vbr = parseVbrHeader(frame, h);
  if (vbr && vbr->frames > audioBytes / kMinMpegFrameBytes) vbr.reset();
  return vbr;
}

// Whether the frames in `head` after the first change bitrate (a VBR stream without header).
// Within one version and layer the bitrate index alone tells bitrates apart.
bool bitrateVaries(std::string_view head, size_t pos, const MpegFrameHeader& first,
                   const StreamFrameSizes& sizes) {
  const uint32_t firstIndex = (wordAt(head, pos) >> 12) & 15;
  size_t next = pos + first.frameBytes;
  while (true) {
    const uint32_t word = wordAt(head, next);
    const uint32_t frameBytes = sizes.frameBytes(word);
    if (frameBytes == 0) return false;
    if (((word >> 12) & 15) != firstIndex) return true;
    next += frameBytes;
  }
}

// Whether a window of the stream holds frames of another bitrate than `firstIndex`. The first
// header in it that the next header confirms starts the frames looked at; a window where none
// is confirmed (damage, or a frame larger than the window) says nothing.
bool windowVaries(std::string_view window, const StreamFrameSizes& sizes, uint32_t firstIndex) {
  for (size_t pos = window.find('\xFF'); pos != std::string_view::npos && pos + 4 <= window.size();
       pos = window.find('\xFF', pos + 1)) {
    const uint32_t frameBytes = sizes.frameBytes(wordAt(window, pos));
    if (frameBytes == 0 || sizes.frameBytes(wordAt(window, pos + frameBytes)) == 0) continue;
    for (size_t at = pos; at + 4 <= window.size();) {
      const uint32_t word = wordAt(window, at);
      const uint32_t bytes = sizes.frameBytes(word);
      if (bytes == 0) break;
      if (((word >> 12) & 15) != firstIndex) return true;
      at += bytes;
    }
    return false;
  }
  return false;
}

// Whether the stream between `checkedUpTo` and `end` changes bitrate, looked for in
// kMpegSampleWindows windows: spread evenly over it, starting on page boundaries, and the last
// one ending where the stream ends (a quiet start or end is a long run of equal frames).
bool sampledBitrateVaries(RandomAccessFile& file, uint64_t checkedUpTo, uint64_t end,
                          uint32_t firstWord, const StreamFrameSizes& sizes) {
  const uint32_t firstIndex = (firstWord >> 12) & 15;
  char window[kMpegSampleWindowBytes];
  const uint64_t span = end - checkedUpTo;
  for (int i = 1; i <= kMpegSampleWindows; ++i) {
    uint64_t at = 0;
    if (i < kMpegSampleWindows) {
      at = checkedUpTo + span * i / kMpegSampleWindows;
      at -= at % kMpegSampleWindowBytes;
    } else {
      at = end > sizeof window ? end - sizeof window : 0;  // the last bytes of the stream
    }
    if (at < checkedUpTo) at = checkedUpTo;
    if (at >= end) break;
    const size_t want = end - at < sizeof window ? static_cast<size_t>(end - at) : sizeof window;
    if (windowVaries(std::string_view(window, file.readAt(at, window, want)), sizes, firstIndex)) {
      return true;
    }
  }
  return false;
}

struct HopCount {
  uint64_t frames = 0;
  uint64_t bytes = 0;
};

// Reads the stream chunk by chunk and hops from header to header. After damage it looks for
// the next header that a following one confirms, within kMpegResyncBytes.
HopCount hopThroughFrames(RandomAccessFile& file, uint64_t start, uint64_t end,
                          const MpegFrameHeader& first, const StreamFrameSizes& sizes) {
  HopCount count;
  uint64_t pos = start;
  // One buffer for every chunk, left uninitialised: the reads fill what is looked at.
  const size_t bufferBytes =
      static_cast<size_t>(std::min<uint64_t>(end - start, kMpegHopChunkBytes));
  const std::unique_ptr<char[]> buffer(new char[bufferBytes]);
  std::string_view chunk;
  uint64_t chunkStart = 0;
  uint64_t lostSince = 0;
  bool lost = false;
  while (pos < end && end - pos >= 4) {
    // Keep the chunk covering [pos, pos + 8) so a header and the one after a frame fit.
    if (pos < chunkStart || pos - chunkStart + 8 > chunk.size()) {
      chunkStart = pos;
      const uint64_t left = end - pos;
      const size_t want = left < bufferBytes ? static_cast<size_t>(left) : bufferBytes;
      chunk = std::string_view(buffer.get(), file.readAt(pos, buffer.get(), want));
      if (chunk.size() < 4) break;
    }
    const size_t at = static_cast<size_t>(pos - chunkStart);
    if (!lost) {
      // The usual case: header after header of the stream, each right where the last frame
      // ended, for as far as the chunk holds them. Only the last frame of the stream can run
      // past its end; its bytes are cut to the end.
      const auto* bytes = reinterpret_cast<const uint8_t*>(chunk.data());
      size_t next = at;
      uint64_t frames = 0;
      while (next + 4 <= chunk.size()) {
        const uint32_t frameBytes = sizes.frameBytesAt(bytes + next);
        if (frameBytes == 0) break;
        ++frames;
        next += frameBytes;
      }
      if (frames != 0) {
        count.frames += frames;
        count.bytes += next - at;
        pos += next - at;
        if (pos > end) count.bytes -= pos - end;
        continue;
      }
    }
    const auto h = headerAt(chunk, at);
    if (h && sameMpegStream(first, *h)) {
      if (lost) {
        // After damage, take a header only when the next one agrees (or the stream ends).
        const uint64_t next = pos + h->frameBytes;
        bool confirmed = next >= end;
        if (!confirmed && next - chunkStart + 4 <= chunk.size()) {
          const auto after = headerAt(chunk, static_cast<size_t>(next - chunkStart));
          confirmed = after && sameMpegStream(first, *after);
        } else if (!confirmed) {
          confirmed = true;  // the confirming header is in the next chunk: accept
        }
        if (!confirmed) {
          ++pos;
          continue;
        }
        lost = false;
      }
      ++count.frames;
      const uint64_t left = end - pos;
      count.bytes += h->frameBytes < left ? h->frameBytes : left;
      pos += h->frameBytes;
      continue;
    }
    if (!lost) {
      lost = true;
      lostSince = pos;
    }
    if (pos - lostSince >= kMpegResyncBytes) break;
    ++pos;
  }
  return count;
}

}  // namespace

std::optional<MpegStreamInfo> measureMpegStream(RandomAccessFile& file,
                                                const MpegStreamSearch& search) {
  const uint64_t end = search.end < file.size() ? search.end : file.size();
  if (search.start >= end) return std::nullopt;
  const uint64_t streamBytes = end - search.start;
  auto upTo = [&](size_t bytes) {
    return streamBytes < bytes ? static_cast<size_t>(streamBytes) : bytes;
  };

  // The first frame is looked for in the bytes already read, then in a first probe, then in
  // the long probe. A shorter head settles it when the first frame and the run of headers that
  // confirms it lie wholly inside, with no run before it cut short by the head's end.
  std::string_view head = search.prefetched.substr(0, upTo(kMpegHeadProbeBytes));
  // The probes are left uninitialised: the reads fill what is looked at.
  std::unique_ptr<char[]> probe;
  auto readHead = [&](size_t bytes) {
    probe.reset(new char[bytes]);
    head = std::string_view(probe.get(), file.readAt(search.start, probe.get(), bytes));
  };
  std::optional<size_t> found;
  for (const size_t stage : {kMpegFirstProbeBytes, kMpegHeadProbeBytes, size_t{0}}) {
    bool cut = false;
    found = findFirstFrame(head, streamBytes, search.trusted, cut);
    const bool wholeStream = head.size() >= streamBytes;
    if (found &&
        (wholeStream || (!cut && *found + headerAt(head, *found)->frameBytes <= head.size()))) {
      break;
    }
    if (stage == 0 || wholeStream) break;
    if (head.size() < upTo(stage)) readHead(upTo(stage));
  }
  if (!found) return std::nullopt;

  MpegStreamInfo info;
  info.first = *headerAt(head, *found);
  info.firstFrameOffset = search.start + *found;
  const MpegFrameHeader& h = info.first;
  const uint64_t audioBytes = end - info.firstFrameOffset;
  const uint64_t rate = static_cast<uint64_t>(h.sampleRate);
  const uint64_t spf = h.samplesPerFrame;

  const auto vbr = usableVbrHeader(head.substr(*found), h, audioBytes);
  if (vbr && vbr->frames > 0) {
    info.frames = vbr->frames;
    // A cut-off file holds fewer frames than its header promises.
    if (vbr->bytes > audioBytes + h.frameBytes) {
      info.frames = info.frames * audioBytes / vbr->bytes;
    }
    info.durationMs = info.frames * spf * 1000 / rate;
    info.variable = vbr->variable;
    if (vbr->variable) {
      const uint64_t bytes = vbr->bytes != 0 && vbr->bytes <= audioBytes ? vbr->bytes : audioBytes;
      const uint64_t samples = info.frames * spf;
      info.bitrateKbps =
          samples == 0 ? h.bitrateKbps : static_cast<int>(bytes * 8 * rate / samples / 1000);
    } else {
      info.bitrateKbps = h.bitrateKbps;
    }
    return info;
  }

  // Whether the bitrate varies: in the frames read so far, then in the whole stream when it is
  // short, else in windows spread over the rest of it.
  const uint32_t firstWord = wordAt(head, *found);
  const StreamFrameSizes sizes(firstWord);
  bool varies = bitrateVaries(head, *found, h, sizes);
  if (!varies && head.size() < streamBytes) {
    if (streamBytes <= kMpegHeadProbeBytes) {
      readHead(static_cast<size_t>(streamBytes));
      varies = bitrateVaries(head, *found, h, sizes);
    } else {
      varies = sampledBitrateVaries(file, search.start + head.size(), end, firstWord, sizes);
    }
  }
  if (varies) {
    const HopCount hop = hopThroughFrames(file, info.firstFrameOffset, end, h, sizes);
    info.variable = true;
    info.frames = hop.frames;
    const uint64_t samples = hop.frames * spf;
    info.durationMs = samples * 1000 / rate;
    info.bitrateKbps =
        samples == 0 ? h.bitrateKbps : static_cast<int>(hop.bytes * 8 * rate / samples / 1000);
    return info;
  }

  // Constant bitrate: the stream's size tells the rest.
  const uint64_t bytesPerSecond = static_cast<uint64_t>(h.bitrateKbps) * 125;
  info.bitrateKbps = h.bitrateKbps;
  info.durationMs = audioBytes * 1000 / bytesPerSecond;
  info.frames = audioBytes * rate / (bytesPerSecond * spf);
  return info;
}

std::u16string mpegAudioFormatText(const MpegStreamInfo& stream) {
  const MpegFrameHeader& h = stream.first;
  const char16_t* version = h.version == MpegVersion::k1   ? u"1.0"
                            : h.version == MpegVersion::k2 ? u"2.0"
                                                           : u"2.5";
  static constexpr const char16_t* kModes[] = {u"Stereo", u"J-Stereo", u"D-Channel", u"Mono"};
  std::u16string text;
  text.reserve(64);
  text += u"MPEG";
  text += version;
  text += u" Layer";
  appendDecimal(text, static_cast<uint64_t>(h.layer));
  text += u' ';
  appendDecimal(text, static_cast<uint64_t>(stream.bitrateKbps < 0 ? 0 : stream.bitrateKbps));
  text += stream.variable ? u"Kb/s(VBR) " : u"Kb/s ";
  appendDecimal(text, static_cast<uint64_t>(h.sampleRate));
  text += u"Hz ";
  text += kModes[static_cast<int>(h.mode)];
  text += u' ';
  appendDecimal(text, stream.frames);
  text += u"frames";
  return text;
}

}  // namespace sonavid::media
