// The MP4 reader on hand-made boxes: 64-bit sizes and version 1 headers, moov after mdat,
// durations from edit lists and tracks, codec names, tags, and depth and count caps.
#include <gtest/gtest.h>

#include <string>

#include "core/media_reader.h"
#include "media/formats.h"
#include "media/memory_file.h"

namespace sonavid::media {
using namespace std::string_literals;
namespace {

std::string be(uint64_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>(value >> (8 * i)));
  return out;
}
std::string box(const std::string& type, const std::string& body) {
  return be(8 + body.size(), 4) + type + body;
}
std::string box64(const std::string& type, const std::string& body) {
  return be(1, 4) + type + be(16 + body.size(), 8) + body;
}
std::string full(int version) { return std::string(1, static_cast<char>(version)) + "\0\0\0"s; }
std::string mvhd(int version, uint32_t timescale, uint64_t duration) {
  const int t = version == 1 ? 8 : 4;
  return box("mvhd", full(version) + be(0, t) + be(0, t) + be(timescale, 4) + be(duration, t) +
                         std::string(80, '\0'));
}
std::string tkhd(uint64_t duration, uint32_t width = 0, uint32_t height = 0) {
  return box("tkhd", full(0) + be(0, 4) + be(0, 4) + be(1, 4) + be(0, 4) + be(duration, 4) +
                         std::string(52, '\0') + be(width << 16, 4) + be(height << 16, 4));
}
std::string mdhd(int version, uint32_t timescale, uint64_t duration) {
  const int t = version == 1 ? 8 : 4;
  return box("mdhd",
             full(version) + be(0, t) + be(0, t) + be(timescale, 4) + be(duration, t) + be(0, 4));
}
std::string hdlr(const std::string& kind) {
  return box("hdlr", full(0) + be(0, 4) + kind + std::string(12, '\0') + "\0"s);
}
std::string esds(uint8_t objectType, uint32_t avgBitrate, uint8_t audioObjectType) {
  const std::string specific = "\x05\x02"s + static_cast<char>(audioObjectType << 3) + "\x10"s;
  const std::string config = "\x04"s + static_cast<char>(13 + specific.size()) +
                             static_cast<char>(objectType) + "\x15"s + be(0, 3) + be(0, 4) +
                             be(avgBitrate, 4) + specific;
  const std::string es = "\x03"s + static_cast<char>(3 + config.size()) + be(1, 2) + "\0"s + config;
  return box("esds", full(0) + es);
}
std::string audioEntry(const std::string& format, uint32_t rate, const std::string& children) {
  return box(format, std::string(6, '\0') + be(1, 2) + be(0, 2) + be(0, 2) + be(0, 4) + be(2, 2) +
                         be(16, 2) + be(0, 2) + be(0, 2) + be(rate << 16, 4) + children);
}
std::string videoEntry(const std::string& format, uint16_t w, uint16_t h,
                       const std::string& children) {
  return box(format, std::string(6, '\0') + be(1, 2) + std::string(16, '\0') + be(w, 2) + be(h, 2) +
                         be(0x480000, 4) + be(0x480000, 4) + be(0, 4) + be(1, 2) +
                         std::string(32, '\0') + be(24, 2) + be(0xFFFF, 2) + children);
}
std::string stbl(const std::string& entry, uint32_t samples, uint32_t delta, uint32_t sampleSize) {
  return box("stbl", box("stsd", full(0) + be(1, 4) + entry) +
                         box("stts", full(0) + be(1, 4) + be(samples, 4) + be(delta, 4)) +
                         box("stsz", full(0) + be(sampleSize, 4) + be(samples, 4)));
}
std::string trak(const std::string& kind, const std::string& header, const std::string& media,
                 const std::string& table, const std::string& extra = "") {
  return box("trak", header + extra + box("mdia", media + hdlr(kind) + box("minf", table)));
}
std::string ilstItem(const std::string& name, uint32_t type, const std::string& value) {
  return box(name, box("data", be(type, 4) + be(0, 4) + value));
}
std::string udtaTags(const std::string& items) {
  return box("udta", box("meta", full(0) + hdlr("mdir") + box("ilst", items)));
}
const std::string kFtyp = box("ftyp", "M4A "s + be(0, 4) + "isomM4A "s);

// A movie of `seconds` at 600 per second with one AAC track and one H.264 track, whose samples
// take 40 and 50 bytes (the media data of a file that holds them: movieData(seconds)).
std::string movie(uint64_t seconds, const std::string& extra = "") {
  const std::string aac = audioEntry("mp4a", 44100, esds(0x40, 128000, 2));
  const std::string avc =
      videoEntry("avc1", 640, 480, box("avcC", "\x01\x4D\x40\x1F\xFF"s + std::string(8, '\0')));
  return box("moov", mvhd(0, 600, 600 * seconds) +
                         trak("vide", tkhd(600 * seconds, 640, 480),
                              mdhd(0, 30000, 30000 * seconds), stbl(avc, 30 * seconds, 1000, 50)) +
                         trak("soun", tkhd(600 * seconds), mdhd(0, 44100, 44100 * seconds),
                              stbl(aac, 44100 * seconds / 1024, 1024, 40)) +
                         extra);
}

std::string movieData(uint64_t seconds) {
  return box("mdat", std::string(30 * seconds * 50 + 44100 * seconds / 1024 * 40, 'm'));
}

MediaInfo read(const std::string& bytes, bool* recognised = nullptr) {
  MemoryFile file(bytes);
  MediaInfo info;
  const bool ok = readMp4(file, info);
  if (recognised) *recognised = ok;
  return info;
}
std::u16string value(const MediaInfo& info, std::string_view code) {
  const std::u16string* found = info.find(code);
  return found ? *found : u"(none)";
}

TEST(Mp4Reader, MovieLengthAndTrackFormats) {
  const MediaInfo info = read(kFtyp + movie(245) + movieData(245));
  EXPECT_EQ(info.type, kTypeMp4);
  EXPECT_EQ(value(info, "TIME"), u"4:05 (245sec)");
  EXPECT_EQ(value(info, "AFMT"), u"MPEG-4 AAC LC, 245.000 secs, 14 kbps, 44100 Hz");
  EXPECT_EQ(value(info, "VFMT"), u"H264 Main@3.1, 245.000 secs, 12 kbps, 640x480 @ 30.000000 fps");
}

TEST(Mp4Reader, MoovAfterMediaDataWith64BitSizesAndVersion1Headers) {
  // mdat with a 64-bit size first; moov at the end with version 1 movie and media headers.
  const std::string aac = audioEntry("mp4a", 48000, esds(0x40, 96000, 5));
  const std::string moov = box64(
      "moov", mvhd(1, 1000, 5000000000ull) +
                  trak("soun", tkhd(0), mdhd(1, 48000, 48000ull * 5000000), stbl(aac, 0, 0, 0)));
  const MediaInfo info = read(kFtyp + box64("mdat", std::string(100, 'm')) + moov);
  EXPECT_EQ(value(info, "TIME"), u"83333:20 (5000000sec)");
  EXPECT_EQ(value(info, "AFMT"), u"MPEG-4 AAC HE, 5000000.000 secs, 96 kbps, 48000 Hz");
  EXPECT_EQ(value(info, "VFMT"), u"");  // no video track
}

TEST(Mp4Reader, AMovieBoxIsReadWithItsHeaderAndEndsTheWalk) {
  // At the end, after 190 kB of media data: one read for the header and the box.
  MemoryFile last(kFtyp + movieData(60) + movie(60));
  MediaInfo info;
  ASSERT_TRUE(readMp4(last, info));
  EXPECT_EQ(value(info, "TIME"), u"1:00 (60sec)");
  EXPECT_EQ(last.readCalls(), 2);
  // At the start: the media data and what follows it are not looked at.
  MemoryFile first(kFtyp + movie(60) + movieData(60) + box("free", ""));
  ASSERT_TRUE(readMp4(first, info));
  EXPECT_EQ(first.readCalls(), 1);
  EXPECT_LT(first.bytesRead(), 8192u);
}

TEST(Mp4Reader, ZeroMovieDurationFallsBackToTheLongestTrackAndEditListsCount) {
  const std::string alac = audioEntry("alac", 44100, "");
  const std::string edits =
      box("edts", box("elst", full(0) + be(2, 4) + be(600 * 10, 4) + be(0, 4) + be(0x10000, 4) +
                                  be(600 * 20, 4) + be(0, 4) + be(0x10000, 4)));
  const std::string moov = box(
      "moov", mvhd(0, 600, 0) +
                  trak("soun", tkhd(0), mdhd(0, 44100, 44100 * 7), stbl(alac, 100, 3087, 0)) +
                  trak("soun", tkhd(0), mdhd(0, 44100, 44100 * 40), stbl(alac, 10, 1, 0), edits));
  const MediaInfo info = read(kFtyp + moov);
  EXPECT_EQ(value(info, "TIME"), u"0:30 (30sec)");  // the edit list's 10 + 20 s
  EXPECT_EQ(value(info, "AFMT").substr(0, 19), u"ALAC, 30.000 secs, ");  // the last audio track
}

TEST(Mp4Reader, CodecNamesFromSampleEntriesAndObjectTypes) {
  auto afmt = [](const std::string& entry) {
    const std::string moov =
        box("moov", mvhd(0, 1000, 1000) +
                        trak("soun", tkhd(1000), mdhd(0, 1000, 1000), stbl(entry, 1, 1000, 100)));
    const std::u16string text = value(read(kFtyp + moov), "AFMT");
    return text.substr(0, text.find(u','));
  };
  EXPECT_EQ(afmt(audioEntry("mp4a", 44100, esds(0x6B, 0, 0))), u"MP3");
  EXPECT_EQ(afmt(audioEntry("mp4a", 44100, esds(0x67, 0, 0))), u"MPEG-2 AAC LC");
  EXPECT_EQ(afmt(audioEntry("mp4a", 44100, esds(0x40, 0, 29))), u"MPEG-4 AAC HEv2");
  EXPECT_EQ(afmt(audioEntry("ac-3", 48000, "")), u"AC-3");
  EXPECT_EQ(afmt(audioEntry(".mp3", 44100, "")), u"MP3");
}

TEST(Mp4Reader, TagsIncludingNumericGenreNumberPairsAndTempo) {
  const std::string items =
      ilstItem("\xA9nam", 1, "Title") +
      ilstItem(
          "\xA9"
          "ART",
          1, "Artist") +
      ilstItem(
          "\xA9"
          "alb",
          1, "Album") +
      ilstItem("\xA9grp", 1, "Group") + ilstItem("\xA9wrt", 0, "Composer") +
      ilstItem(
          "\xA9"
          "day",
          1, "2004") +
      ilstItem(
          "\xA9"
          "cmt",
          1, "Comment") +
      ilstItem("\xA9too", 1, "Tool") + ilstItem("gnre", 0, be(18, 2)) +  // ID3v1 genre 17 plus one
      ilstItem("trkn", 0, be(0, 2) + be(5, 2) + be(0, 2) + be(0, 2)) +
      ilstItem("disk", 0, be(0, 2) + be(1, 2) + be(3, 2)) + ilstItem("tmpo", 21, be(128, 2));
  const MediaInfo info = read(kFtyp + movie(3, udtaTags(items)));
  EXPECT_EQ(value(info, "INAM"), u"Title");
  EXPECT_EQ(value(info, "IART"), u"Artist");
  EXPECT_EQ(value(info, "IPRD"), u"Album");
  EXPECT_EQ(value(info, "IGRP"), u"Group");
  EXPECT_EQ(value(info, "COMPOSER"), u"Composer");
  EXPECT_EQ(value(info, "ICRD"), u"2004");
  EXPECT_EQ(value(info, "ICMT"), u"Comment");
  EXPECT_EQ(value(info, "TOOL"), u"Tool");
  EXPECT_EQ(value(info, "IGNR"), u"Rock");
  EXPECT_EQ(value(info, "TRACK1"), u"5");
  EXPECT_EQ(value(info, "TRACK2"), u"");  // a total of 0 is no total
  EXPECT_EQ(value(info, "DISC1"), u"1");
  EXPECT_EQ(value(info, "DISC2"), u"3");
  EXPECT_EQ(value(info, "BPM"), u"128");
  EXPECT_EQ(value(info, "INAM_v2"), u"Title");
  EXPECT_EQ(value(info, "TRACK_APE"), u"5");
}

TEST(Mp4Reader, DepthAndCountCapsAndDamagedSizes) {
  // udta boxes nested ten thousand deep: the walk stops at its depth cap.
  std::string nested = box("ilst", ilstItem("\xA9nam", 1, "Deep"));
  for (int i = 0; i < 10000; ++i) nested = box("udta", nested);
  bool recognised = false;
  MediaInfo info = read(kFtyp + box("moov", mvhd(0, 10, 100) + nested), &recognised);
  EXPECT_TRUE(recognised);
  EXPECT_EQ(value(info, "TIME"), u"0:10 (10sec)");
  EXPECT_EQ(value(info, "INAM"), u"(none)");
  // A hundred thousand empty boxes in moov: counted, capped, the movie header still read.
  std::string many = mvhd(0, 10, 50);
  for (int i = 0; i < 100000; ++i) many += box("free", "");
  EXPECT_EQ(value(read(kFtyp + box("moov", many)), "TIME"), u"0:05 (5sec)");
  // Sizes that lie: beyond the file, below the header, a 64-bit size of 2^64-1.
  EXPECT_NO_FATAL_FAILURE(read(kFtyp + be(0xFFFFFFF0u, 4) + "moov" + mvhd(0, 1, 1)));
  EXPECT_NO_FATAL_FAILURE(read(kFtyp + box("moov", be(3, 4) + "trak" + std::string(40, 'x'))));
  EXPECT_NO_FATAL_FAILURE(read(kFtyp + be(1, 4) + "moov" + be(UINT64_MAX, 8) + mvhd(0, 1, 1)));
  // Sample tables whose counts exceed their bytes.
  const std::string lying = box("stsz", full(0) + be(0, 4) + be(0xFFFFFFFFu, 4));
  const std::string lyingTrack = box("trak", box("mdia", box("minf", box("stbl", lying))));
  EXPECT_NO_FATAL_FAILURE(read(kFtyp + box("moov", mvhd(0, 1, 1) + lyingTrack)));
  // Zero timescales: no division by zero.
  const std::string zeroTrack =
      trak("soun", tkhd(5), mdhd(0, 0, 9), stbl(audioEntry("mp4a", 0, ""), 1, 1, 1));
  EXPECT_NO_FATAL_FAILURE(read(kFtyp + box("moov", mvhd(0, 0, 100) + zeroTrack)));
}

TEST(Mp4Reader, WhatIsAndIsNotAnMp4File) {
  bool recognised = true;
  read(box("ftyp", "heic"s + be(0, 4) + "mif1heic"s) + box("meta", ""), &recognised);
  EXPECT_FALSE(recognised);  // a still image
  read(box("junk", "abc"), &recognised);
  EXPECT_FALSE(recognised);
  read("", &recognised);
  EXPECT_FALSE(recognised);
  // QuickTime without ftyp: moov first is enough; mdat first needs a moov behind it.
  read(movie(1), &recognised);
  EXPECT_TRUE(recognised);
  read(box("mdat", "x") + movie(1), &recognised);
  EXPECT_TRUE(recognised);
  read(box("mdat", "x"), &recognised);
  EXPECT_FALSE(recognised);
}

TEST(Mp4Reader, FragmentsGiveTheLengthWhenTheHeadersDoNot) {
  // Track 1 in moov with empty tables; fragment defaults of 512 ticks and 10 bytes per
  // sample (trex); one fragment with per-sample durations and sizes, one with the defaults.
  const std::string aac = audioEntry("mp4a", 48000, esds(0x40, 0, 2));
  const std::string track = box(
      "trak", box("tkhd", full(0) + be(0, 4) + be(0, 4) + be(1, 4) + be(0, 4) + be(0, 4) +
                              std::string(60, '\0')) +
                  box("mdia", mdhd(0, 48000, 0) + hdlr("soun") + box("minf", stbl(aac, 0, 0, 0))));
  const std::string trex =
      box("mvex", box("trex", full(0) + be(1, 4) + be(1, 4) + be(512, 4) + be(10, 4) + be(0, 4)));
  const std::string moov = box("moov", mvhd(0, 1000, 0) + track + trex);
  auto fragment = [](const std::string& trun) {
    return box("moof", box("mfhd", full(0) + be(1, 4)) +
                           box("traf", box("tfhd", full(0) + be(1, 4)) + trun));
  };
  // Flags 0x000300: duration and size per sample. 1000 samples of 48 ticks and 12 bytes.
  std::string samples;
  for (int i = 0; i < 1000; ++i) samples += be(48, 4) + be(12, 4);
  const std::string first = fragment(box("trun", "\0\0\x03\0"s + be(1000, 4) + samples));
  // Flags 0: 93750 samples of the default 512 ticks.
  const std::string second = fragment(box("trun", full(0) + be(93750, 4)));
  const MediaInfo info = read(kFtyp + moov + first + box("mdat", std::string(12000, 'x')) + second +
                              box("mdat", std::string(937500, 'y')));
  // (1000 * 48 + 93750 * 512) / 48000 = 1001 s.
  EXPECT_EQ(value(info, "TIME"), u"16:41 (1001sec)");
  // (12000 + 937500) bytes over 1001 s: 8 kbps.
  EXPECT_EQ(value(info, "AFMT"), u"MPEG-4 AAC LC, 1001.000 secs, 8 kbps, 48000 Hz");
  // A fragment whose sample count exceeds its bytes is skipped.
  const std::string lying = fragment(box("trun", "\0\0\x01\0"s + be(0xFFFFFFFFu, 4)));
  EXPECT_EQ(value(read(kFtyp + moov + lying), "TIME"), u"0:00 (0sec)");
}

TEST(Mp4Reader, SampleTablesBeyondTheFileAndRatesBeyond16Bits) {
  // Cut off: the media data box declares the samples' bytes, the file holds a tenth of them.
  const std::string data = movieData(60);
  const MediaInfo cut = read(kFtyp + movie(60) + data.substr(0, 8 + (data.size() - 8) / 10));
  EXPECT_EQ(value(cut, "TIME"), u"0:06 (6sec)");
  EXPECT_EQ(value(cut, "AFMT"), u"MPEG-4 AAC LC, 6.000 secs, 14 kbps, 44100 Hz");
  // Damaged: sizes that add up to more than the file holds; the media data's extent counts.
  const std::string aac = audioEntry("mp4a", 44100, esds(0x40, 0, 2));
  const std::string audioOnly =
      box("moov", mvhd(0, 600, 600 * 60) + trak("soun", tkhd(600 * 60), mdhd(0, 44100, 44100 * 60),
                                                stbl(aac, 44100 * 60 / 1024, 1024, 0x00FFFFFF)));
  EXPECT_EQ(value(read(kFtyp + audioOnly + box("mdat", std::string(60000, 'm'))), "AFMT"),
            u"MPEG-4 AAC LC, 60.000 secs, 8 kbps, 44100 Hz");
  // 96 kHz: the 16-bit field of the sample entry holds 0; ALAC's and FLAC's own boxes say.
  const std::string alac =
      audioEntry("alac", 0, box("alac", full(0) + std::string(20, '\0') + be(96000, 4)));
  const std::string flac =
      audioEntry("fLaC", 0,
                 box("dfLa", full(0) + "\x80"s + be(34, 3) + std::string(10, '\0') +
                                 be(96000 << 4 | 1, 3) + std::string(21, '\0')));
  // A version 2 sound description: 1 Hz and 3 channels in the old fields, the real rate (a
  // 64-bit float), channels and bits per channel in its own.
  const std::string lpcm =
      box("lpcm", std::string(6, '\0') + be(1, 2) + be(2, 2) + be(0, 6) + be(3, 2) + be(16, 2) +
                      be(0xFFFE, 2) + be(0, 2) + be(0x10000, 4) + be(72, 4) +
                      be(0x40F7700000000000, 8) + be(6, 4) + be(0x7F000000, 4) + be(24, 4) +
                      std::string(12, '\0'));
  for (const std::string& entry : {alac, flac, lpcm}) {
    const std::string moov =
        box("moov", mvhd(0, 1000, 1000) +
                        trak("soun", tkhd(1000), mdhd(0, 96000, 96000), stbl(entry, 1, 96000, 4)));
    const MediaInfo info = read(kFtyp + moov + box("mdat", "data"));
    EXPECT_NE(value(info, "AFMT").find(u", 96000 Hz"), std::u16string::npos) << entry.substr(4, 4);
    EXPECT_EQ(info.facts.sampleRate, 96000u) << entry.substr(4, 4);
  }
  const MediaInfo multichannel =
      read(kFtyp +
           box("moov", mvhd(0, 1000, 1000) + trak("soun", tkhd(1000), mdhd(0, 96000, 96000),
                                                  stbl(lpcm, 1, 96000, 4))) +
           box("mdat", "data"));
  EXPECT_EQ(multichannel.facts.channels, 6u);
  EXPECT_EQ(multichannel.facts.bitsPerSample, 24u);
}

TEST(Mp4Reader, AMovieBoxOverTheBlockCapIsWalkedPastItsLargeBoxes) {
  // 17 MiB of sample table in the video track, then the audio track and the tags.
  const std::string items = ilstItem("\xA9nam", 1, "Long");
  std::string moov = movie(60, box("free", std::string(17 << 20, '\0')) + udtaTags(items));
  const MediaInfo info = read(kFtyp + moov + movieData(60));
  EXPECT_EQ(value(info, "INAM"), u"Long");
  EXPECT_EQ(value(info, "AFMT"), u"MPEG-4 AAC LC, 60.000 secs, 14 kbps, 44100 Hz");
}
}  // namespace
}  // namespace sonavid::media
