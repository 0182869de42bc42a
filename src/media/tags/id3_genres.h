// Genre names of ID3v1 genre numbers: the 80 original ones and the common extensions up to 191.
#pragma once

#include <string_view>

namespace sonavid::media {

// Name of genre `index`; empty for a number outside the table (255 means "no genre").
std::u16string_view id3GenreName(int index);

}  // namespace sonavid::media
