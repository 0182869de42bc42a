// The media types the plug-in names, in media type index order. The index orders the item
// lists, the data file's sections, the setup dialog's pages, the "Clm" keys and (plus one) the
// media-info dialog's type selector, so the table only ever grows at its end.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/media_reader.h"

namespace sonavid {

struct MediaType {
  MediaTypeCode code;      // the reader's type code
  std::u16string_view name;  // what the media-type macro returns, and the page and section name
  bool mayHoldVideo;       // "VFMT" is one of its base fields
};

inline constexpr int kMediaTypeCount = 16;

inline constexpr std::array<MediaType, kMediaTypeCount> kMediaTypes = {{
    {kTypeMp3, u"MP3", false},
    {kTypeWav, u"WAV", false},
    {kTypeAvi, u"AVI", true},
    {kTypeVqf, u"VQF", false},
    {kTypeWma, u"WMA", true},
    {kTypeOgg, u"OGG", false},
    {kTypeApe, u"APE", false},
    {kTypeMp4, u"MP4", true},
    {kTypeFlac, u"FLAC", false},
    {kTypeAiff, u"AIFF", false},
    {kTypeWavPack, u"WV", false},
    {kTypeDsf, u"DSF", false},
    {kTypeMatroska, u"MKV", true},
    {kTypeTs, u"TS", true},
    {kTypeMpegPs, u"MPG", true},
    {kTypeAdts, u"AAC", false},
}};

inline constexpr std::u16string_view mediaTypeName(int index) { return kMediaTypes[index].name; }

// Media type index of a type name (exact and upper case); -1 for any other.
int mediaTypeIndexOfName(std::u16string_view name);

// Media type index of a reader type code; -1 for 0, codes without a name and negative codes.
int mediaTypeIndexOfCode(int32_t code);

}  // namespace sonavid
