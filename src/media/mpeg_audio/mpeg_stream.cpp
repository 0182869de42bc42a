#include "media/mpeg_audio/mpeg_stream.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "common/text.h"
#include "media/mpeg_audio/vbr_header.h"
#include "media/streams/frame_hops.h"

namespace sonavid::media {
namespace {

// The shortest frame any version and layer can have (MPEG-2 Layer III, 8 kbit/s, 24 kHz).
constexpr uint64_t kMinMpegFrameBytes = 24;
// Sync, version, layer and sample-rate index: the bits every header of one stream shares.
constexpr uint32_t kStreamMask = 0xFFFE0C00u;
// Free-format frame lengths tried at one position: the first few later syncs of the stream.
constexpr int kFreeFormatCandidates = 8;
// A window of the stream holds at least two of its largest frames and the next header.
constexpr size_t kMaxWindowBytes = 2 * (kMaxFreeFormatFrameBytes + 4) + 8;

uint32_t wordAt(std::string_view bytes, size_t pos) {
  if (pos > bytes.size() || bytes.size() - pos < 4) return 0;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + pos);
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// The bitrate index of the four header bytes at `p`.
uint32_t bitrateIndexAt(const uint8_t* p) { return p[2] >> 4; }

// The header at `pos`; a free-format one only with the stream's frame length (`freeBytes`).
std::optional<MpegFrameHeader> headerAt(std::string_view bytes, size_t pos, uint32_t freeBytes) {
  if (pos >= bytes.size() || static_cast<uint8_t>(bytes[pos]) != 0xFF) return std::nullopt;
  return parseMpegFrameHeader(wordAt(bytes, pos), freeBytes);
}

// Frame sizes of one stream by bitrate index and padding bit, so that hopping through a long
// stream reads each header with a mask and a table look-up. A header of the stream has the
// first header's sync, version, layer and sample-rate bits, a valid bitrate index (0 alone in
// a free-format stream, never 0 in another) and a valid emphasis: exactly the headers that
// parseMpegFrameHeader accepts and sameMpegStream matches.
class StreamFrameSizes {
 public:
  StreamFrameSizes(uint32_t firstWord, uint32_t freeBytes)
      : bits_(firstWord & kStreamMask),
        byte1_(static_cast<uint8_t>(bits_ >> 16)),
        freeBytes_(freeBytes) {
    for (uint32_t index = freeBytes != 0 ? 0 : 1; index < (freeBytes != 0 ? 1u : 15u); ++index) {
      // The padding bit makes no header valid or invalid; it adds one slot (four bytes in
      // Layer I, one in the others) to the frame.
      const auto h = parseMpegFrameHeader(bits_ | index << 12, freeBytes);
      if (!h) continue;
      bytes_[index][0] = h->frameBytes;
      bytes_[index][1] = h->frameBytes + (h->layer == 1 ? 4 : 1);
      if (bytes_[index][1] > largest_) largest_ = bytes_[index][1];
    }
    // By the header's third byte: bitrate index, sample-rate index (the stream's, else no
    // frame), padding bit, private bit. The bytes with another sample-rate index stay 0.
    const uint32_t rate = (bits_ >> 10) & 3;
    for (uint32_t index = 0; index < 16; ++index) {
      for (uint32_t low = 0; low < 4; ++low) {
        byByte2_[index << 4 | rate << 2 | low] = static_cast<uint16_t>(bytes_[index][low >> 1]);
      }
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
    if constexpr (std::endian::native == std::endian::little) {
      // The sync byte and the version and layer bits tested in one word, as it lies in memory.
      uint32_t word;
      std::memcpy(&word, p, sizeof word);
      if ((word & 0xFEFFu) != (0xFFu | uint32_t{byte1_} << 8) || ((word >> 24) & 3) == 2) return 0;
    } else if (p[0] != 0xFF || (p[1] & 0xFE) != byte1_ || (p[3] & 3) == 2) {
      return 0;
    }
    return bytes;
  }
  uint32_t freeBytes() const { return freeBytes_; }
  // Bytes a window must hold to show two frames and the header after them.
  size_t windowBytes() const {
    const size_t needed = 2 * size_t{largest_} + 8;
    return needed > kMpegSampleWindowBytes ? needed : kMpegSampleWindowBytes;
  }

 private:
  uint32_t bits_;
  uint8_t byte1_;  // version and layer bits of the second byte
  uint32_t freeBytes_;
  uint32_t largest_ = 0;
  uint32_t bytes_[16][2] = {};
  uint16_t byByte2_[256] = {};
};

// Length of the run of agreeing frame headers from `pos`, up to `enough`. A run of at least
// two that reaches the end of the stream (`streamBytes` from the start of `head`) counts as
// enough: a short file has no more frames to show. A lone header near the end does not.
// `cut` is set when the run stopped at the end of `head` rather than at a bad header.
int agreeingRun(std::string_view head, size_t pos, uint64_t streamBytes, int enough,
                uint32_t freeBytes, bool& cut) {
  const auto first = headerAt(head, pos, freeBytes);
  if (!first) return 0;
  int run = 1;
  uint64_t next = pos + first->frameBytes;
  while (run < enough) {
    if (next >= streamBytes) return run >= 2 ? enough : run;
    if (next + 4 > head.size()) {
      cut = true;
      return run;
    }
    const auto h = headerAt(head, static_cast<size_t>(next), freeBytes);
    if (!h || !sameMpegStream(*first, *h)) return run;
    ++run;
    next += h->frameBytes;
  }
  return run;
}

// The same for a free-format header at `pos`: its frame length is the distance to one of the
// next headers of the stream, the first that starts a long enough run. `freeBytes` is set to
// that length (without padding).
int freeFormatRun(std::string_view head, size_t pos, uint64_t streamBytes, int enough,
                  uint32_t& freeBytes, bool& cut) {
  const uint32_t word = wordAt(head, pos);
  const uint32_t limit = kMaxFreeFormatFrameBytes + 4;
  int best = 0;
  int tried = 0;
  for (size_t next = head.find('\xFF', pos + 1);
       next != std::string_view::npos && tried < kFreeFormatCandidates;
       next = head.find('\xFF', next + 1)) {
    if (next - pos > limit) return best;
    if (next + 4 > head.size()) break;
    const uint32_t other = wordAt(head, next);
    if ((other & kStreamMask) != (word & kStreamMask) || !isFreeFormatHeader(other)) continue;
    // Every later sync of the stream counts, so junk full of them costs a bounded look.
    ++tried;
    const uint32_t bytes = freeFormatFrameBytes(word, next - pos);
    if (bytes == 0) continue;
    const int run = agreeingRun(head, pos, streamBytes, enough, bytes, cut);
    if (run > best) {
      best = run;
      freeBytes = bytes;
    }
    if (run >= enough) return run;
  }
  // The next header may lie beyond the bytes at hand.
  if (head.size() - pos <= limit) cut = true;
  return best;
}

struct FirstFrame {
  size_t pos = 0;
  uint32_t freeBytes = 0;  // frame length of a free-format stream
};

// The first frame in `head`: right at its start after a tag (`trusted`), else where `needed`
// headers agree. `resumeAt` is where a search in the bytes after `head` must go on from: the
// first position whose run was cut short by the end of `head` (so more bytes could confirm a
// frame there), else the first position not looked at.
std::optional<FirstFrame> findFirstFrame(std::string_view head, uint64_t streamBytes, bool trusted,
                                         int needed, size_t& resumeAt) {
  resumeAt = head.size() > 3 ? head.size() - 3 : 0;
  // Only a 0xFF byte can start a frame: the search skips to the next one.
  for (size_t pos = head.find('\xFF'); pos != std::string_view::npos && pos + 4 <= head.size();
       pos = head.find('\xFF', pos + 1)) {
    const int enough = trusted && pos == 0 ? 1 : needed;
    bool cut = false;
    FirstFrame frame{pos, 0};
    const int run = isFreeFormatHeader(wordAt(head, pos))
                        ? freeFormatRun(head, pos, streamBytes, enough, frame.freeBytes, cut)
                        : agreeingRun(head, pos, streamBytes, enough, 0, cut);
    if (run >= enough) return frame;
    if (cut && pos < resumeAt) resumeAt = pos;
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

// What a hop through the frames of a window shows.
struct WindowFrames {
  bool found = false;   // a header that the next one confirms
  bool varies = false;  // a frame of another bitrate than `firstIndex`
  size_t end = 0;       // where the hop stopped: after the last frame seen, or at damage
};

// The frames of a window from its first header that the next header confirms; a window where
// none is confirmed (damage, padding, or a frame larger than the window) shows none.
WindowFrames framesInWindow(std::string_view window, const StreamFrameSizes& sizes,
                            uint32_t firstIndex) {
  WindowFrames seen;
  for (size_t pos = window.find('\xFF'); pos != std::string_view::npos && pos + 4 <= window.size();
       pos = window.find('\xFF', pos + 1)) {
    const uint32_t frameBytes = sizes.frameBytes(wordAt(window, pos));
    if (frameBytes == 0 || sizes.frameBytes(wordAt(window, pos + frameBytes)) == 0) continue;
    seen.found = true;
    // Header after header through the table of the stream, each within the window.
    const auto* data = reinterpret_cast<const uint8_t*>(window.data());
    size_t at = pos;
    while (at + 4 <= window.size()) {
      const uint32_t bytes = sizes.frameBytesAt(data + at);
      if (bytes == 0) break;
      if (bitrateIndexAt(data + at) != firstIndex) seen.varies = true;
      at += bytes;
    }
    seen.end = at;
    return seen;
  }
  return seen;
}

// Reads of the stream's bytes: from the head already read when it holds them, else into a
// window of memory of its own.
class StreamWindows {
 public:
  StreamWindows(RandomAccessFile& file, std::string_view head, uint64_t headStart, uint64_t end)
      : file_(file), head_(head), headStart_(headStart), end_(end) {}
  std::string_view at(uint64_t offset, size_t count) {
    if (offset >= end_) return {};
    if (end_ - offset < count) count = static_cast<size_t>(end_ - offset);
    if (count > sizeof buffer_) count = sizeof buffer_;
    if (offset >= headStart_ && offset - headStart_ <= head_.size() &&
        head_.size() - (offset - headStart_) >= count) {
      return head_.substr(static_cast<size_t>(offset - headStart_), count);
    }
    return std::string_view(buffer_, file_.readAt(offset, buffer_, count));
  }
  uint64_t end() const { return end_; }

 private:
  RandomAccessFile& file_;
  std::string_view head_;
  uint64_t headStart_;
  uint64_t end_;
  char buffer_[2 * kMaxWindowBytes];
};

// What the windows spread over the stream show: whether the bitrate changes, and whether the
// frames reach the stream's end.
struct StreamSurvey {
  bool varies = false;
  bool lastWindowHasFrames = true;
  uint64_t lastWithFrames = 0;  // start of the last window that held frames
  uint64_t emptyAfter = 0;      // start of the first window after it that held none
};

// Looks at the stream between `checkedUpTo` and its end in `count` windows: spread evenly over
// it, starting on page boundaries, and the last one ending where the stream ends (a quiet start
// or end is a long run of equal frames). Frames are known to start at `firstFrame`.
StreamSurvey surveyStream(StreamWindows& windows, uint64_t firstFrame, uint64_t checkedUpTo,
                          int count, uint32_t firstWord, const StreamFrameSizes& sizes) {
  StreamSurvey survey;
  survey.lastWithFrames = firstFrame;
  survey.emptyAfter = windows.end();
  const uint32_t firstIndex = (firstWord >> 12) & 15;
  const size_t windowBytes = sizes.windowBytes();
  const uint64_t end = windows.end();
  const uint64_t span = end - checkedUpTo;
  bool emptySeen = false;
  for (int i = 1; i <= count; ++i) {
    uint64_t at = 0;
    if (i < count) {
      at = checkedUpTo + span * i / count;
      at -= at % windowBytes;
    } else {
      at = end > windowBytes ? end - windowBytes : 0;  // the last bytes of the stream
    }
    if (at < checkedUpTo) at = checkedUpTo;
    if (at >= end) break;
    const WindowFrames seen = framesInWindow(windows.at(at, windowBytes), sizes, firstIndex);
    if (seen.varies) {
      survey.varies = true;
      return survey;
    }
    if (seen.found) {
      survey.lastWithFrames = at;
      emptySeen = false;
    } else if (!emptySeen) {
      survey.emptyAfter = at;
      emptySeen = true;
    }
    survey.lastWindowHasFrames = seen.found;
  }
  return survey;
}

// Where the frames end between a window at `withFrames` that holds some and one at `empty`
// that holds none: halving the distance window by window, then hopping through the last
// frames. Padding after a stream holds no frame headers; the frames before it do.
uint64_t findFramesEnd(StreamWindows& windows, uint64_t withFrames, uint64_t empty,
                       const StreamFrameSizes& sizes, uint32_t firstIndex) {
  const size_t windowBytes = sizes.windowBytes();
  while (empty - withFrames > windowBytes) {
    const uint64_t middle = withFrames + (empty - withFrames) / 2;
    if (framesInWindow(windows.at(middle, windowBytes), sizes, firstIndex).found) {
      withFrames = middle;
    } else {
      empty = middle;
    }
  }
  const std::string_view last =
      windows.at(withFrames, static_cast<size_t>(empty - withFrames) + windowBytes);
  const WindowFrames seen = framesInWindow(last, sizes, firstIndex);
  if (!seen.found) return empty;
  const uint64_t end = withFrames + seen.end;
  return end < windows.end() ? end : windows.end();
}

// A run of hops from header to header of the stream (see hopInTwoRuns).
struct Hops {
  const uint8_t* bytes;
  size_t size;
  const StreamFrameSizes* sizes;
  size_t pos;
  uint64_t frames = 0;

  // One hop, when the four bytes at `pos` are a header of the stream.
  bool step() {
    if (pos + 4 > size) return false;
    const uint32_t frameBytes = sizes->frameBytesAt(bytes + pos);
    if (frameBytes == 0) return false;
    pos += frameBytes;
    ++frames;
    return true;
  }
  void take(const Hops& other) {
    pos = other.pos;
    frames += other.frames;
  }
};

// Hops from header to header of the stream in `chunk` from `at`, while each is one and its
// four bytes lie in `chunk`; returns where the hops stopped and adds them to `frames`. A chunk
// of a few KiB goes in two runs side by side, the second from a header in its middle.
size_t hopFrames(std::string_view chunk, size_t at, const StreamFrameSizes& sizes,
                 uint64_t& frames) {
  constexpr size_t kTwoRunsBytes = 4096;
  const auto* bytes = reinterpret_cast<const uint8_t*>(chunk.data());
  const size_t size = chunk.size();
  size_t middle = std::string_view::npos;
  if (at < size && size - at >= kTwoRunsBytes) {
    middle = at + (size - at) / 2;
    while (middle + 4 <= size &&
           (bytes[middle] != 0xFF || sizes.frameBytesAt(bytes + middle) == 0)) {
      ++middle;
    }
    if (middle + 4 > size) middle = std::string_view::npos;
  }
  const Hops first =
      hopInTwoRuns(Hops{bytes, size, &sizes, at}, Hops{bytes, size, &sizes, middle});
  frames += first.frames;
  return first.pos;
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
  const uint32_t freeBytes = sizes.freeBytes();
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
      uint64_t frames = 0;
      const size_t next = hopFrames(chunk, at, sizes, frames);
      if (frames != 0) {
        count.frames += frames;
        count.bytes += next - at;
        pos += next - at;
        if (pos > end) count.bytes -= pos - end;
        continue;
      }
    }
    const auto h = headerAt(chunk, at, freeBytes);
    if (h && sameMpegStream(first, *h)) {
      if (lost) {
        // After damage, take a header only when the next one agrees (or the stream ends).
        const uint64_t next = pos + h->frameBytes;
        bool confirmed = next >= end;
        if (!confirmed && next - chunkStart + 4 <= chunk.size()) {
          const auto after = headerAt(chunk, static_cast<size_t>(next - chunkStart), freeBytes);
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

// Whether the frames in `head` after the first change bitrate (a VBR stream without header).
// Within one version and layer the bitrate index alone tells bitrates apart.
bool bitrateVaries(std::string_view head, size_t pos, const MpegFrameHeader& first,
                   const StreamFrameSizes& sizes) {
  const uint32_t firstIndex = (wordAt(head, pos) >> 12) & 15;
  const auto* data = reinterpret_cast<const uint8_t*>(head.data());
  size_t next = pos + first.frameBytes;
  // The frames end at the first position that holds no header of the stream, or no whole
  // header.
  while (next <= head.size() && head.size() - next >= 4) {
    const uint32_t frameBytes = sizes.frameBytesAt(data + next);
    if (frameBytes == 0) return false;
    if (bitrateIndexAt(data + next) != firstIndex) return true;
    next += frameBytes;
  }
  return false;
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
  uint64_t headStart = search.start;
  // The probes are left uninitialised: the reads fill what is looked at.
  std::unique_ptr<char[]> probe;
  size_t probeBytes = 0;
  auto readHead = [&](uint64_t at, size_t bytes) {
    if (bytes > probeBytes) {
      probe.reset(new char[bytes]);
      probeBytes = bytes;
    }
    head = std::string_view(probe.get(), file.readAt(at, probe.get(), bytes));
    headStart = at;
  };
  std::optional<FirstFrame> found;
  size_t resumeAt = 0;
  for (const size_t stage : {kMpegFirstProbeBytes, kMpegHeadProbeBytes, size_t{0}}) {
    found = findFirstFrame(head, streamBytes, search.trusted, kMpegConfirmFrames, resumeAt);
    const bool wholeStream = head.size() >= streamBytes;
    if (found &&
        (wholeStream ||
         (resumeAt >= found->pos &&
          found->pos + headerAt(head, found->pos, found->freeBytes)->frameBytes <= head.size()))) {
      break;
    }
    if (stage == 0 || wholeStream) break;
    if (head.size() < upTo(stage)) readHead(search.start, upTo(stage));
  }
  // Nothing near the start: on, chunk by chunk, within kMpegFarSearchBytes of it.
  const uint64_t farLimit =
      search.start + (streamBytes < kMpegFarSearchBytes ? streamBytes : kMpegFarSearchBytes);
  while (!found && head.size() == kMpegHeadProbeBytes) {
    const uint64_t at = headStart + (resumeAt != 0 ? resumeAt : head.size());
    if (at >= farLimit) break;
    readHead(at, static_cast<size_t>(std::min<uint64_t>(end - at, kMpegHeadProbeBytes)));
    found = findFirstFrame(head, end - at, false, kMpegFarConfirmFrames, resumeAt);
  }
  if (!found) return std::nullopt;

  MpegStreamInfo info;
  info.first = *headerAt(head, found->pos, found->freeBytes);
  info.firstFrameOffset = headStart + found->pos;
  const MpegFrameHeader& h = info.first;
  const uint64_t audioBytes = end - info.firstFrameOffset;
  const uint64_t rate = static_cast<uint64_t>(h.sampleRate);
  const uint64_t spf = h.samplesPerFrame;

  const auto vbr = usableVbrHeader(head.substr(found->pos), h, audioBytes);
  if (vbr) {
    // The header frame carries no audio and some encoders mark it Stereo whatever the stream
    // is: the channel mode is the first audio frame's.
    const uint64_t nextAt = info.firstFrameOffset + h.frameBytes;
    char word[4];
    std::string_view next = head.substr(std::min(head.size(), found->pos + h.frameBytes));
    if (next.size() < 4 && nextAt < end && end - nextAt >= 4) {
      next = std::string_view(word, file.readAt(nextAt, word, 4));
    }
    const auto audio = headerAt(next, 0, found->freeBytes);
    if (audio && sameMpegStream(h, *audio)) info.first.mode = audio->mode;
  }
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
  const uint32_t firstWord = wordAt(head, found->pos);
  const uint32_t firstIndex = (firstWord >> 12) & 15;
  const StreamFrameSizes sizes(firstWord, found->freeBytes);
  bool varies = bitrateVaries(head, found->pos, h, sizes);
  if (!varies && headStart + head.size() < end && end - headStart <= kMpegHeadProbeBytes) {
    const size_t pos = found->pos;
    readHead(headStart, static_cast<size_t>(end - headStart));
    varies = bitrateVaries(head, pos, h, sizes);
  }
  StreamWindows windows(file, head, headStart, end);
  StreamSurvey survey;
  if (!varies) {
    // A stream held whole is looked at only at its end; a longer one in windows over the rest.
    const bool heldWhole = headStart + head.size() >= end;
    survey = surveyStream(windows, info.firstFrameOffset,
                          heldWhole ? info.firstFrameOffset : headStart + head.size(),
                          heldWhole ? 1 : kMpegSampleWindows, firstWord, sizes);
    varies = survey.varies;
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

  // Constant bitrate: the stream's size tells the rest, up to where its frames end.
  uint64_t framesEnd = end;
  if (!survey.lastWindowHasFrames) {
    framesEnd = findFramesEnd(windows, survey.lastWithFrames, survey.emptyAfter, sizes, firstIndex);
    if (framesEnd <= info.firstFrameOffset) framesEnd = end;
  }
  const uint64_t bytes = framesEnd - info.firstFrameOffset;
  const uint64_t bitsPerSecond = h.bitsPerSecond;
  info.bitrateKbps = h.bitrateKbps;
  info.durationMs = bytes * 8000 / bitsPerSecond;
  // Frames from the average frame length (a frame holds bitsPerSecond * spf / rate bits), to the
  // nearest: a stream of whole frames, some padded, is then counted exactly.
  const uint64_t frameBits = bitsPerSecond * spf;
  info.frames = (bytes * 8 * rate + frameBits / 2) / frameBits;
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
