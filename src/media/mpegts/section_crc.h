// The CRC-32 that ends every long-form table section of a transport stream.
#pragma once

#include <cstdint>
#include <string_view>

namespace sonavid::media {

// The CRC-32 of MPEG-2 sections (polynomial 0x04C11DB7, initial value all ones, no reflection,
// no final inversion). Over a whole section, CRC field included, it is 0.
uint32_t mpeg2Crc32(std::string_view bytes);

}  // namespace sonavid::media
