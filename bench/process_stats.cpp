#include "process_stats.h"

#include <malloc.h>

#include <fstream>
#include <string>

namespace sonavid::bench {
namespace {

// The number after "key" in a "key value" file of /proc; 0 when missing.
uint64_t procField(const char* file, const std::string& key) {
  std::ifstream in(file);
  std::string word;
  while (in >> word) {
    if (word == key) {
      uint64_t value = 0;
      in >> value;
      return value;
    }
  }
  return 0;
}

}  // namespace

IoCounts ioCounts() {
  return {procField("/proc/self/io", "rchar:"), procField("/proc/self/io", "syscr:")};
}

MemoryCounts memoryCounts() {
  MemoryCounts counts;
  counts.residentKiB = procField("/proc/self/status", "VmRSS:");
  counts.peakResidentKiB = procField("/proc/self/status", "VmHWM:");
  counts.heapInUseBytes = mallinfo2().uordblks;
  return counts;
}

void resetPeakResident() {
  std::ofstream out("/proc/self/clear_refs");
  out << "5";
}

}  // namespace sonavid::bench
