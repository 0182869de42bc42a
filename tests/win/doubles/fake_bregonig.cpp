// Test double of the installed regex library: BSubstW and BRegfreeW with the C calling
// convention, and a log. It understands a few fixed commands:
//   "upper"   ASCII capitals of the target, result 1
//   "echo"    the target unchanged, result 1
//   "twice"   the target twice, result 2
//   "null"    result 1 with a null output (what the library gives for an empty output)
//   "nomatch" result 0, but a record is handed out all the same
//   "bad"     result -1, an error message, no record
// Anything else: result 0 and no record. Releasing a record overwrites its output first, so a
// caller that reads the output after releasing it reads garbage.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>

#include "fake_library_log.h"

namespace {

constexpr uint32_t kRecordMark = 0x52454346;  // "FCER"

struct Record {
  wchar_t* output;  // the first field, as the library's callers expect
  uint32_t mark;
  std::wstring text;
};

sonavid::test::FakeRegexLog regexLog;

Record* newRecord(const std::wstring* text) {
  auto* record = new Record{nullptr, kRecordMark, text ? *text : std::wstring()};
  if (text != nullptr) record->output = record->text.data();
  ++regexLog.liveRecords;
  return record;
}

}  // namespace

extern "C" {

int __cdecl BSubstW(const wchar_t* command, wchar_t* start, wchar_t* end, Record** record,
                    wchar_t* message) {
  ++regexLog.calls;
  if (record == nullptr) return -1;
  if (*record != nullptr) ++regexLog.nonNullRecordsOnEntry;
  if (command == nullptr) {
    ++regexLog.nullCommands;
    return -1;
  }
  if (start == nullptr || end == nullptr || end < start) {
    ++regexLog.nullTargets;
    return -1;
  }
  regexLog.lastTargetLength = static_cast<int>(end - start);
  regexLog.lastTargetWasEmptyText = start == end && *start == L'\0';
  const std::wstring target(start, end);
  const std::wstring name(command);
  if (name == L"upper") {
    std::wstring upper = target;
    for (wchar_t& c : upper) {
      if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    *record = newRecord(&upper);
    return 1;
  }
  if (name == L"echo") {
    *record = newRecord(&target);
    return 1;
  }
  if (name == L"twice") {
    const std::wstring both = target + target;
    *record = newRecord(&both);
    return 2;
  }
  if (name == L"null") {
    *record = newRecord(nullptr);
    return 1;
  }
  if (name == L"nomatch") {
    *record = newRecord(nullptr);
    return 0;
  }
  if (name == L"bad") {
    if (message != nullptr) wcsncpy(message, L"syntax error in the pattern", 79);
    return -1;
  }
  return 0;
}

void __cdecl BRegfreeW(Record* record) {
  if (record == nullptr) return;
  if (record->mark != kRecordMark) {
    ++regexLog.foreignReleases;
    return;
  }
  for (wchar_t& c : record->text) c = L'#';
  record->mark = 0;
  delete record;
  --regexLog.liveRecords;
  ++regexLog.releases;
}

sonavid::test::FakeRegexLog* __cdecl fakeLibraryLog() { return &regexLog; }

}  // extern "C"
