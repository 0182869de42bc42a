// The parts of the benchmark's report that are not Google Benchmark's own output: the speed
// table with the ratios to TagLib and MediaInfoLib, the reads per file, the memory over a long
// run of loads and the long VBR MP3 without a VBR header.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "corpus.h"
#include "process_stats.h"

namespace sonavid::bench {

// The 60-minute VBR MP3 without a VBR header, the 60-minute Matroska movie and the 60-minute
// transport stream recording, and their labels in the benchmark names.
inline constexpr const char* kLongVbrMp3 = "long-vbr-noheader.mp3";
inline constexpr const char* kLongVbrLabel = "MP3-60min-VBR";
inline constexpr const char* kLongMovie = "long-movie.mkv";
inline constexpr const char* kLongMovieLabel = "MKV-60min";
inline constexpr const char* kLongRecording = "long-recording.ts";
inline constexpr const char* kLongRecordingLabel = "TS-60min";

const CorpusFile* findFile(const std::vector<CorpusFile>& corpus, const std::string& name);

struct MemoryCheckpoint {
  long loads = 0;
  MemoryCounts counts;
};
using MemoryReport = std::vector<MemoryCheckpoint>;

// Loads the corpus's files in turn through the engine, `loads` times in all, and notes the
// memory after the first load, 1,000, 10,000 and all loads.
MemoryReport measureMemory(const std::vector<CorpusFile>& corpus, long loads);

// Files per second by benchmark name ("engine/MP3" ...), for the rows in `labels`.
void printSpeedTable(const std::map<std::string, double>& filesPerSecond,
                     const std::vector<std::string>& labels, const std::vector<CorpusFile>& corpus);
void printReadTable(const std::vector<CorpusFile>& corpus);
void printMemory(const MemoryReport& memory, long loads);
void printLongVbrMp3(const CorpusFile& file, const std::string& corpusRoot,
                     const std::map<std::string, double>& filesPerSecond);
// A long movie or recording (`label` names its benchmarks): its values, the bytes each
// contender reads and the time per load.
void printLongMovie(const CorpusFile& file, const char* heading, const char* label,
                    const std::map<std::string, double>& filesPerSecond);

}  // namespace sonavid::bench
