#include "media/builtin_reader.h"

#include <string_view>

#include "media/formats.h"
#include "media/head_tail_file.h"
#include "media/values/stream_fact_texts.h"

namespace sonavid::media {
namespace {

constexpr size_t kUsualValueCount = 48;
// Longer than any field code the readers set ("TRACK_rmp"); a longer name finds nothing.
constexpr size_t kLongestFieldCode = 32;

// The format whose signature the file starts with, or null.
const ContainerFormat* likelyFormat(std::string_view head) {
  for (const ContainerFormat& format : kContainerFormats) {
    if (format.probe(head)) return &format;
  }
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
  // The format the file starts like is tried first, so the others do not probe a file that is
  // plainly not theirs; should it turn the file down, all are tried in order.
  const ContainerFormat* likely = likelyFormat(file.head());
  if (likely != nullptr && likely->read(file, info)) return;
  // Frame syncs are found inside many containers: a file that carries another container's
  // signature is never taken for MPEG audio.
  const bool otherContainer = likely != nullptr && likely->read != readMpegAudio;
  for (const ContainerFormat& format : kContainerFormats) {
    if (&format == likely || (otherContainer && format.read == readMpegAudio)) continue;
    // Whatever a reader that turned the file down had set goes.
    info.clear();
    if (format.read(file, info)) return;
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
  const std::string_view codeView(code, name.size());
  if (const std::u16string* found = info_.find(codeView)) return found;
  // The stream-fact codes are not kept among the values: their texts are made on request.
  if (streamFactText(info_.facts, codeView, factText_)) return &factText_;
  return nullptr;
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
