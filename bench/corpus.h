// The benchmark corpus: the media files under one folder per format, in a fixed order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sonavid::bench {

// One read call of a reader: where it started and how many bytes it asked for.
struct ReadCall {
  uint64_t offset = 0;
  size_t count = 0;
};

struct CorpusFile {
  std::string format;     // "MP3" ... "MKV", from the folder the file is in
  std::string path;       // full path, UTF-8
  std::u16string folder;  // the folder with a trailing "/", as a host passes it
  std::u16string name;    // the file name
  std::u16string fullPath;
  std::wstring widePath;  // for MediaInfoLib
  unsigned long long size = 0;
  // The read calls the engine makes on the file, noted once before the runs (noteEngineReads).
  std::vector<ReadCall> engineReads;
};

using FileList = std::vector<const CorpusFile*>;

// The formats in table order, with their folder names.
struct FormatFolder {
  const char* format;
  const char* folder;
};
inline constexpr FormatFolder kFormatFolders[] = {
    {"MP3", "mp3"},   {"WAV", "wav"},   {"AVI", "avi"}, {"VQF", "vqf"},
    {"WMA", "wma"},   {"OGG", "ogg"},   {"APE", "ape"}, {"MP4", "mp4"},
    {"FLAC", "flac"}, {"AIFF", "aiff"}, {"WV", "wv"},   {"DSF", "dsf"},
    {"MKV", "mkv"},   {"TS", "ts"},     {"MPG", "mpg"}, {"AAC", "aac"},
};

// Every media file of the corpus, sorted by format and name. Empty when the folder is missing.
std::vector<CorpusFile> loadCorpus(const std::string& root);

// The files of one format ("all" for every file).
FileList filesOf(const std::vector<CorpusFile>& corpus, const std::string& format);

// Reads every file once, so the runs that follow find them in the page cache.
void warmCache(const std::vector<CorpusFile>& corpus);

}  // namespace sonavid::bench
