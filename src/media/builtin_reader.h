// The media reader built into the plug-in: reads the file's head, tail and headers with
// positioned reads and keeps the values of the file it loaded last.
#pragma once

#include <array>

#include "common/platform.h"
#include "core/media_reader.h"
#include "media/media_info.h"

namespace sonavid::media {

class BuiltinReader : public MediaReader {
 public:
  bool load(std::u16string_view path) override;
  int32_t type() const override { return info_.type; }
  std::u16string value(std::u16string_view name) const override;
  void copyValue(std::u16string_view name, std::u16string& out) const override;

  // Reads an opened file (used by load, the tools and the fuzz targets).
  static MediaInfo readFile(RandomAccessFile& file);
  // The same into `info`, replacing what it held and keeping its memory.
  static void readFileInto(RandomAccessFile& file, MediaInfo& info);
  const MediaInfo& info() const { return info_; }

 private:
  // Longer than any field code ("TRACK_rmp"); a longer name finds nothing.
  using CodeBuffer = std::array<char, 32>;
  // The ASCII field code `name` spells, in `buffer`; "" when it spells none.
  static std::string_view fieldCode(std::u16string_view name, CodeBuffer& buffer);

  MediaInfo info_;
};

}  // namespace sonavid::media
