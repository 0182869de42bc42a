// What a TV recording's own service information says about the program recorded: the service
// name from the SDT, and from the EIT the event on air when the recording starts (its name,
// description, start and genre). Japanese (ISDB, ARIB STD-B10) and DVB (ETSI EN 300 468)
// streams share the table layouts; they differ in the coding of texts, the genre names and the
// time zone of times (Japan Standard Time for ISDB, UTC for DVB, both kept as given).
#pragma once

#include <bitset>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace sonavid::media {

struct BroadcastProgram {
  std::u16string title;        // event name (short event descriptor)
  std::u16string description;  // short event text; line breaks as "\r\n"
  std::u16string channel;      // service name (service descriptor)
  std::u16string date;         // event start, "YYYY-MM-DD"
  std::u16string start;        // event start, "HHMM"
  std::u16string genre;        // first genre of the content descriptor, level 1
  bool isdb = false;           // the stream is ISDB (texts read as ARIB STD-B24)
};

// Reads the SDT (PID 0x11), the EIT (0x12; ISDB also sends it on 0x26 and 0x27), the NIT
// (0x10) and the TDT/TOT (0x14) from whole transport stream packets (188 bytes, 192 with a
// 4-byte time code before each, or 204 with a check code after each) for the service
// `programNumber`. The event is the "present"
// one of the EIT present/following section 0 of that service (the one running, else the one
// whose span holds the TDT/TOT time, else its first); without one, the schedule event whose
// span holds the first TDT/TOT time. True when a service name or an event was found.
// `pidsHeld`, when given, says which PIDs the packets hold: when they hold none of the tables
// but the SDT, the walk ends at the service name.
bool readBroadcastProgram(std::string_view packets, size_t packetSize, uint16_t programNumber,
                          BroadcastProgram& out, const std::bitset<8192>* pidsHeld = nullptr);

}  // namespace sonavid::media
