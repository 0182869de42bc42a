#include "media/values/album_facts.h"

#include <cstdint>

#include "common/text.h"

namespace sonavid::media {
namespace {

// Counts and tempos above this are no real album's: such a text is taken for damage.
constexpr uint32_t kMaxDigits = 6;

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0; }

std::u16string_view trimmed(std::u16string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// "12" of "3/12" (a number and its total); "" when there is no slash.
std::u16string_view afterSlash(std::u16string_view pair) {
  const size_t slash = pair.find(u'/');
  return slash == std::u16string_view::npos ? std::u16string_view() : pair.substr(slash + 1);
}

std::u16string_view beforeSlash(std::u16string_view pair) {
  return pair.substr(0, pair.find(u'/'));
}

// A count written in decimal digits only, blanks around it allowed ("03" is 3); 0 when the
// text is anything else or the count is 0, which no tag means as a count.
uint32_t countOf(std::u16string_view text) {
  text = trimmed(text);
  if (text.empty() || text.size() > kMaxDigits) return 0;
  uint32_t count = 0;
  for (char16_t c : text) {
    if (!isDigit(c)) return 0;
    count = count * 10 + static_cast<uint32_t>(c - u'0');
  }
  return count;
}

// The total of a number/total pair: the one stored on its own, else the one after the slash.
uint32_t totalOf(std::u16string_view pair, std::u16string_view ownTotal) {
  const uint32_t own = countOf(ownTotal);
  return own != 0 ? own : countOf(afterSlash(pair));
}

uint32_t digitCount(uint32_t value) {
  uint32_t digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

void putCount(uint32_t count, std::u16string& out) {
  if (count != 0) appendDecimal(out, count);
}

// The year of a date text: its first run of four digits, or the first four of a run of eight
// ("20190301"). "2019-03-01T08:00:00Z", "2019", "01.03.2019" all give 2019.
void putYear(std::u16string_view date, std::u16string& out) {
  size_t i = 0;
  while (i < date.size()) {
    if (!isDigit(date[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < date.size() && isDigit(date[end])) ++end;
    if (end - i == 4 || end - i == 8) {
      const std::u16string_view year = date.substr(i, 4);
      if (year != u"0000") out.assign(year);
      return;
    }
    i = end;
  }
}

// A tempo as a whole number, rounded: "128", "127.9" and "128,0" all give 128.
void putTempo(std::u16string_view text, std::u16string& out) {
  text = trimmed(text);
  size_t point = 0;
  while (point < text.size() && isDigit(text[point])) ++point;
  if (point == 0 || point > kMaxDigits) return;
  uint32_t whole = countOf(text.substr(0, point));
  if (point < text.size()) {
    const std::u16string_view fraction = text.substr(point + 1);
    if ((text[point] != u'.' && text[point] != u',') || fraction.empty()) return;
    for (char16_t c : fraction) {
      if (!isDigit(c)) return;
    }
    if (fraction[0] >= u'5') ++whole;
  }
  putCount(whole, out);
}

}  // namespace

void AlbumFacts::fillFrom(const AlbumFacts& lower) {
  auto fill = [](std::u16string& mine, const std::u16string& theirs) {
    if (mine.empty()) mine = theirs;
  };
  fill(albumArtist, lower.albumArtist);
  fill(date, lower.date);
  fill(composer, lower.composer);
  fill(bpm, lower.bpm);
  // A number and its total may come from different tags ("3" in one, "3/12" in the next).
  auto fillPair = [&](std::u16string& number, std::u16string& total, const std::u16string& pair,
                      const std::u16string& ownTotal) {
    fill(number, pair);
    if (totalOf(number, total) == 0) {
      const uint32_t theirs = totalOf(pair, ownTotal);
      if (theirs != 0) {
        total.clear();
        appendDecimal(total, theirs);
      }
    }
  };
  fillPair(track, trackTotal, lower.track, lower.trackTotal);
  fillPair(disc, discTotal, lower.disc, lower.discTotal);
}

void AlbumFacts::clear() {
  albumArtist.clear();
  track.clear();
  trackTotal.clear();
  disc.clear();
  discTotal.clear();
  date.clear();
  composer.clear();
  bpm.clear();
}

bool albumFactText(const AlbumFacts& facts, std::string_view code, std::u16string& out) {
  if (code == "AART") {
    out = facts.albumArtist;
  } else if (code == "COMPOSER") {
    out = facts.composer;
  } else if (code == "TRACK1") {
    out.clear();
    putCount(countOf(beforeSlash(facts.track)), out);
  } else if (code == "TRACK2") {
    out.clear();
    putCount(totalOf(facts.track, facts.trackTotal), out);
  } else if (code == "TRACK00") {
    out.clear();
    const uint32_t number = countOf(beforeSlash(facts.track));
    if (number == 0) return true;
    const uint32_t total = totalOf(facts.track, facts.trackTotal);
    const uint32_t width = total != 0 && digitCount(total) > 2 ? digitCount(total) : 2;
    appendDecimal(out, number, static_cast<int>(width));
  } else if (code == "DISC1") {
    out.clear();
    putCount(countOf(beforeSlash(facts.disc)), out);
  } else if (code == "DISC2") {
    out.clear();
    putCount(totalOf(facts.disc, facts.discTotal), out);
  } else if (code == "YEAR") {
    out.clear();
    putYear(facts.date, out);
  } else if (code == "BPM") {
    out.clear();
    putTempo(facts.bpm, out);
  } else {
    return false;
  }
  return true;
}

}  // namespace sonavid::media
