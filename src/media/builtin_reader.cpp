#include "media/builtin_reader.h"

#include <string_view>

#include "media/formats.h"
#include "media/head_tail_file.h"
#include "media/tags/id3v2.h"

namespace sonavid::media {
namespace {

using Reader = bool (*)(RandomAccessFile&, MediaInfo&);
constexpr size_t kUsualValueCount = 48;
// Longer than any field code the readers set ("TRACK_rmp"); a longer name finds nothing.
constexpr size_t kLongestFieldCode = 32;
// Strong signatures first; MPEG audio has only a frame sync and goes last.
constexpr Reader kReaders[] = {readRiff, readAsf,    readOgg,      readMonkeys,
                               readMp4,  readTwinVq, readMpegAudio};

constexpr std::string_view kAsfHeaderGuid(
    "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
// Matroska and WebM (EBML): no reader here, but they carry MPEG audio frames and are not MP3
// files.
constexpr std::string_view kEbmlMagic("\x1A\x45\xDF\xA3", 4);
// Box types an MP4 file may start with.
constexpr std::string_view kMp4FirstBoxes[] = {"ftyp", "moov", "mdat", "wide", "free", "skip"};

bool mpegSyncAt(std::string_view head, uint64_t pos) {
  return pos < head.size() && head.size() - pos >= 2 && static_cast<uint8_t>(head[pos]) == 0xFF &&
         (static_cast<uint8_t>(head[pos + 1]) & 0xE0) == 0xE0;
}

// The reader whose signature the file starts with. It is tried first, so the others do not
// probe a file that is plainly not theirs; should it turn the file down, all are tried in
// order.
Reader likelyReader(std::string_view head) {
  if (head.starts_with("RIFF") || head.starts_with("RF64") || head.starts_with("BW64")) {
    return readRiff;
  }
  if (head.starts_with(kAsfHeaderGuid)) return readAsf;
  if (head.starts_with("OggS")) return readOgg;
  if (head.starts_with("MAC ")) return readMonkeys;
  if (head.starts_with("TWIN")) return readTwinVq;
  if (head.size() >= 8) {
    for (std::string_view box : kMp4FirstBoxes) {
      if (head.substr(4, 4) == box) return readMp4;
    }
  }
  // After an ID3v2 tag: Monkey's Audio or MPEG audio.
  const uint64_t tagSize = id3v2TagSize(head);
  if (tagSize < head.size() && head.size() - tagSize >= 4 &&
      head.substr(static_cast<size_t>(tagSize), 4) == "MAC ") {
    return readMonkeys;
  }
  if (mpegSyncAt(head, tagSize)) return readMpegAudio;
  return nullptr;
}

}  // namespace

MediaInfo BuiltinReader::readFile(RandomAccessFile& file) {
  MediaInfo info;
  readFileInto(file, info);
  return info;
}

void BuiltinReader::readFileInto(RandomAccessFile& rawFile, MediaInfo& info) {
  // One read at the start of the file serves the signature checks and, for most files, the
  // headers too; one read at the end serves the trailing tags, chunks and boxes found there.
  HeadTailFile file(rawFile, kHeadProbeBytes, kTailBlockBytes);
  // Room for the values of a tagged file (tags come under several names each), so the list
  // is not grown step by step.
  info.clear();
  info.reserve(kUsualValueCount);
  const Reader likely = likelyReader(file.head());
  if (likely != nullptr && likely(file, info)) return;
  // Frame syncs are found inside many containers: a file that carries another container's
  // signature is never taken for MPEG audio.
  const bool otherContainer =
      (likely != nullptr && likely != readMpegAudio) || file.head().starts_with(kEbmlMagic);
  for (Reader reader : kReaders) {
    if (reader == likely || (otherContainer && reader == readMpegAudio)) continue;
    // Whatever a reader that turned the file down had set goes.
    info.clear();
    if (reader(file, info)) return;
  }
  info.clear();
}

bool BuiltinReader::load(std::u16string_view path) {
  // The values are cleared in place: their list keeps its memory from one file to the next.
  info_.clear();
  auto file = platform().openForReading(path);
  if (!file) return false;
  readFileInto(*file, info_);
  return true;
}

const std::u16string* BuiltinReader::find(std::u16string_view name) const {
  // Field codes are ASCII and short; anything else names no value.
  char code[kLongestFieldCode];
  if (name.size() > sizeof code) return nullptr;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == 0 || name[i] > 0x7E) return nullptr;
    code[i] = static_cast<char>(name[i]);
  }
  return info_.find(std::string_view(code, name.size()));
}

std::u16string BuiltinReader::value(std::u16string_view name) const {
  const std::u16string* found = find(name);
  return found ? *found : std::u16string();
}

void BuiltinReader::copyValue(std::u16string_view name, std::u16string& out) const {
  const std::u16string* found = find(name);
  if (found) {
    out.assign(*found);
  } else {
    out.clear();
  }
}

}  // namespace sonavid::media
