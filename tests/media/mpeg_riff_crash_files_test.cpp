// Damaged MP3, WAV and AVI files (tests/data/crash/) open without harm and give what could be
// read.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/platform_posix.h"
#include "common/text.h"
#include "media/builtin_reader.h"
#include "media/memory_file.h"

namespace sonavid::media {
namespace {

MediaInfo readCrashFile(const std::string& name) {
  std::ifstream in(std::string(SONAVID_TEST_DATA) + "/crash/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  EXPECT_FALSE(bytes.str().empty()) << name;
  MemoryFile file(bytes.str());
  return BuiltinReader::readFile(file);
}

std::string value(const MediaInfo& info, std::string_view code) {
  const std::u16string* v = info.find(code);
  return v ? utf16ToUtf8(*v) : "<none>";
}

TEST(MpegRiffCrashFiles, OpenWithoutHarm) {
  PosixPlatform western("WINDOWS-1252");
  setPlatform(&western);
  // A tag size past the end leaves no room for audio.
  EXPECT_EQ(readCrashFile("mp3-id3v2-size-past-end.mp3").type, 0);
  // Frame and byte counts of 0xFFFFFFFF: the header is ignored and the size measured.
  MediaInfo info = readCrashFile("mp3-xing-counts-maxed.mp3");
  EXPECT_EQ(info.type, 1);
  EXPECT_EQ(value(info, "TIME"), "0:01 (1sec)");
  // APE footer with absurd size and count; Lyrics3 size past the file: the audio still counts.
  for (const char* name : {"mp3-ape-count-huge.mp3", "mp3-lyrics3-size-lies.mp3"}) {
    info = readCrashFile(name);
    EXPECT_EQ(info.type, 1) << name;
    EXPECT_EQ(value(info, "INAM_APE"), "<none>") << name;
  }
  EXPECT_EQ(readCrashFile("mp3-unsync-ff-at-end.mp3").type, 1);
  EXPECT_EQ(readCrashFile("wav-chunk-size-huge-before-fmt.wav").type, 2);
  info = readCrashFile("avi-cut-inside-headers.avi");
  EXPECT_EQ(info.type, 3);
  EXPECT_EQ(value(info, "AFMT"), "None");
  info = readCrashFile("rmp3-without-data.wav");
  EXPECT_EQ(info.type, 1);
  EXPECT_EQ(value(info, "INAM"), "x");
  EXPECT_EQ(value(info, "AFMT"), "<none>");
  setPlatform(nullptr);
}

}  // namespace
}  // namespace sonavid::media
