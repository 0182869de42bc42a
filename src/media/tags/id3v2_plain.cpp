#include "media/tags/id3v2_plain.h"

#include <cstdint>
#include <utility>

namespace sonavid::media {

std::u16string id3v2PlainValue(const Id3v2Tag& tag, std::string_view code) {
  static constexpr std::pair<std::string_view, std::string_view> kFrames[] = {
      {"INAM", "TIT2"}, {"IART", "TPE1"}, {"IPRD", "TALB"},
      {"ICMT", "COMM"}, {"ICOP", "TCOP"}, {"TRACK", "TRCK"}};
  for (const auto& [plain, frame] : kFrames) {
    if (code == plain) return tag.text(frame);
  }
  if (code == "ICRD") {
    std::u16string year = tag.text("TYER");
    return year.empty() ? tag.text("TDRC") : year;
  }
  if (code == "IGNR") return resolveId3Genre(tag.text("TCON"));
  return {};
}

namespace {

// A four-letter frame id as one number, so that each frame is matched with a few compares.
constexpr uint32_t frameNumber(std::string_view id) {
  return id.size() != 4 ? 0
                        : uint32_t{static_cast<uint8_t>(id[0])} << 24 |
                              uint32_t{static_cast<uint8_t>(id[1])} << 16 |
                              uint32_t{static_cast<uint8_t>(id[2])} << 8 |
                              uint32_t{static_cast<uint8_t>(id[3])};
}

}  // namespace

AlbumFacts id3v2AlbumFacts(const Id3v2Tag& tag) {
  static constexpr std::pair<uint32_t, std::u16string AlbumFacts::*> kFrames[] = {
      {frameNumber("TPE2"), &AlbumFacts::albumArtist}, {frameNumber("TRCK"), &AlbumFacts::track},
      {frameNumber("TPOS"), &AlbumFacts::disc},        {frameNumber("TYER"), &AlbumFacts::date},
      {frameNumber("TCOM"), &AlbumFacts::composer},    {frameNumber("TBPM"), &AlbumFacts::bpm}};
  constexpr uint32_t kRecordingTime = frameNumber("TDRC");
  // One pass over the frames (each id is there once): most tags hold none of these.
  AlbumFacts facts;
  const std::u16string* recordingTime = nullptr;
  for (const auto& [id, text] : tag.frames) {
    const uint32_t number = frameNumber(id);
    if (number == kRecordingTime) recordingTime = &text;
    for (const auto& [frame, fact] : kFrames) {
      if (number == frame) facts.*fact = text;
    }
  }
  if (facts.date.empty() && recordingTime != nullptr) facts.date = *recordingTime;
  return facts;
}

}  // namespace sonavid::media
