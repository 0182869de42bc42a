#include "media/builtin_reader.h"

#include <string_view>

#include "media/formats.h"
#include "media/head_tail_file.h"
#include "media/values/stream_fact_texts.h"
#include "media/values/album_facts.h"

namespace sonavid::media {
namespace {

constexpr size_t kUsualValueCount = 48;
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

std::string_view BuiltinReader::fieldCode(std::u16string_view name, CodeBuffer& buffer) {
  // Field codes are ASCII and short; anything else names no value.
  if (name.size() > buffer.size()) return {};
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == 0 || name[i] > 0x7E) return {};
    buffer[i] = static_cast<char>(name[i]);
  }
  return std::string_view(buffer.data(), name.size());
}

std::u16string BuiltinReader::value(std::u16string_view name) const {
  std::u16string out;
  copyValue(name, out);
  return out;
}

void BuiltinReader::copyValue(std::u16string_view name, std::u16string& out) const {
  CodeBuffer buffer;
  const std::string_view code = fieldCode(name, buffer);
  if (code.empty()) {
    out.clear();
  } else if (const std::u16string* found = info_.find(code)) {
    out.assign(*found);
  } else if (!albumFactText(info_.album, code, out) &&
             !streamFactText(info_.facts, code, out)) {
    // Codes a reader did not set are worked out from the facts it kept, if they are theirs.
    out.clear();
  }
}

}  // namespace sonavid::media
