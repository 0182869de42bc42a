// The times of DVB and ISDB SI tables: a 16-bit Modified Julian Date and hours, minutes and
// seconds in six BCD digits (ETSI EN 300 468 Annex C; ARIB STD-B10 uses the same form).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sonavid::media {

// Seconds since MJD 0, 00:00:00, of a 40-bit start_time or UTC_time field; nothing when the
// field is undefined (all ones) or its BCD digits are not a time of day.
std::optional<int64_t> siTimeSeconds(uint64_t field40);

// Seconds of a 24-bit BCD duration; nothing when undefined or not BCD.
std::optional<int64_t> siDurationSeconds(uint32_t field24);

// "YYYY-MM-DD" and "HHMM" of a time from siTimeSeconds.
std::u16string siDateText(int64_t seconds);
std::u16string siClockText(int64_t seconds);

}  // namespace sonavid::media
