#include "media/mpegts/broadcast_tables.h"

#include <optional>
#include <vector>

#include "common/arib_text.h"
#include "common/dvb_text.h"
#include "media/byte_reader.h"
#include "media/mpegts/broadcast_genres.h"
#include "media/mpegts/broadcast_sections.h"
#include "media/mpegts/broadcast_time.h"

namespace sonavid::media {
namespace {

// PIDs of the SI tables (ARIB STD-B10 adds 0x23-0x29 for its own tables and EITs).
constexpr uint16_t kNitPid = 0x10;
constexpr uint16_t kSdtPid = 0x11;
constexpr uint16_t kEitPid = 0x12;
constexpr uint16_t kTimePid = 0x14;
constexpr uint16_t kSdttPid = 0x23;
constexpr uint16_t kBitPid = 0x24;
constexpr uint16_t kMediumEitPid = 0x26;
constexpr uint16_t kLowEitPid = 0x27;
constexpr uint16_t kSdttPid2 = 0x28;
constexpr uint16_t kCdtPid = 0x29;

constexpr uint8_t kNitActual = 0x40;
constexpr uint8_t kSdtActual = 0x42;
constexpr uint8_t kEitPresentFollowing = 0x4E;
constexpr uint8_t kEitScheduleFirst = 0x50;
constexpr uint8_t kEitScheduleLast = 0x5F;
constexpr uint8_t kTdt = 0x70;
constexpr uint8_t kTot = 0x73;
constexpr uint8_t kIsdbSdtt = 0xC3;
constexpr uint8_t kIsdbBit = 0xC4;
constexpr uint8_t kIsdbCdt = 0xC8;

constexpr uint8_t kServiceDescriptor = 0x48;
constexpr uint8_t kShortEventDescriptor = 0x4D;
constexpr uint8_t kContentDescriptor = 0x54;
constexpr uint8_t kLocalTimeOffsetDescriptor = 0x58;

constexpr uint8_t kRunning = 4;  // running_status

// Bounds on the work of one file: sections read, and schedule events kept.
constexpr size_t kMaxSectionsRead = 20000;
constexpr size_t kMaxScheduleEvents = 256;

constexpr size_t kCrcBytes = 4;

struct Event {
  std::optional<int64_t> start;     // seconds, see siTimeSeconds
  std::optional<int64_t> duration;  // seconds
  int runningStatus = 0;
  std::string name, text;  // coded texts of the short event descriptor
  int genre = -1;          // content_nibble_level_1 of the first genre

  bool spans(int64_t time) const {
    return start && duration && time >= *start && time - *start < *duration;
  }
};

// ISDB original_network_id values: BS (0x0004), the CS networks (0x0006, 0x0007) and the
// terrestrial range of ARIB TR-B14 (0x7880-0x7FE8).
bool isIsdbNetworkId(uint16_t id) {
  return id == 0x0004 || id == 0x0006 || id == 0x0007 || (id >= 0x7880 && id <= 0x7FE8);
}

uint64_t u40(ByteReader& reader) {
  const uint64_t high = reader.u8();
  return (high << 32) | reader.u32be();
}

class ProgramCollector {
 public:
  // With `serviceOnly`, the packets hold no table but the SDT: the service name is all there
  // is to find.
  ProgramCollector(uint16_t serviceId, bool serviceOnly)
      : serviceId_(serviceId), serviceOnly_(serviceOnly) {}

  // False once everything needed has been seen.
  bool section(uint16_t pid, std::string_view bytes) {
    const uint8_t tableId = static_cast<uint8_t>(bytes[0]);
    const bool hasCrc = static_cast<uint8_t>(bytes[1]) & 0x80;
    ByteReader reader(bytes.substr(0, bytes.size() - (hasCrc ? kCrcBytes : 0)));
    reader.skip(3);
    if (pid == kMediumEitPid || pid == kLowEitPid || tableId == kIsdbSdtt || tableId == kIsdbBit ||
        tableId == kIsdbCdt) {
      isdb_ = true;
    }
    if (pid == kNitPid && tableId == kNitActual) {
      if (isIsdbNetworkId(reader.u16be())) isdb_ = true;
    } else if (pid == kSdtPid && tableId == kSdtActual && hasCrc) {
      serviceTable(reader);
    } else if ((pid == kEitPid || pid == kMediumEitPid || pid == kLowEitPid) && hasCrc) {
      if (tableId == kEitPresentFollowing ||
          (tableId >= kEitScheduleFirst && tableId <= kEitScheduleLast)) {
        eventTable(reader, tableId);
      }
    } else if (pid == kTimePid && (tableId == kTdt || tableId == kTot)) {
      timeTable(reader, tableId);
    }
    if (serviceOnly_) return !serviceName_;
    return !(serviceName_ && present_ && (clock_ || !needsClock()));
  }

  bool result(BroadcastProgram& out) const {
    out = BroadcastProgram();
    out.isdb = isdb_;
    const auto decode = [this](std::string_view text) {
      return isdb_ ? decodeAribText(text) : decodeDvbText(text);
    };
    if (serviceName_) out.channel = decode(*serviceName_);
    const Event* event = chosenEvent();
    if (event) {
      out.title = decode(event->name);
      out.description = decode(event->text);
      if (event->start) {
        out.date = siDateText(*event->start);
        out.start = siClockText(*event->start);
      }
      out.genre = isdb_ ? isdbGenreName(event->genre) : dvbGenreName(event->genre);
    }
    return serviceName_ || event;
  }

 private:
  // SDT: transport_stream_id, version, section numbers, original_network_id, then per service
  // its id, EIT flags, running status and descriptors.
  void serviceTable(ByteReader& reader) {
    reader.skip(2 + 1 + 1 + 1);
    if (isIsdbNetworkId(reader.u16be())) isdb_ = true;
    reader.skip(1);
    while (reader.has(5) && !serviceName_) {
      const uint16_t serviceId = reader.u16be();
      reader.skip(1);
      ByteReader descriptors = reader.sub(reader.u16be() & 0x0FFF);
      if (serviceId != serviceId_) continue;
      forEachDescriptor(descriptors, [this](uint8_t tag, ByteReader& body) {
        if (tag != kServiceDescriptor) return;
        body.skip(1);          // service_type
        body.skip(body.u8());  // provider name
        const std::string_view name = body.bytes(body.u8());
        if (body.ok()) serviceName_ = std::string(name);
      });
    }
  }

  // EIT: service_id, version, section numbers, transport_stream_id, original_network_id,
  // segment_last_section_number, last_table_id, then the events.
  void eventTable(ByteReader& reader, uint8_t tableId) {
    const uint16_t serviceId = reader.u16be();
    reader.skip(1);
    const uint8_t sectionNumber = reader.u8();
    reader.skip(1 + 2);
    if (isIsdbNetworkId(reader.u16be())) isdb_ = true;
    reader.skip(2);
    if (!reader.ok() || serviceId != serviceId_) return;
    const bool present = tableId == kEitPresentFollowing && sectionNumber == 0;
    if (present && present_) return;  // the first one seen is the one at the start
    if (!present && (tableId == kEitPresentFollowing || schedule_.size() >= kMaxScheduleEvents)) {
      return;
    }
    std::vector<Event> events;
    while (reader.has(12)) {
      Event event;
      reader.skip(2);  // event_id
      event.start = siTimeSeconds(u40(reader));
      event.duration = siDurationSeconds(reader.u24be());
      const uint16_t statusAndLength = reader.u16be();
      event.runningStatus = statusAndLength >> 13;
      ByteReader descriptors = reader.sub(statusAndLength & 0x0FFF);
      forEachDescriptor(descriptors, [&event](uint8_t tag, ByteReader& body) {
        if (tag == kShortEventDescriptor && event.name.empty()) {
          body.skip(3);  // ISO_639_language_code
          const std::string_view name = body.bytes(body.u8());
          const std::string_view text = body.bytes(body.u8());
          event.name = name;
          event.text = text;
        } else if (tag == kContentDescriptor && event.genre < 0 && body.has(1)) {
          event.genre = body.u8() >> 4;
        }
      });
      events.push_back(std::move(event));
    }
    if (present) {
      present_ = std::move(events);
    } else {
      for (Event& event : events) {
        if (schedule_.size() < kMaxScheduleEvents) schedule_.push_back(std::move(event));
      }
    }
  }

  // TDT: UTC_time. TOT: UTC_time, then descriptors; a local time offset for Japan is a sign of
  // ISDB (whose "UTC_time" is Japan Standard Time).
  void timeTable(ByteReader& reader, uint8_t tableId) {
    const std::optional<int64_t> time = siTimeSeconds(u40(reader));
    if (!reader.ok()) return;
    if (time && !clock_) clock_ = time;
    if (tableId != kTot) return;
    ByteReader descriptors = reader.sub(reader.u16be() & 0x0FFF);
    forEachDescriptor(descriptors, [this](uint8_t tag, ByteReader& body) {
      if (tag == kLocalTimeOffsetDescriptor && body.bytes(3) == "JPN") isdb_ = true;
    });
  }

  template <typename Visit>
  static void forEachDescriptor(ByteReader& descriptors, Visit visit) {
    while (descriptors.has(2)) {
      const uint8_t tag = descriptors.u8();
      ByteReader body = descriptors.sub(descriptors.u8());
      if (!descriptors.ok()) return;
      visit(tag, body);
    }
  }

  // The wall clock decides between present events only when none of them says it is running.
  bool needsClock() const {
    if (present_->size() <= 1) return false;
    for (const Event& event : *present_) {
      if (event.runningStatus == kRunning) return false;
    }
    return true;
  }

  const Event* chosenEvent() const {
    if (present_ && !present_->empty()) {
      for (const Event& event : *present_) {
        if (event.runningStatus == kRunning) return &event;
      }
      if (clock_) {
        for (const Event& event : *present_) {
          if (event.spans(*clock_)) return &event;
        }
      }
      return &present_->front();
    }
    if (clock_) {
      for (const Event& event : schedule_) {
        if (event.spans(*clock_)) return &event;
      }
    }
    return nullptr;
  }

  uint16_t serviceId_;
  bool serviceOnly_;
  bool isdb_ = false;
  std::optional<std::string> serviceName_;
  std::optional<std::vector<Event>> present_;
  std::vector<Event> schedule_;
  std::optional<int64_t> clock_;
};

}  // namespace

bool readBroadcastProgram(std::string_view packets, size_t packetSize, uint16_t programNumber,
                          BroadcastProgram& out, const std::bitset<8192>* pidsHeld) {
  static constexpr uint16_t kOtherPids[] = {kNitPid,       kEitPid,   kTimePid,  kSdttPid, kBitPid,
                                            kMediumEitPid, kLowEitPid, kSdttPid2, kCdtPid};
  bool serviceOnly = pidsHeld != nullptr;
  for (const uint16_t pid : kOtherPids) serviceOnly = serviceOnly && !(*pidsHeld)[pid];
  ProgramCollector collector(programNumber, serviceOnly);
  forEachSection(packets, packetSize,
                 {kNitPid, kSdtPid, kEitPid, kTimePid, kSdttPid, kBitPid, kMediumEitPid, kLowEitPid,
                  kSdttPid2, kCdtPid},
                 kMaxSectionsRead, [&collector](uint16_t pid, std::string_view section) {
                   return collector.section(pid, section);
                 });
  return collector.result(out);
}

}  // namespace sonavid::media
