// The four ways of getting "type + playing time + audio format + video format + title" for a
// file that the benchmark compares: through the plug-in's engine as a host calls it, the
// built-in reader alone, TagLib and MediaInfoLib; and the floor under them all, the system
// calls a reader cannot do without. Each returns a number that depends on what was read, so the
// work cannot be optimised away.
#pragma once

#include <cstddef>
#include <string>

#include "corpus.h"

namespace sonavid::bench {

// The host's sequence for one file: the media-type macro (the call that loads the file), then
// the media-info macro for TIME, AFMT, VFMT and INAM. Call startEngineRun() before a pass.
void startEngineRun();
size_t readWithEngine(const CorpusFile& file, int fileNumber);

size_t readWithBuiltinReader(const CorpusFile& file);

// The floor: open the file and learn its size, read the start and the end, close it, through
// the platform layer the reader uses, with nothing parsed.
size_t readFloor(const CorpusFile& file);
// The engine's own read calls on a file and nothing else: open, size, the same reads at the
// same places, close. What is left of the engine's time beyond this is its own work. The calls
// are noted by noteEngineReads.
void noteEngineReads(std::vector<CorpusFile>& corpus);
size_t replayEngineReads(const CorpusFile& file);

// TagLib's FileRef with average audio properties: length, bitrate, sample rate, channels and
// the title. Returns 0 when TagLib cannot read the file.
size_t readWithTagLib(const CorpusFile& file);

// MediaInfoLib: Open, duration, format, title, Close.
size_t readWithMediaInfo(const CorpusFile& file);

// Values for the report on one file: our TIME text, and the lengths in milliseconds that
// TagLib and MediaInfoLib give.
std::u16string builtinValue(const CorpusFile& file, std::u16string_view code);
long long tagLibLengthMs(const CorpusFile& file);
long long mediaInfoDurationMs(const CorpusFile& file);

// Bytes TagLib reads from a file, counted in its stream layer; the number of reads in `calls`.
unsigned long long tagLibBytesRead(const CorpusFile& file, unsigned long long& calls);

}  // namespace sonavid::bench
