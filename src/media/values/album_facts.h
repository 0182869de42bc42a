// The album facts of a file's tags (album artist, track and disc numbers and totals, date,
// composer, tempo), kept as the tag stores them while the file is read. The field codes that
// show them (AART, TRACK1, TRACK2, TRACK00, DISC1, DISC2, YEAR, COMPOSER, BPM) are worked out
// from these texts only when they are asked for, so a file pays nothing for a fact its tags
// do not hold.
#pragma once

#include <string>
#include <string_view>

namespace sonavid::media {

struct AlbumFacts {
  std::u16string albumArtist;
  std::u16string track;       // as stored: "3", "03" or "3/12"
  std::u16string trackTotal;  // a total stored on its own (TRACKTOTAL, trkn's second number)
  std::u16string disc;        // "1" or "1/2"
  std::u16string discTotal;
  std::u16string date;  // any date text: "2019", "2019-03-01T08:00:00Z"
  std::u16string composer;
  std::u16string bpm;

  // Takes each fact this one lacks from a tag of lower precedence. A total counts as there when
  // it is stored on its own or after the number ("3/12").
  void fillFrom(const AlbumFacts& lower);
  void clear();
};

// The text of an album-fact field code into `out`; false (and `out` untouched) for any other
// code. A fact the tags do not give, or give as no usable number, is "".
bool albumFactText(const AlbumFacts& facts, std::string_view code, std::u16string& out);

}  // namespace sonavid::media
