#include "report.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

#include "common/text.h"
#include "contenders.h"
#include "counting_platform.h"

namespace sonavid::bench {
namespace {

double lookup(const std::map<std::string, double>& table, const std::string& name) {
  const auto found = table.find(name);
  return found == table.end() ? 0.0 : found->second;
}

std::string ratioText(double ours, double theirs, const char* format) {
  if (ours <= 0 || theirs <= 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, format, ours / theirs);
  return text;
}

// Kernel read counters per file over one pass of `read` over `files`.
IoCounts ioPerPass(const FileList& files, const std::function<void(const CorpusFile&)>& read) {
  const IoCounts before = ioCounts();
  for (const CorpusFile* file : files) read(*file);
  const IoCounts after = ioCounts();
  return {after.readBytes - before.readBytes, after.readCalls - before.readCalls};
}

// The exact length in milliseconds that make-corpus.sh wrote for `relativePath`.
long long expectedDurationMs(const std::string& corpusRoot, const std::string& relativePath) {
  std::ifstream in(corpusRoot + "/expected.tsv");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string path;
    long long frames = 0, rate = 0, durationMs = 0;
    if (fields >> path >> frames >> rate >> durationMs && path == relativePath) return durationMs;
  }
  return -1;
}

}  // namespace

const CorpusFile* findFile(const std::vector<CorpusFile>& corpus, const std::string& name) {
  for (const CorpusFile& file : corpus) {
    if (utf16ToUtf8(file.name) == name) return &file;
  }
  return nullptr;
}

MemoryReport measureMemory(const std::vector<CorpusFile>& corpus, long loads) {
  MemoryReport report;
  resetPeakResident();
  startEngineRun();
  size_t sum = 0;
  for (long done = 0; done < loads;) {
    sum += readWithEngine(corpus[done % corpus.size()], static_cast<int>(done));
    ++done;
    if (done == 1 || done == 1000 || done == 10000 || done == loads) {
      report.push_back({done, memoryCounts()});
    }
  }
  if (sum == 0) std::printf("(no values read)\n");
  return report;
}

void printSpeedTable(const std::map<std::string, double>& filesPerSecond,
                     const std::vector<std::string>& labels,
                     const std::vector<CorpusFile>& corpus) {
  std::printf(
      "\nFiles per second, load + type + TIME + AFMT + VFMT + title (warm cache, CPU time)\n");
  std::printf("%-6s %6s %10s %10s %10s %10s %10s %10s %9s %11s %8s %8s %9s\n", "format", "files",
              "engine", "reader", "reads", "floor", "TagLib", "MediaInfo", "x TagLib",
              "x MediaInfo", "x floor", "reads xf", "TagLib ok");
  for (const std::string& label : labels) {
    const FileList files = filesOf(corpus, label);
    size_t tagLibReads = 0;
    for (const CorpusFile* file : files) tagLibReads += readWithTagLib(*file) != 0;
    const double engine = lookup(filesPerSecond, "engine/" + label);
    const double reader = lookup(filesPerSecond, "reader/" + label);
    const double reads = lookup(filesPerSecond, "reads/" + label);
    const double floor = lookup(filesPerSecond, "floor/" + label);
    const double tagLib = lookup(filesPerSecond, "taglib/" + label);
    const double mediaInfo = lookup(filesPerSecond, "mediainfo/" + label);
    std::printf("%-6s %6zu %10.0f %10.0f %10.0f %10.0f %10.0f %10.0f %9s %11s %8s %8s %4zu/%-4zu\n",
                label.c_str(), files.size(), engine, reader, reads, floor, tagLib, mediaInfo,
                ratioText(engine, tagLib, "%.2f").c_str(),
                ratioText(engine, mediaInfo, "%.1f").c_str(),
                ratioText(floor, engine, "%.2f").c_str(), ratioText(floor, reads, "%.2f").c_str(),
                tagLibReads, files.size());
  }
  std::printf(
      "(engine: the macros as a host calls them; reader: the built-in reader alone; reads: the\n"
      " engine's own read calls and nothing else (open, size, the same reads, close); floor: "
      "open,\n"
      " size, a read at the start and one at the end, close, and nothing else. Ratios are the\n"
      " engine's: x TagLib and x MediaInfo how many times faster, x floor how many times the\n"
      " floor's time it takes; reads xf is that of the reads alone. TagLib ok: files TagLib gives\n"
      " values for; it has no AVI, VQF, DSF or Matroska reader and its figure for those is the\n"
      " time it takes to turn them down.)\n");
  const double engine = lookup(filesPerSecond, "engine/all");
  const double reads = lookup(filesPerSecond, "reads/all");
  std::printf("the engine's reads alone: %s times the floor; the engine: %s times its reads\n",
              ratioText(lookup(filesPerSecond, "floor/all"), reads, "%.2f").c_str(),
              ratioText(reads, engine, "%.2f").c_str());
  std::printf("overall: %s times TagLib, %s times MediaInfo, %s times the floor\n",
              ratioText(engine, lookup(filesPerSecond, "taglib/all"), "%.2f").c_str(),
              ratioText(engine, lookup(filesPerSecond, "mediainfo/all"), "%.1f").c_str(),
              ratioText(lookup(filesPerSecond, "floor/all"), engine, "%.2f").c_str());
}

void printReadTable(const std::vector<CorpusFile>& corpus) {
  std::printf(
      "\nReads per file: counted in our file layer and in TagLib's stream; then the "
      "kernel's read calls and bytes\n");
  std::printf("%-6s %9s %10s %9s %10s | %8s %8s %8s | %10s %10s %10s\n", "format", "our reads",
              "our bytes", "TL reads", "TL bytes", "sys ours", "sys TL", "sys MI", "kB ours",
              "kB TL", "kB MI");
  CountingPlatform counting;
  std::vector<std::string> labels;
  for (const FormatFolder& entry : kFormatFolders) labels.push_back(entry.format);
  labels.push_back("all");
  for (const std::string& label : labels) {
    const FileList files = filesOf(corpus, label);
    if (files.empty()) continue;
    const double n = static_cast<double>(files.size());

    counting.counts = {};
    setPlatform(&counting);
    for (const CorpusFile* file : files) readWithBuiltinReader(*file);
    setPlatform(nullptr);
    const ReadCounts ours = counting.counts;

    unsigned long long tagLibCalls = 0, tagLibBytes = 0;
    for (const CorpusFile* file : files) {
      unsigned long long calls = 0;
      tagLibBytes += tagLibBytesRead(*file, calls);
      tagLibCalls += calls;
    }

    const IoCounts sysOurs =
        ioPerPass(files, [](const CorpusFile& f) { readWithBuiltinReader(f); });
    const IoCounts sysTagLib = ioPerPass(files, [](const CorpusFile& f) { readWithTagLib(f); });
    const IoCounts sysMediaInfo =
        ioPerPass(files, [](const CorpusFile& f) { readWithMediaInfo(f); });
    std::printf("%-6s %9.1f %10.0f %9.1f %10.0f | %8.1f %8.1f %8.1f | %10.1f %10.1f %10.1f\n",
                label.c_str(), ours.calls / n, ours.bytes / n, tagLibCalls / n, tagLibBytes / n,
                sysOurs.readCalls / n, sysTagLib.readCalls / n, sysMediaInfo.readCalls / n,
                sysOurs.readBytes / n / 1000, sysTagLib.readBytes / n / 1000,
                sysMediaInfo.readBytes / n / 1000);
  }
}

void printMemory(const MemoryReport& memory, long loads) {
  std::printf("\nMemory over %ld loads through the engine (the corpus in turn)\n", loads);
  std::printf("%10s %12s %14s %14s\n", "loads", "RSS kB", "peak RSS kB", "heap in use B");
  for (const MemoryCheckpoint& point : memory) {
    std::printf("%10ld %12llu %14llu %14llu\n", point.loads,
                static_cast<unsigned long long>(point.counts.residentKiB),
                static_cast<unsigned long long>(point.counts.peakResidentKiB),
                static_cast<unsigned long long>(point.counts.heapInUseBytes));
  }
}

void printLongVbrMp3(const CorpusFile& file, const std::string& corpusRoot,
                     const std::map<std::string, double>& filesPerSecond) {
  const long long exactMs = expectedDurationMs(corpusRoot, "mp3/" + utf16ToUtf8(file.name));
  std::printf("\n60-minute VBR MP3 without a VBR header (%llu bytes)\n", file.size);
  std::printf("  exact length (frame count x 576 / rate): %lld ms\n", exactMs);
  std::printf("  ours:      TIME \"%s\"\n", utf16ToUtf8(builtinValue(file, u"TIME")).c_str());
  std::printf("             AFMT \"%s\"\n", utf16ToUtf8(builtinValue(file, u"AFMT")).c_str());
  const auto lengthText = [](long long ms) {
    return ms < 0 ? std::string("no length") : std::to_string(ms) + " ms";
  };
  std::printf("  TagLib:    %s\n", lengthText(tagLibLengthMs(file)).c_str());
  std::printf("  MediaInfo: %s\n", lengthText(mediaInfoDurationMs(file)).c_str());

  CountingPlatform counting;
  setPlatform(&counting);
  readWithBuiltinReader(file);
  setPlatform(nullptr);
  unsigned long long tagLibCalls = 0;
  const unsigned long long tagLibBytes = tagLibBytesRead(file, tagLibCalls);
  std::printf("  reads: ours %llu calls, %llu bytes; TagLib %llu calls, %llu bytes\n",
              static_cast<unsigned long long>(counting.counts.calls),
              static_cast<unsigned long long>(counting.counts.bytes), tagLibCalls, tagLibBytes);

  const std::string label = kLongVbrLabel;
  const auto perFileMs = [&](const char* contender) {
    const double rate = lookup(filesPerSecond, std::string(contender) + "/" + label);
    return rate > 0 ? 1000.0 / rate : 0.0;
  };
  const double mp3Rate = lookup(filesPerSecond, "engine/MP3");
  std::printf(
      "  time per load: engine %.2f ms, reader %.2f ms, TagLib %.3f ms, MediaInfo %.2f ms"
      " (the MP3 set on average through the engine: %.3f ms)\n",
      perFileMs("engine"), perFileMs("reader"), perFileMs("taglib"), perFileMs("mediainfo"),
      mp3Rate > 0 ? 1000.0 / mp3Rate : 0.0);
}

void printLongMovie(const CorpusFile& file, const char* heading, const char* label,
                    const std::map<std::string, double>& filesPerSecond) {
  std::printf("\n%s %s (%llu bytes)\n", heading, utf16ToUtf8(file.name).c_str(), file.size);
  for (const char16_t* code : {u"TIME", u"VFMT", u"AFMT", u"INAM"}) {
    std::printf("  ours:      %s \"%s\"\n", utf16ToUtf8(code).c_str(),
                utf16ToUtf8(builtinValue(file, code)).c_str());
  }
  const long long mediaInfoMs = mediaInfoDurationMs(file);
  std::printf("  MediaInfo: %lld ms\n", mediaInfoMs);

  CountingPlatform counting;
  setPlatform(&counting);
  readWithBuiltinReader(file);
  setPlatform(nullptr);
  const FileList one = {&file};
  const IoCounts sysOurs = ioPerPass(one, [](const CorpusFile& f) { readWithBuiltinReader(f); });
  const IoCounts sysMediaInfo = ioPerPass(one, [](const CorpusFile& f) { readWithMediaInfo(f); });
  std::printf(
      "  reads: ours %llu calls, %llu bytes (kernel: %llu calls, %llu bytes);"
      " MediaInfo (kernel) %llu calls, %llu bytes\n",
      static_cast<unsigned long long>(counting.counts.calls),
      static_cast<unsigned long long>(counting.counts.bytes),
      static_cast<unsigned long long>(sysOurs.readCalls),
      static_cast<unsigned long long>(sysOurs.readBytes),
      static_cast<unsigned long long>(sysMediaInfo.readCalls),
      static_cast<unsigned long long>(sysMediaInfo.readBytes));
  const auto perFileMs = [&](const char* contender) {
    const double rate = lookup(filesPerSecond, std::string(contender) + "/" + label);
    return rate > 0 ? 1000.0 / rate : 0.0;
  };
  std::printf("  time per load: engine %.3f ms, reader %.3f ms, MediaInfo %.2f ms\n",
              perFileMs("engine"), perFileMs("reader"), perFileMs("mediainfo"));
}

}  // namespace sonavid::bench
