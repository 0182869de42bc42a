#include "media/builtin_reader.h"

#include "media/formats.h"

namespace sonavid::media {

MediaInfo BuiltinReader::readFile(RandomAccessFile& file) {
  using Reader = bool (*)(RandomAccessFile&, MediaInfo&);
  // Strong signatures first; MPEG audio has only a frame sync and goes last.
  static constexpr Reader kReaders[] = {readRiff, readAsf,    readOgg,      readMonkeys,
                                        readMp4,  readTwinVq, readMpegAudio};
  for (Reader reader : kReaders) {
    MediaInfo info;
    if (reader(file, info)) return info;
  }
  return {};
}

bool BuiltinReader::load(std::u16string_view path) {
  info_ = MediaInfo{};
  auto file = platform().openForReading(path);
  if (!file) return false;
  info_ = readFile(*file);
  return true;
}

std::u16string BuiltinReader::value(std::u16string_view name) const {
  // Field codes are ASCII; anything else names no value.
  std::string code;
  code.reserve(name.size());
  for (char16_t c : name) {
    if (c == 0 || c > 0x7E) return {};
    code.push_back(static_cast<char>(c));
  }
  const std::u16string* found = info_.find(code);
  return found ? *found : std::u16string();
}

}  // namespace sonavid::media
