// Names of video codecs by their AVI FourCC.
#pragma once

#include <string>
#include <string_view>

namespace sonavid::media {

// "XviD MPEG4" for "XVID" (case of the code ignored); an unknown code gives the code itself,
// trailing blanks removed, with anything unprintable shown as '?'. Code 0 is uncompressed RGB.
std::u16string videoCodecName(std::string_view fourCc);

// The common short name of the codec of a FourCC ("MPEG-4" for "XVID", "H264", "WMV3",
// "VC-1" ...); empty for an unknown code.
std::string_view videoCodecFormat(std::string_view fourCc);

}  // namespace sonavid::media
