#include "media/mpegts/mpegts.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/media_reader.h"
#include "media/file_reads.h"
#include "media/mpegts/broadcast_tables.h"
#include "media/mpegts/psi_tables.h"
#include "media/mpegts/ts_packets.h"
#include "media/streams/pes_packet.h"
#include "media/streams/stream_format.h"
#include "media/streams/timestamp_span.h"

namespace sonavid::media {
namespace {

using namespace mpegts;

// Syncs in a row that make a file a transport stream.
constexpr int kProbePackets = 6;
// The head is read in growing steps until the program, its streams' headers and a timestamp
// are found; the tail likewise until a timestamp is. A broadcast stream repeats its tables
// every tenth of a second and its sequence headers every second or so (a few MiB at most).
constexpr size_t kHeadReads[] = {192 * 1024, 1024 * 1024, 4 * 1024 * 1024};
constexpr size_t kTailReads[] = {128 * 1024, 1024 * 1024, 4 * 1024 * 1024};
// A PES packet is kept up to this much while its stream's header is looked for in it. The
// memory for it is taken at once for the usual sizes.
constexpr size_t kMaxPesBytes = 512 * 1024;
constexpr size_t kPesReserveBytes = 64 * 1024;
constexpr size_t kMaxPrograms = 256;

// The programs of the PAT and the PMTs found for them, and which PIDs the head holds (readHead
// notes those after the place the tables were complete).
struct Tables {
  std::vector<ProgramEntry> programs;
  std::vector<ProgramMap> maps;
  std::bitset<8192> pidsSeen;

  const ProgramMap* mapOf(uint16_t number) const {
    for (const ProgramMap& map : maps) {
      if (map.programNumber == number) return &map;
    }
    return nullptr;
  }
  bool holdsStreamsOf(const ProgramMap& map) const {
    for (const ElementaryStream& stream : map.streams) {
      if (pidsSeen[stream.pid]) return true;
    }
    return false;
  }
  // The recorded program: the first in the PAT that the file has streams of (a recording of
  // one service keeps the whole multiplex's PAT but only its own streams).
  const ProgramMap* recordedProgram() const {
    const ProgramMap* firstMapped = nullptr;
    for (const ProgramEntry& entry : programs) {
      const ProgramMap* map = mapOf(entry.programNumber);
      if (map == nullptr) continue;
      if (holdsStreamsOf(*map)) return map;
      if (firstMapped == nullptr) firstMapped = map;
    }
    return firstMapped;
  }
  // True when each program of the PAT has its PMT: later PMT sections change nothing.
  bool allMapped() const {
    for (const ProgramEntry& entry : programs) {
      if (mapOf(entry.programNumber) == nullptr) return false;
    }
    return true;
  }
  // True when the recorded program or its audio or video stream is chosen by which PIDs the
  // head holds: the PAT lists more than one program, or the program has more than one stream
  // of a kind.
  bool choiceNeedsPids() const {
    if (programs.size() != 1) return programs.size() > 1;
    const ProgramMap* map = mapOf(programs.front().programNumber);
    if (map == nullptr) return false;
    int audio = 0;
    int video = 0;
    for (const ElementaryStream& stream : map->streams) {
      if (stream.kind != StreamKind::kNone) ++(isVideoKind(stream.kind) ? video : audio);
    }
    return audio > 1 || video > 1;
  }
};

// Each table is taken from its first whole section: once the PAT and the PMT of each of its
// programs are in, the walk ends, or only notes the PIDs of the packets when the choice of the
// program or its streams needs them (the repeats of the tables then cost no CRC).
Tables readTables(std::string_view head, const PacketLayout& layout) {
  Tables tables;
  SectionCollector pat;
  std::vector<std::pair<uint16_t, SectionCollector>> pmts;
  bool mapped = false;
  forEachPacketSlot(head, layout, layout.firstSlot(), [&](std::string_view bytes) {
    PacketHeader header;
    if (!readPacketHeader(bytes, header)) return true;
    const uint16_t pid = header.pid;
    tables.pidsSeen[pid] = true;
    if (mapped || (pid != kPatPid && pmts.empty())) return true;
    Packet packet;
    if (!parsePacket(bytes, packet)) return true;
    if (pid == kPatPid) {
      if (!tables.programs.empty()) return true;
      pat.add(packet, [&](std::string_view section) {
        if (!tables.programs.empty()) return;
        tables.programs = parsePat(section);
        if (tables.programs.size() > kMaxPrograms) tables.programs.resize(kMaxPrograms);
        for (const ProgramEntry& entry : tables.programs) {
          pmts.emplace_back(entry.pmtPid, SectionCollector());
        }
      });
      return true;
    }
    for (auto& [pmtPid, collector] : pmts) {
      if (pmtPid != pid) continue;
      collector.add(packet, [&](std::string_view section) {
        ProgramMap map;
        if (parsePmt(section, map) && tables.mapOf(map.programNumber) == nullptr) {
          tables.maps.push_back(std::move(map));
          mapped = tables.allMapped();
        }
      });
      break;
    }
    return !mapped || tables.choiceNeedsPids();
  });
  return tables;
}

// One elementary stream of the program whose header is looked for.
struct StreamReading {
  uint16_t pid = kNullPid;
  StreamKind kind = StreamKind::kNone;
  std::string pes;  // the PES packet being gathered, header removed
  bool gathering = false;
  bool found = false;
  AudioFormat audio;
  VideoFormat video;

  // True while the packets of `packetPid` may still give the stream's header.
  bool wants(uint16_t packetPid) const { return packetPid == pid && !found; }
  void tryPes() {
    if (found || pes.empty()) return;
    found =
        isVideoKind(kind) ? readVideoFormat(kind, pes, video) : readAudioFormat(kind, pes, audio);
  }
  // 90 kHz ticks of one frame of the stream, 0 when unknown.
  uint64_t unitTicks() const { return found ? frameTicks(kind, audio, video) : 0; }
};

struct HeadReading {
  StreamReading audio;
  StreamReading video;
  TimestampSpan span;     // of the program's streams' timestamps
  TimestampSpan pcrSpan;  // of the program clock, where no stream has timestamps

  bool complete() const {
    return span.started() && (audio.pid == kNullPid || audio.found) &&
           (video.pid == kNullPid || video.found);
  }
};

// The PIDs of the program's streams of a known kind, whose stamps the span is made of, and
// how many they are.
std::bitset<8192> programStreamPids(const ProgramMap& program, size_t* count = nullptr) {
  std::bitset<8192> pids;
  size_t distinct = 0;
  for (const ElementaryStream& stream : program.streams) {
    if (stream.kind == StreamKind::kNone || pids[stream.pid]) continue;
    pids[stream.pid] = true;
    ++distinct;
  }
  if (count != nullptr) *count = distinct;
  return pids;
}

// The first stream of the program of audio (or video) kind that the file holds, else the first
// of that kind.
StreamReading firstStream(const ProgramMap& program, const Tables& tables, bool video) {
  StreamReading reading;
  for (const ElementaryStream& stream : program.streams) {
    if (stream.kind == StreamKind::kNone || isVideoKind(stream.kind) != video) continue;
    if (reading.pid == kNullPid || (tables.pidsSeen[stream.pid] && !tables.pidsSeen[reading.pid])) {
      reading.pid = stream.pid;
      reading.kind = stream.kind;
      if (tables.pidsSeen[stream.pid]) break;
    }
  }
  return reading;
}

void gather(StreamReading& reading, const Packet& packet, const PesHeader* header) {
  if (header != nullptr) {
    reading.tryPes();
    reading.pes.clear();
    reading.gathering = !reading.found;
    if (reading.gathering) reading.pes.reserve(kPesReserveBytes);
    if (reading.gathering && header->payloadOffset < packet.payload.size()) {
      reading.pes.append(packet.payload.substr(header->payloadOffset));
    }
    return;
  }
  if (reading.gathering && reading.pes.size() < kMaxPesBytes) reading.pes.append(packet.payload);
}

// The stamps of a tail: every one counts, not only each stream's last, as with reordered
// pictures the last packet is not the latest picture. Only the farthest of each stream whose
// units have one length matters; the length is added when the spans are ended.
struct TailStamps {
  std::optional<uint64_t> audio, video, other;  // distances from the head's first stamp
  std::optional<uint64_t> lastPcr;
  bool found = false;

  void add(uint16_t pid, uint64_t stamp, const HeadReading& reading) {
    found = true;
    const std::optional<uint64_t> distance = reading.span.tailDistance(stamp);
    if (!distance) return;
    std::optional<uint64_t>& farthest = pid == reading.audio.pid   ? audio
                                        : pid == reading.video.pid ? video
                                                                   : other;
    farthest = std::max(farthest.value_or(0), *distance);
  }
  // Ends the spans of `reading`; false when the tail had no stamp.
  bool endSpans(HeadReading& reading) const {
    if (audio) reading.span.endAfter(*audio, reading.audio.unitTicks());
    if (video) reading.span.endAfter(*video, reading.video.unitTicks());
    if (other) reading.span.endAfter(*other, 0);
    if (lastPcr) reading.pcrSpan.atTail(*lastPcr, 0);
    return found || lastPcr.has_value();
  }
};

// Reads the program's first audio and video stream's headers and the first stamp of each of
// its streams and of its clock, and notes the PIDs of the head in `tables`. When `tail` is
// given (the head holds the whole file, so it is the tail too), the tail's stamps are taken in
// the same walk. Otherwise the walk looks only at the clock once the streams' values are in.
HeadReading readHead(std::string_view head, const PacketLayout& layout, const ProgramMap& program,
                     Tables& tables, TailStamps* tail) {
  HeadReading reading;
  reading.audio = firstStream(program, tables, false);
  reading.video = firstStream(program, tables, true);
  size_t unstamped = 0;
  const std::bitset<8192> streamPids = programStreamPids(program, &unstamped);
  std::bitset<8192> stamped;
  bool streamsDone = false;
  forEachPacketSlot(head, layout, layout.firstSlot(), [&](std::string_view bytes) {
    PacketHeader look;
    if (!readPacketHeader(bytes, look)) return true;
    const uint16_t pid = look.pid;
    tables.pidsSeen[pid] = true;
    // The packets that can change something: a clock's with a PCR, a stream's that starts a
    // PES packet or adds to the one gathered.
    const bool clock = look.pcrFlag && pid == program.pcrPid;
    const bool isStream =
        !streamsDone &&
        (look.unitStart ? streamPids[pid]
                        : (reading.audio.gathering && pid == reading.audio.pid) ||
                              (reading.video.gathering && pid == reading.video.pid));
    if (!clock && !isStream) return true;
    if (clock) {
      if (const std::optional<uint64_t> pcr = readPacketPcr(bytes)) {
        reading.pcrSpan.atHead(*pcr);
        if (tail != nullptr) tail->lastPcr = pcr;
      }
      if (!isStream) return true;
    }
    // Once a stream's first stamp and header are in, its PES starts give only their stamp to
    // the tail.
    if (tail != nullptr && look.unitStart && stamped[pid] && !reading.audio.wants(pid) &&
        !reading.video.wants(pid)) {
      if (const std::optional<uint64_t> pts = readStartStamp(bytes)) tail->add(pid, *pts, reading);
      return true;
    }
    Packet packet;
    if (!parsePacket(bytes, packet)) return true;
    PesHeader header;
    const bool starts = packet.unitStart && parsePesHeader(packet.payload, false, header);
    if (starts && header.pts) {
      // Each stream's first stamp: later ones at the head may have jumped back.
      if (!stamped[pid]) {
        stamped[pid] = true;
        --unstamped;
        reading.span.atHead(*header.pts);
      }
      if (tail != nullptr) tail->add(pid, *header.pts, reading);
    }
    for (StreamReading* stream : {&reading.audio, &reading.video}) {
      if (stream->pid == pid) gather(*stream, packet, starts ? &header : nullptr);
    }
    // Every PCR at the head counts, as the clock may jump back.
    streamsDone = tail == nullptr && unstamped == 0 &&
                  (reading.audio.pid == kNullPid || reading.audio.found) &&
                  (reading.video.pid == kNullPid || reading.video.found);
    return true;
  });
  reading.audio.tryPes();
  reading.video.tryPes();
  return reading;
}

// Adds the timestamps of the program's streams in `tail` to the spans; false when there were
// none.
bool readTail(std::string_view tail, const PacketLayout& headLayout, const ProgramMap& program,
              HeadReading& reading) {
  const std::optional<PacketLayout> layout = findPacketLayout(tail, kProbePackets);
  if (!layout || layout->packetSize != headLayout.packetSize) return false;
  const std::bitset<8192> streamPids = programStreamPids(program);
  TailStamps stamps;
  forEachPacketSlot(tail, *layout, layout->firstSlot(), [&](std::string_view bytes) {
    PacketHeader look;
    if (!readPacketHeader(bytes, look)) return true;
    if (look.pid == program.pcrPid && look.pcrFlag) {
      if (const std::optional<uint64_t> pcr = readPacketPcr(bytes)) stamps.lastPcr = pcr;
    }
    if (look.unitStart && streamPids[look.pid]) {
      if (const std::optional<uint64_t> pts = readStartStamp(bytes)) {
        stamps.add(look.pid, *pts, reading);
      }
    }
    return true;
  });
  return stamps.endSpans(reading);
}

// The bytes of the whole packet slots of `bytes` from its first one.
std::string_view wholePackets(std::string_view bytes, const PacketLayout& layout) {
  const size_t first = layout.firstSlot();
  const size_t count = (bytes.size() - first) / layout.packetSize;
  return bytes.substr(first, count * layout.packetSize);
}

// A recording repeats its service (SDT) and event (EIT) tables every two seconds or so, more
// rarely than the streams' own headers. When the head read for the streams shows those tables
// but not yet the service name or the event on air, more of the start is read, up to this.
constexpr size_t kGuideReads[] = {4 * 1024 * 1024, 8 * 1024 * 1024};
constexpr uint16_t kSdtPid = 0x11;
constexpr uint16_t kEitPids[] = {0x12, 0x26, 0x27};

// Sets the program title, description, channel, air date, start and genre the broadcast's own
// tables give for the recorded program. `head` grows when more of the file had to be read.
void readProgramGuide(RandomAccessFile& file, HeadBytes& head, const PacketLayout& layout,
                      const Tables& tables, uint16_t programNumber, MediaInfo& info) {
  const bool hasSdt = tables.pidsSeen[kSdtPid];
  bool hasEit = false;
  for (const uint16_t pid : kEitPids) hasEit = hasEit || tables.pidsSeen[pid];
  if (!hasSdt && !hasEit) return;  // a camera's or an editor's stream: no guide to read

  BroadcastProgram program;
  bool found = readBroadcastProgram(wholePackets(head.view(), layout), layout.packetSize,
                                    programNumber, program, &tables.pidsSeen);
  const uint64_t size = file.size();
  for (const size_t want : kGuideReads) {
    const bool missing = (hasEit && program.title.empty()) || (hasSdt && program.channel.empty());
    if (!missing || head.size() >= size) break;
    if (head.size() >= want) continue;
    head.extend(file, want);
    program = BroadcastProgram{};
    // The PIDs seen are those of the shorter head: the longer one is walked for every table.
    found = readBroadcastProgram(wholePackets(head.view(), layout), layout.packetSize,
                                 programNumber, program);
  }
  if (!found) return;
  info.setIfEmpty("INAM", std::move(program.title));
  info.setIfEmpty("ICMT", std::move(program.description));
  info.setIfEmpty("CHANNEL", std::move(program.channel));
  info.setIfEmpty("ICRD", std::move(program.date));
  info.setIfEmpty("START", std::move(program.start));
  info.setIfEmpty("IGNR", std::move(program.genre));
}

}  // namespace

bool probeMpegTs(std::string_view head) {
  const std::optional<PacketLayout> layout = findPacketLayout(head, kProbePackets);
  // The first packet slot starts the file (a cut recording may start mid-packet, but a file
  // whose sync bytes begin further in is more likely something else).
  return layout && layout->syncOffset == layout->leadingBytes();
}

bool readMpegTs(RandomAccessFile& file, MediaInfo& info) {
  const uint64_t size = file.size();
  // The packets are looked for in the bytes every reader has read before the longer reads.
  ReadBuffer probeStorage;
  const std::optional<PacketLayout> layout =
      findPacketLayout(viewBlock(file, 0, kHeadProbeBytes, probeStorage), kProbePackets);
  if (!layout) return false;
  HeadBytes head;
  Tables tables;
  const ProgramMap* program = nullptr;
  HeadReading reading;
  // A head that holds the whole file is its tail too: its stamps are taken in the same walk.
  TailStamps headStamps;
  bool headIsTail = false;
  for (const size_t want : kHeadReads) {
    head.extend(file, want);
    headIsTail = head.size() >= size;
    tables = readTables(head.view(), *layout);
    program = tables.recordedProgram();
    if (program != nullptr) {
      reading =
          readHead(head.view(), *layout, *program, tables, headIsTail ? &headStamps : nullptr);
    }
    if (headIsTail || (program != nullptr && reading.complete())) break;
  }

  info.type = kTypeTs;
  info.set("DOCTYPE", layout->packetSize == 192 ? u"m2ts" : u"ts");
  if (program == nullptr) return true;  // no PAT or PMT: a transport stream without values

  readProgramGuide(file, head, *layout, tables, program->programNumber, info);

  if (headIsTail) {
    headStamps.endSpans(reading);
  } else if (head.size() >= size) {  // the guide read the rest
    readTail(head.view(), *layout, *program, reading);
  } else {
    // A tail stretch may reach back into the head: a short one would hold too few packets.
    ReadBuffer tailStorage;
    for (const size_t want : kTailReads) {
      const uint64_t start = size - std::min<uint64_t>(want, size);
      const std::string_view tail =
          viewBlock(file, start, static_cast<size_t>(size - start), tailStorage);
      if (readTail(tail, *layout, *program, reading) || start == 0) break;
    }
  }

  std::optional<int64_t> ms = reading.span.milliseconds();
  if (!ms) ms = reading.pcrSpan.milliseconds();
  setStreamValues(ms, reading.audio.found ? &reading.audio.audio : nullptr,
                  reading.video.found ? &reading.video.video : nullptr, info);
  return true;
}

}  // namespace sonavid::media
