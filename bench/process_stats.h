// What the kernel counts for this process: bytes and calls of read system calls, resident
// memory and its peak, and the heap bytes in use.
#pragma once

#include <cstdint>

namespace sonavid::bench {

struct IoCounts {
  uint64_t readBytes = 0;  // rchar: bytes asked of read/pread (page cache included)
  uint64_t readCalls = 0;  // syscr
};
IoCounts ioCounts();

struct MemoryCounts {
  uint64_t residentKiB = 0;      // VmRSS
  uint64_t peakResidentKiB = 0;  // VmHWM, since the last resetPeakResident()
  uint64_t heapInUseBytes = 0;   // malloc's bytes in use
};
MemoryCounts memoryCounts();
// Starts a new peak of resident memory (Linux: "5" written to /proc/self/clear_refs).
void resetPeakResident();

}  // namespace sonavid::bench
