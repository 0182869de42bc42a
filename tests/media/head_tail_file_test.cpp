// The head-and-tail cache the built-in reader puts in front of every file, and the few reads a
// whole load costs with it.
#include "media/head_tail_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "media/block_cached_file.h"
#include "media/builtin_reader.h"
#include "media/memory_file.h"
#include "media/read_ahead_file.h"

namespace sonavid::media {
namespace {

// Bytes 0, 1, 2 ... (mod 251), so every offset is recognisable.
std::string numbered(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
  return bytes;
}

// Counts the bytes the cache asks of the file.
class ByteCountingFile : public MemoryFile {
 public:
  using MemoryFile::MemoryFile;
  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    const size_t got = MemoryFile::readAt(offset, buffer, count);
    bytesRead += got;
    return got;
  }
  size_t bytesRead = 0;
};

std::string readThrough(RandomAccessFile& file, uint64_t offset, size_t count) {
  std::string out(count, '\0');
  out.resize(file.readAt(offset, out.data(), count));
  return out;
}

TEST(HeadTailFile, ServesHeadAndTailFromTwoReadsAndPassesTheRestOn) {
  const std::string bytes = numbered(100000);
  ByteCountingFile raw(bytes);
  HeadTailFile file(raw, 4096, 4096);
  EXPECT_EQ(raw.readCalls(), 1);
  EXPECT_EQ(file.head(), bytes.substr(0, 4096));

  EXPECT_EQ(readThrough(file, 10, 100), bytes.substr(10, 100));
  EXPECT_EQ(readThrough(file, 100000 - 128, 128), bytes.substr(100000 - 128, 128));
  EXPECT_EQ(readThrough(file, 100000 - 4096, 32), bytes.substr(100000 - 4096, 32));
  EXPECT_EQ(raw.readCalls(), 2);  // the tail is read once, on the first read near the end

  // Past the end: what the file has, then nothing.
  EXPECT_EQ(readThrough(file, 100000 - 10, 64), bytes.substr(100000 - 10));
  EXPECT_EQ(readThrough(file, 100000, 8), "");
  EXPECT_EQ(raw.readCalls(), 2);

  // Reads across the head's or the tail's edge, and in between, go to the file; one that
  // begins in the head asks the file only for what follows the head.
  EXPECT_EQ(readThrough(file, 4000, 200), bytes.substr(4000, 200));
  EXPECT_EQ(raw.bytesRead, 4096u + 4096u + 104u);
  EXPECT_EQ(readThrough(file, 100000 - 4100, 10), bytes.substr(100000 - 4100, 10));
  EXPECT_EQ(readThrough(file, 50000, 16), bytes.substr(50000, 16));
  EXPECT_EQ(raw.readCalls(), 5);
}

TEST(HeadTailFile, HeldBytesAreLookedAtInPlaceByTheCachesAboveIt) {
  const std::string bytes = numbered(100000);
  MemoryFile raw(bytes);
  HeadTailFile file(raw, 4096, 2048);
  EXPECT_EQ(file.heldBytes(100, 50), bytes.substr(100, 50));
  EXPECT_EQ(file.heldBytes(4000, 200), "");  // crosses the head's end
  EXPECT_EQ(file.heldBytes(99000, 16), "");  // the tail is not read yet
  EXPECT_EQ(readThrough(file, 99000, 16), bytes.substr(99000, 16));
  EXPECT_EQ(file.heldBytes(98000, 2000), bytes.substr(98000));
  // A block cache over the head, and a parser's view of a block, cost no read of the file.
  BlockCachedFile block(file, 0, 4096);
  const size_t readsBefore = static_cast<size_t>(raw.readCalls());
  ReadBuffer storage;
  EXPECT_EQ(block.block(), bytes.substr(0, 4096));
  EXPECT_EQ(viewBlock(block, 512, 1024, storage), bytes.substr(512, 1024));
  EXPECT_EQ(viewBlock(block, 98500, 4000, storage), bytes.substr(98500));  // cut at the end
  EXPECT_EQ(static_cast<size_t>(raw.readCalls()), readsBefore);
  // Elsewhere the block is read, into memory that is reused.
  EXPECT_EQ(viewBlock(block, 50000, 300, storage), bytes.substr(50000, 300));
  EXPECT_EQ(viewBlock(block, 60000, 100, storage), bytes.substr(60000, 100));
  EXPECT_EQ(static_cast<size_t>(raw.readCalls()), readsBefore + 2);
  EXPECT_EQ(viewBlock(block, 100000, 10, storage), "");
}

TEST(HeadTailFile, SmallFilesAreReadOnceAndTheTailNeverOverlapsTheHead) {
  for (size_t size : {0u, 10u, 4096u}) {
    SCOPED_TRACE(size);
    const std::string bytes = numbered(size);
    MemoryFile raw(bytes);
    HeadTailFile file(raw, 4096, 4096);
    EXPECT_EQ(readThrough(file, 0, size + 10), bytes);
    EXPECT_EQ(readThrough(file, size / 2, 4096), bytes.substr(size / 2));
    EXPECT_LE(raw.readCalls(), 1);
  }
  // 6000 bytes: the tail is only what the head does not hold.
  const std::string bytes = numbered(6000);
  MemoryFile raw(bytes);
  HeadTailFile file(raw, 4096, 4096);
  EXPECT_EQ(readThrough(file, 5000, 1000), bytes.substr(5000, 1000));
  EXPECT_EQ(readThrough(file, 4096, 16), bytes.substr(4096, 16));
  EXPECT_EQ(readThrough(file, 4090, 6), bytes.substr(4090, 6));
  EXPECT_EQ(raw.readCalls(), 2);
}

std::string fixture(const std::string& name) {
  std::ifstream in(std::string(SONAVID_TEST_DATA) + "/media/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A load touches the start and the end of a usual file and little else.
TEST(HeadTailFile, UsualFilesLoadInAFewReads) {
  const struct {
    const char* name;
    int maxReads;
  } kCases[] = {
      {"mp3-vbr-xing.mp3", 2}, {"mp3-cbr-info.mp3", 2}, {"wav-info-after-data.wav", 2},
      {"tone.wma", 1},         {"tone.ape", 2},         {"tone.m4a", 2},
      {"mono-v2plus.vqf", 1},  {"tone.ogg", 3},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = fixture(c.name);
    ASSERT_FALSE(bytes.empty());
    MemoryFile raw(bytes);
    const MediaInfo info = BuiltinReader::readFile(raw);
    EXPECT_NE(info.type, 0);
    EXPECT_LE(raw.readCalls(), c.maxReads);
  }
}

TEST(ReadAheadFile, SmallReadsShareABlockLargeOnesPassThrough) {
  const std::string bytes = numbered(10000);
  MemoryFile file(bytes);
  ReadAheadFile ahead(file, 1024);
  // Headers close together: one read of the file.
  EXPECT_EQ(readThrough(ahead, 100, 8), bytes.substr(100, 8));
  EXPECT_EQ(readThrough(ahead, 600, 56), bytes.substr(600, 56));
  EXPECT_EQ(readThrough(ahead, 1100, 24), bytes.substr(1100, 24));
  EXPECT_EQ(file.readCalls(), 1);
  // Past the block: the next one; a block-sized read is not kept.
  EXPECT_EQ(readThrough(ahead, 5000, 8), bytes.substr(5000, 8));
  EXPECT_EQ(readThrough(ahead, 0, 4096), bytes.substr(0, 4096));
  EXPECT_EQ(readThrough(ahead, 5010, 8), bytes.substr(5010, 8));
  EXPECT_EQ(file.readCalls(), 3);
  // At the end of the file reads come back short, and beyond it empty.
  EXPECT_EQ(readThrough(ahead, 9996, 8), bytes.substr(9996));
  EXPECT_EQ(readThrough(ahead, 10000, 8), "");
  EXPECT_EQ(readThrough(ahead, UINT64_MAX - 2, 8), "");
}

}  // namespace
}  // namespace sonavid::media
