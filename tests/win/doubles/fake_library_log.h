// What the test-double libraries record about the calls they get; the tests read it through
// the doubles' named export fakeLibraryLog.
#pragma once

#include <cstdint>

namespace sonavid::test {

struct FakeReaderLog {
  int loads = 0;
  int nonNullOwners = 0;  // loads called with an owner window
  int typeCalls = 0;
  int valueCalls = 0;
  int nonNullValueSlots = 0;  // value calls whose text pointer was not null on entry
  char lastPath[1024] = {};   // ANSI bytes as received
  char lastName[256] = {};
};

struct FakeRegexLog {
  int calls = 0;
  int nonNullRecordsOnEntry = 0;  // calls whose record pointer was not null on entry
  int nullCommands = 0;
  int nullTargets = 0;
  int liveRecords = 0;  // allocated and not yet released
  int releases = 0;
  int foreignReleases = 0;  // release of something this library did not hand out
  int lastTargetLength = -1;
  bool lastTargetWasEmptyText = false;  // start == end, pointing at a NUL
};

}  // namespace sonavid::test
