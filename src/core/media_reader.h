// The media reader seam: the engine loads one file at a time and asks for its type code and
// named values. Implementations: the built-in reader and an adapter to an installed reader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sonavid {

// Type codes shared with the platform's reader.
enum MediaTypeCode : int32_t {
  kTypeNone = 0,
  kTypeMp3 = 1,
  kTypeWav = 2,
  kTypeAvi = 3,
  kTypeVqf = 4,
  kTypeWma = 5,
  kTypeOgg = 7,
  kTypeApe = 8,
  kTypeMp4 = 9,
  // Codes above 9 are this plug-in's own; an installed reader never reports them.
  kTypeFlac = 11,
  kTypeAiff = 12,
  kTypeWavPack = 13,
  kTypeDsf = 14,
  kTypeMatroska = 15,
  kTypeTs = 16,
  kTypeMpegPs = 17,
  kTypeAdts = 18,
};

class MediaReader {
 public:
  virtual ~MediaReader() = default;
  // Loads the file at `path` (full UTF-16 path), replacing the file held before. Returns
  // true when the file was read; a file of no supported type still loads (type 0) as long as
  // it can be opened.
  virtual bool load(std::u16string_view path) = 0;
  // Type code of the loaded file; 0 when nothing is loaded.
  virtual int32_t type() const = 0;
  // Value under a field code ("TIME", "AFMT", "VFMT", "INAM_v1" ...); empty when absent.
  virtual std::u16string value(std::u16string_view name) const = 0;
  // The same into `out`, whose memory a reader may reuse: a host asks for several values of
  // every file, and the text handed back is kept in one string.
  virtual void copyValue(std::u16string_view name, std::u16string& out) const { out = value(name); }
};

}  // namespace sonavid
