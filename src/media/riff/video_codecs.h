// Names of video codecs by their AVI FourCC.
#pragma once

#include <string>
#include <string_view>

namespace sonavid::media {

// "XviD MPEG4" for "XVID" (case of the code ignored); an unknown code gives the code itself,
// trailing blanks removed, with anything unprintable shown as '?'. Code 0 is uncompressed RGB.
std::u16string videoCodecName(std::string_view fourCc);

}  // namespace sonavid::media
