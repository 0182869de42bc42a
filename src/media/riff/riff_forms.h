// The RIFF forms the built-in reader knows. Each reads the chunks from offset 12 (after
// "RIFF", the size and the form type) up to `end` and fills `info`.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/platform.h"
#include "media/media_info.h"
#include "media/riff/riff_chunks.h"

namespace sonavid::media {

void readWaveForm(RandomAccessFile& file, uint64_t end, MediaInfo& info);
void readAviForm(RandomAccessFile& file, uint64_t end, MediaInfo& info);
void readRmp3Form(RandomAccessFile& file, uint64_t end, MediaInfo& info);

// When `list` (a LIST chunk) is an INFO list, sets its codes as addRiffInfoValues does. The list
// is read up to kMaxInfoListBytes.
inline constexpr size_t kMaxInfoListBytes = 256 * 1024;
void addInfoListValues(RandomAccessFile& file, const RiffChunk& list, std::string_view suffix,
                       MediaInfo& info);

// Sets the INFO list codes (INAM, ISBJ, IART, IPRD, ICMT, ICRD, IGNR, ICOP, ISFT, ISRC, IENG
// and TRACK from ITRK or IPRT) with `suffix` appended ("" for WAV and AVI, "_rmp").
void addRiffInfoValues(const std::vector<std::pair<std::string, std::u16string>>& items,
                       std::string_view suffix, MediaInfo& info);

}  // namespace sonavid::media
