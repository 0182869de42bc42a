#include "media/tags/trailing_tags.h"

#include <cstdlib>

#include "media/block_cached_file.h"
#include "media/file_reads.h"
#include "media/tags/id3v2.h"

namespace sonavid::media {
namespace {

// Lyrics3v2 ends with six decimal digits (the block's size before them) and "LYRICS200".
constexpr size_t kLyrics3v2FooterBytes = 15;
constexpr uint64_t kLyrics3v2MaxBytes = 999999 + kLyrics3v2FooterBytes;
constexpr std::string_view kLyricsBegin = "LYRICSBEGIN";

// Start of a Lyrics3v2 block that ends at `end`, if there is one.
std::optional<uint64_t> lyrics3v2Start(RandomAccessFile& file, uint64_t end) {
  if (end < kLyrics3v2FooterBytes) return std::nullopt;
  const std::string footer = readBlock(file, end - kLyrics3v2FooterBytes, kLyrics3v2FooterBytes);
  if (footer.size() != kLyrics3v2FooterBytes || footer.compare(6, 9, "LYRICS200") != 0) {
    return std::nullopt;
  }
  uint64_t size = 0;
  for (int i = 0; i < 6; ++i) {
    if (footer[i] < '0' || footer[i] > '9') return std::nullopt;
    size = size * 10 + static_cast<uint64_t>(footer[i] - '0');
  }
  const uint64_t total = size + kLyrics3v2FooterBytes;
  if (total > kLyrics3v2MaxBytes || total > end || size < kLyricsBegin.size()) {
    return std::nullopt;
  }
  const uint64_t start = end - total;
  if (readBlock(file, start, kLyricsBegin.size()) != kLyricsBegin) return std::nullopt;
  return start;
}

// An ID3v2 tag that ends at `end` with a footer, header to footer (cut to kMaxBlockBytes).
std::optional<std::string> appendedId3v2(RandomAccessFile& file, uint64_t end) {
  if (end < 2 * kId3v2HeaderBytes) return std::nullopt;
  std::string footer = readBlock(file, end - kId3v2HeaderBytes, kId3v2HeaderBytes);
  if (footer.size() != kId3v2HeaderBytes || footer.compare(0, 3, "3DI") != 0) return std::nullopt;
  // The footer repeats the header: read as one, it gives the tag's whole size.
  footer.replace(0, 3, "ID3");
  const uint64_t size = id3v2TagSize(footer);
  if (size == 0 || size > end || (static_cast<uint8_t>(footer[5]) & 0x10) == 0) {
    return std::nullopt;
  }
  std::string tag = readBlock(file, end - size, static_cast<size_t>(size));
  if (tag.compare(0, kId3v2HeaderBytes, footer) != 0) return std::nullopt;
  return tag;
}

// Enough for an ID3v1 tag, a Lyrics3v2 footer and an APE tag of a few text items.
constexpr size_t kTailProbeBytes = 2048;

}  // namespace

TrailingTags readTrailingTags(RandomAccessFile& rawFile, uint64_t end) {
  TrailingTags tags;
  if (end > rawFile.size()) end = rawFile.size();
  const size_t probe = end < kTailProbeBytes ? static_cast<size_t>(end) : kTailProbeBytes;
  BlockCachedFile file(rawFile, end - probe, probe);
  if (end >= kId3v1Bytes) {
    // Looked at in the block read above; kept only when it is a tag.
    ReadBuffer storage;
    const std::string_view block = viewBlock(file, end - kId3v1Bytes, kId3v1Bytes, storage);
    if (block.size() == kId3v1Bytes && block.starts_with("TAG")) {
      tags.id3v1 = std::string(block);
      end -= kId3v1Bytes;
    }
  }
  auto takeId3v2 = [&] {
    if (tags.id3v2) return;
    tags.id3v2 = appendedId3v2(file, end);
    if (tags.id3v2) end -= id3v2TagSize(*tags.id3v2);
  };
  takeId3v2();
  // The APE tag is usually before the lyrics; some taggers put it after them.
  tags.ape = readApeTagEndingAt(file, end);
  if (tags.ape) end = tags.ape->start;
  if (auto lyrics = lyrics3v2Start(file, end)) {
    end = *lyrics;
    if (!tags.ape) {
      tags.ape = readApeTagEndingAt(file, end);
      if (tags.ape) end = tags.ape->start;
    }
  }
  if (tags.ape) takeId3v2();
  tags.audioEnd = end;
  return tags;
}

}  // namespace sonavid::media
