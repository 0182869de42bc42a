// Files per second for "load + type + TIME + AFMT + VFMT + one tag" on the benchmark corpus:
// the plug-in's engine, its reader alone, TagLib and MediaInfoLib, and the floor (the system
// calls alone), per format and for the whole corpus, in one run with a warm cache. Then what each
// reads per file, the memory over a long run of loads, and the long VBR MP3 without a VBR header.
//
// Usage: sonavid_bench [--corpus DIR] [--loads N] [Google Benchmark flags]
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "contenders.h"
#include "corpus.h"
#include "report.h"

namespace sonavid::bench {
namespace {

// A set of files the contenders are timed on: a format, the whole corpus, or one long file.
struct FileSet {
  std::string label;
  FileList files;
};

void registerPass(const std::string& contender, const FileSet& set,
                  std::function<size_t(const FileList&)> pass) {
  const std::string name = contender + "/" + set.label;
  const FileList files = set.files;
  benchmark::RegisterBenchmark(name.c_str(), [files, pass](benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(pass(files));
    state.counters["files"] = benchmark::Counter(static_cast<double>(files.size()),
                                                 benchmark::Counter::kIsIterationInvariantRate);
  })->Unit(benchmark::kMillisecond);
}

size_t enginePass(const FileList& files) {
  startEngineRun();
  size_t sum = 0;
  int number = 0;
  for (const CorpusFile* file : files) sum += readWithEngine(*file, number++);
  return sum;
}

size_t readerPass(const FileList& files) {
  size_t sum = 0;
  for (const CorpusFile* file : files) sum += readWithBuiltinReader(*file);
  return sum;
}

size_t floorPass(const FileList& files) {
  size_t sum = 0;
  for (const CorpusFile* file : files) sum += readFloor(*file);
  return sum;
}

size_t readsPass(const FileList& files) {
  size_t sum = 0;
  for (const CorpusFile* file : files) sum += replayEngineReads(*file);
  return sum;
}

size_t tagLibPass(const FileList& files) {
  size_t sum = 0;
  for (const CorpusFile* file : files) sum += readWithTagLib(*file);
  return sum;
}

size_t mediaInfoPass(const FileList& files) {
  size_t sum = 0;
  for (const CorpusFile* file : files) sum += readWithMediaInfo(*file);
  return sum;
}

// Keeps files per second of every benchmark by name while the console shows the runs.
class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto found = run.counters.find("files");
      if (run.error_occurred || found == run.counters.end()) continue;
      const std::string name = run.run_name.str();
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (median || run.run_type == Run::RT_Iteration) {
        if (median || !medians_.count(name)) filesPerSecond[name] = found->second.value;
        if (median) medians_[name] = true;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  std::map<std::string, double> filesPerSecond;

 private:
  std::map<std::string, bool> medians_;
};

struct Options {
  std::string corpus = SONAVID_BENCH_CORPUS;
  long loads = 100000;
  // --profile engine|reader|floor|taglib|mediainfo [--set FORMAT] [--passes N]: only passes of one
  // contender, with no timing or report, for running under callgrind.
  std::string profile;
  std::string set = "all";
  std::string match;  // --match TEXT: only files whose path contains TEXT
  std::string skip;   // --skip TEXT: not the files whose path contains TEXT
  long passes = 1;
};

// Takes our flags out of argv, leaving Google Benchmark's.
Options parseOptions(int& argc, char** argv) {
  Options options;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--corpus") == 0 && i + 1 < argc) {
      options.corpus = argv[++i];
    } else if (std::strcmp(argv[i], "--loads") == 0 && i + 1 < argc) {
      options.loads = std::atol(argv[++i]);
    } else if (std::strcmp(argv[i], "--profile") == 0 && i + 1 < argc) {
      options.profile = argv[++i];
    } else if (std::strcmp(argv[i], "--set") == 0 && i + 1 < argc) {
      options.set = argv[++i];
    } else if (std::strcmp(argv[i], "--skip") == 0 && i + 1 < argc) {
      options.skip = argv[++i];
    } else if (std::strcmp(argv[i], "--match") == 0 && i + 1 < argc) {
      options.match = argv[++i];
    } else if (std::strcmp(argv[i], "--passes") == 0 && i + 1 < argc) {
      options.passes = std::atol(argv[++i]);
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return options;
}

int profile(const Options& options, const std::vector<CorpusFile>& corpus) {
  const std::map<std::string, size_t (*)(const FileList&)> passes = {
      {"engine", enginePass}, {"reader", readerPass}, {"floor", floorPass},
      {"reads", readsPass},   {"taglib", tagLibPass}, {"mediainfo", mediaInfoPass}};
  const auto found = passes.find(options.profile);
  if (found == passes.end()) {
    std::fprintf(stderr, "--profile takes engine, reader, floor, reads, taglib or mediainfo\n");
    return 2;
  }
  FileList files = options.set == kLongVbrLabel         ? FileList{findFile(corpus, kLongVbrMp3)}
                   : options.set == kLongMovieLabel     ? FileList{findFile(corpus, kLongMovie)}
                   : options.set == kLongRecordingLabel ? FileList{findFile(corpus, kLongRecording)}
                                                        : filesOf(corpus, options.set);
  std::erase_if(files, [&](const CorpusFile* file) {
    return file == nullptr || file->path.find(options.match) == std::string::npos ||
           (!options.skip.empty() && file->path.find(options.skip) != std::string::npos);
  });
  if (files.empty()) return 2;
  size_t sum = 0;
  const auto started = std::chrono::steady_clock::now();
  const std::clock_t cpuStarted = std::clock();
  for (long pass = 0; pass < options.passes; ++pass) sum += found->second(files);
  const double cpuUs = 1e6 * static_cast<double>(std::clock() - cpuStarted) / CLOCKS_PER_SEC;
  const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - started;
  const double loads = static_cast<double>(files.size() * options.passes);
  std::printf("%zu files x %ld passes (%zu): %.2f us per file (CPU), %.2f us (wall)\n",
              files.size(), options.passes, sum, cpuUs / loads, took.count() / loads);
  return 0;
}

}  // namespace
}  // namespace sonavid::bench

int main(int argc, char** argv) {
  using namespace sonavid::bench;
  const Options options = parseOptions(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  std::vector<CorpusFile> corpus = loadCorpus(options.corpus);
  if (corpus.empty()) {
    std::fprintf(stderr, "no corpus in %s (run bench/make-corpus.sh)\n", options.corpus.c_str());
    return 1;
  }
  // Only the reads profile needs the engine's read calls: a profile of the engine under
  // callgrind must not count the engine pass that notes them.
  if (options.profile == "reads") noteEngineReads(corpus);
  if (!options.profile.empty()) return profile(options, corpus);
  warmCache(corpus);
  // The long run of loads goes first, before the peers' libraries touch the heap.
  const MemoryReport memory = measureMemory(corpus, options.loads);
  // The engine's read calls for the reads contender, after the long run so that it starts on
  // a fresh heap.
  noteEngineReads(corpus);

  std::vector<FileSet> sets;
  for (const FormatFolder& entry : kFormatFolders) {
    sets.push_back({entry.format, filesOf(corpus, entry.format)});
  }
  sets.push_back({"all", filesOf(corpus, "all")});
  const CorpusFile* longMp3 = findFile(corpus, kLongVbrMp3);
  if (longMp3 != nullptr) sets.push_back({kLongVbrLabel, {longMp3}});
  const CorpusFile* longMovie = findFile(corpus, kLongMovie);
  if (longMovie != nullptr) sets.push_back({kLongMovieLabel, {longMovie}});
  const CorpusFile* longRecording = findFile(corpus, kLongRecording);
  if (longRecording != nullptr) sets.push_back({kLongRecordingLabel, {longRecording}});

  // The first call into each library sets it up; that is not part of a file's cost.
  readWithTagLib(corpus.front());
  readWithMediaInfo(corpus.front());
  for (const FileSet& set : sets) {
    if (set.files.empty()) continue;
    registerPass("engine", set, enginePass);
    registerPass("reader", set, readerPass);
    registerPass("floor", set, floorPass);
    registerPass("reads", set, readsPass);
    registerPass("taglib", set, tagLibPass);
    registerPass("mediainfo", set, mediaInfoPass);
  }
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::vector<std::string> labels;
  for (const FileSet& set : sets) {
    if (set.label != kLongVbrLabel && set.label != kLongMovieLabel &&
        set.label != kLongRecordingLabel) {
      labels.push_back(set.label);
    }
  }
  // The speed table goes last: its final line is the overall result.
  printReadTable(corpus);
  printMemory(memory, options.loads);
  if (longMp3 != nullptr) printLongVbrMp3(*longMp3, options.corpus, reporter.filesPerSecond);
  if (longMovie != nullptr) {
    printLongMovie(*longMovie, "Long Matroska movie", kLongMovieLabel, reporter.filesPerSecond);
  }
  if (longRecording != nullptr) {
    printLongMovie(*longRecording, "Long TS recording", kLongRecordingLabel,
                   reporter.filesPerSecond);
  }
  printSpeedTable(reporter.filesPerSecond, labels, corpus);
  return 0;
}
