// Names of the first level of the content descriptor's genre (content_nibble_level_1).
#pragma once

#include <string_view>

namespace sonavid::media {

// ARIB STD-B10 (Japanese) or ETSI EN 300 468 (English) name of a level-1 genre; empty for the
// reserved and user-defined values.
std::u16string_view isdbGenreName(int level1);
std::u16string_view dvbGenreName(int level1);

}  // namespace sonavid::media
