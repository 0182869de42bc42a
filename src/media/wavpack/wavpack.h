// WavPack 4 and 5: a sequence of blocks, each a 32-byte header ("wvpk", block size - 8 (32 bits
// little-endian), version (16), the high bytes of the block index and of the total samples,
// total samples (32; 0xFFFFFFFF: unknown), block index (32), samples in the block (32), flags
// (32), CRC (32)), then metadata sub-blocks (an id byte, a size in 16-bit words: one byte, or
// three with the id's 0x80 bit; the id's 0x40 bit: one byte less of data). A multichannel
// stream has one block per channel pair in each segment, the first flagged initial and the
// last final. Tags (APEv2, ID3v1) follow the blocks.
#pragma once

#include <string_view>

#include "common/platform.h"
#include "media/media_info.h"

namespace sonavid::media {

// True when the head starts with a WavPack block header, or with an ID3v2 tag that one
// follows within the head.
bool probeWavPack(std::string_view head);

// TIME, AFMT and the APEv2 (else ID3v1) tags of a WavPack file; false when it is not one.
bool readWavPack(RandomAccessFile& file, MediaInfo& info);

}  // namespace sonavid::media
