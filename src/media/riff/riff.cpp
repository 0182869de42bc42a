// RIFF files: "RIFF", a 32-bit little-endian size, a form type ("WAVE", "AVI ", "RMP3"), then
// chunks. RF64 and BW64 files (WAVE only) have 0xFFFFFFFF in the sizes that do not fit 32 bits
// and give them in a "ds64" chunk, the first one.
#include "core/media_reader.h"
#include "media/block_cached_file.h"
#include "media/byte_reader.h"
#include "media/file_reads.h"
#include "media/formats.h"
#include "media/read_ahead_file.h"
#include "media/riff/riff_forms.h"
#include "media/tags/riff_info.h"

namespace sonavid::media {
namespace {

// AVI header lists are longer than the head: muxers leave room for an index of indexes
// after each stream's headers. The chunks after such padding are read a block of this much at
// a time, which holds the next stream's headers, or the padding's end and the movie list's
// header.
constexpr size_t kAviReadAheadBytes = 2048;

}  // namespace

bool probeRiff(std::string_view head) {
  return head.starts_with("RIFF") || head.starts_with("RF64") || head.starts_with("BW64");
}

bool readRiff(RandomAccessFile& rawFile, MediaInfo& info) {
  // The head covers the header chunks of usual WAV files; longer lists are read on their own.
  BlockCachedFile file(rawFile, 0, kHeadProbeBytes);
  ByteReader in(file.block());
  const std::string_view magic = in.bytes(4);
  if (magic != "RIFF" && magic != "RF64" && magic != "BW64") return false;
  in.skip(4);  // the declared size
  const std::string_view form = in.bytes(4);
  if (!in.ok() || (magic != "RIFF" && form != "WAVE")) return false;
  // Chunks are walked to the end of the file, not of the declared size: writers that never
  // finished leave 0, 0xFFFFFFFF or a stale size there, and INFO lists get appended after it.
  // OpenDML AVI files go on in further RIFF chunks.
  const uint64_t size = file.size();
  if (form == "WAVE") {
    info.type = kTypeWav;
    readWaveForm(file, size, info);
  } else if (form == "AVI ") {
    info.type = kTypeAvi;
    ReadAheadFile aviFile(rawFile, kAviReadAheadBytes);
    readAviForm(aviFile, size, info);
  } else if (form == "RMP3") {
    info.type = kTypeMp3;
    readRmp3Form(file, size, info);
  } else {
    return false;
  }
  return true;
}

void addInfoListValues(RandomAccessFile& file, const RiffChunk& list, std::string_view suffix,
                       MediaInfo& info) {
  if (list.size < 4) return;
  const std::string bytes =
      readBlock(file, list.dataOffset,
                static_cast<size_t>(list.size < kMaxInfoListBytes ? list.size : kMaxInfoListBytes));
  if (bytes.compare(0, 4, "INFO") == 0) {
    addRiffInfoValues(parseRiffInfo(std::string_view(bytes).substr(4)), suffix, info);
  }
}

void addRiffInfoValues(const std::vector<std::pair<std::string, std::u16string>>& items,
                       std::string_view suffix, MediaInfo& info) {
  static constexpr std::string_view kCodes[] = {"INAM", "ISBJ", "IART", "IPRD", "ICMT", "ICRD",
                                                "IGNR", "ICOP", "ISFT", "ISRC", "IENG"};
  auto put = [&](std::string_view code, const std::u16string& value) {
    if (value.empty()) return;
    std::string key(code);
    key += suffix;
    info.setIfEmpty(key, value);
  };
  for (const auto& [id, value] : items) {
    for (std::string_view code : kCodes) {
      if (id == code) put(code, value);
    }
    if (id == "ITRK" || id == "IPRT") {
      put("TRACK", value);
      if (info.album.track.empty()) info.album.track = value;
    }
  }
}

}  // namespace sonavid::media
