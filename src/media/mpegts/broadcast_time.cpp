#include "media/mpegts/broadcast_time.h"

#include "common/text.h"

namespace sonavid::media {
namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kMjdOfUnixEpoch = 40587;  // 1970-01-01

// Two BCD digits as a number; -1 when a digit is not decimal.
int bcd(uint32_t byte) {
  const int high = (byte >> 4) & 0x0F, low = byte & 0x0F;
  return high > 9 || low > 9 ? -1 : high * 10 + low;
}

std::optional<int64_t> bcdSeconds(uint32_t field24, int maxHours) {
  const int h = bcd(field24 >> 16), m = bcd(field24 >> 8), s = bcd(field24);
  if (h < 0 || m < 0 || s < 0 || h > maxHours || m > 59 || s > 59) return std::nullopt;
  return h * 3600 + m * 60 + s;
}

}  // namespace

std::optional<int64_t> siTimeSeconds(uint64_t field40) {
  if (field40 == 0xFFFFFFFFFFull) return std::nullopt;
  const auto clock = bcdSeconds(static_cast<uint32_t>(field40 & 0xFFFFFF), 23);
  if (!clock) return std::nullopt;
  return static_cast<int64_t>(field40 >> 24) * kSecondsPerDay + *clock;
}

std::optional<int64_t> siDurationSeconds(uint32_t field24) {
  if (field24 == 0xFFFFFF) return std::nullopt;
  return bcdSeconds(field24, 99);
}

std::u16string siDateText(int64_t seconds) {
  // Civil date of a day count (days from 1970-01-01), proleptic Gregorian calendar.
  int64_t days = seconds / kSecondsPerDay - kMjdOfUnixEpoch + 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  const int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  std::u16string text;
  appendDecimal(text, static_cast<uint64_t>(year), 4);
  text.push_back(u'-');
  appendDecimal(text, static_cast<uint64_t>(month), 2);
  text.push_back(u'-');
  appendDecimal(text, static_cast<uint64_t>(day), 2);
  return text;
}

std::u16string siClockText(int64_t seconds) {
  const int64_t ofDay = seconds % kSecondsPerDay;
  std::u16string text;
  appendDecimal(text, static_cast<uint64_t>(ofDay / 3600), 2);
  appendDecimal(text, static_cast<uint64_t>(ofDay / 60 % 60), 2);
  return text;
}

}  // namespace sonavid::media
