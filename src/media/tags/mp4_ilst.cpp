#include "media/tags/mp4_ilst.h"

#include <string>

#include "common/text.h"
#include "media/tags/id3_genres.h"
#include "media/tags/vorbis_comment.h"

namespace sonavid::media {

namespace {

constexpr uint32_t kDataUtf8 = 1;
constexpr uint32_t kDataUtf16 = 2;

struct IlstValues {
  std::u16string title, artist, album, comment, year, genreText, group, composer, tool;
  std::u16string albumArtist;
  int genreNumber = 0;
  uint64_t tempo = 0;
  uint16_t track = 0, tracks = 0, disc = 0, discs = 0;
};

std::u16string decodeUtf16Be(std::string_view bytes) {
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>((static_cast<uint8_t>(bytes[i]) << 8) |
                                         static_cast<uint8_t>(bytes[i + 1])));
  }
  return text;
}

// The payload of the item's first "data" box, and its type.
bool firstData(ByteReader item, uint32_t& type, std::string_view& payload) {
  while (item.has(8)) {
    const uint32_t size = item.u32be();
    std::string_view name = item.bytes(4);
    if (size < 8 || size - 8 > item.remaining()) return false;
    ByteReader body = item.sub(size - 8);
    if (name != "data") continue;
    type = body.u32be() & 0xFFFFFF;
    body.skip(4);  // locale
    if (body.failed()) return false;
    payload = body.rest();
    return true;
  }
  return false;
}

uint64_t bigEndianNumber(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > 8) return 0;
  uint64_t number = 0;
  for (char c : bytes) number = (number << 8) | static_cast<uint8_t>(c);
  return number;
}

std::u16string numberOrEmpty(uint64_t number) {
  if (number == 0 || number > uint64_t{INT64_MAX}) return {};
  return toU16(static_cast<long long>(number));
}

}  // namespace

void readIlst(ByteReader ilst, MediaInfo& info) {
  IlstValues v;
  for (int n = 0; n < kMaxIlstItems && ilst.has(8); ++n) {
    const uint32_t size = ilst.u32be();
    std::string_view name = ilst.bytes(4);
    if (size < 8 || size - 8 > ilst.remaining()) break;
    ByteReader item = ilst.sub(size - 8);
    uint32_t type = 0;
    std::string_view payload;
    if (!firstData(item, type, payload)) continue;
    std::u16string text;
    // Type 0 ("implicit") texts are written by some taggers; they are UTF-8 as well.
    if (type == kDataUtf8 || type == 0) text = utf8ToUtf16(payload);
    if (type == kDataUtf16) text = decodeUtf16Be(payload);
    std::u16string* target = nullptr;
    if (name == "\xA9nam") target = &v.title;
    if (name ==
        "\xA9"
        "ART")
      target = &v.artist;
    if (name ==
        "\xA9"
        "alb")
      target = &v.album;
    if (name ==
        "\xA9"
        "cmt")
      target = &v.comment;
    if (name ==
        "\xA9"
        "day")
      target = &v.year;
    if (name == "\xA9gen") target = &v.genreText;
    if (name == "\xA9grp") target = &v.group;
    if (name == "\xA9wrt") target = &v.composer;
    if (name == "\xA9too") target = &v.tool;
    if (name == "aART") target = &v.albumArtist;
    if (target != nullptr) {
      if (target->empty()) *target = std::move(text);
      continue;
    }
    ByteReader value(payload);
    if (name == "trkn" || name == "disk") {
      // Two reserved bytes, the number, the total.
      value.skip(2);
      const uint16_t number = value.u16be();
      const uint16_t total = value.u16be();
      if (value.failed()) continue;
      (name == "trkn" ? v.track : v.disc) = number;
      (name == "trkn" ? v.tracks : v.discs) = total;
    } else if (name == "gnre") {
      // ID3v1 genre number plus one.
      v.genreNumber = value.u16be();
    } else if (name == "tmpo") {
      v.tempo = bigEndianNumber(payload);
    }
  }

  std::u16string genre = v.genreText;
  if (genre.empty() && v.genreNumber > 0) genre = std::u16string(id3GenreName(v.genreNumber - 1));
  setTagWithAliases(info, "INAM", v.title);
  setTagWithAliases(info, "IART", v.artist);
  setTagWithAliases(info, "IPRD", v.album);
  setTagWithAliases(info, "ICMT", v.comment);
  setTagWithAliases(info, "ICRD", v.year);
  setTagWithAliases(info, "IGNR", genre);
  setTagWithAliases(info, "TRACK", numberOrEmpty(v.track));
  info.set("IGRP", v.group);
  info.set("COMPOSER", v.composer);
  info.set("TOOL", v.tool);
  info.set("BPM", numberOrEmpty(v.tempo));
  info.set("TRACK1", numberOrEmpty(v.track));
  info.set("TRACK2", numberOrEmpty(v.tracks));
  info.set("DISC1", numberOrEmpty(v.disc));
  info.set("DISC2", numberOrEmpty(v.discs));
  // The codes set above answer for themselves; the facts serve AART, TRACK00 and YEAR.
  info.album.albumArtist = std::move(v.albumArtist);
  info.album.track = numberOrEmpty(v.track);
  info.album.trackTotal = numberOrEmpty(v.tracks);
  info.album.date = std::move(v.year);
}

}  // namespace sonavid::media
