// The host's request to expand one macro for one file, in two shapes: `MacroRequest`, the
// portable form the engine works on, and `ExecuteRequest`, the 32-byte record the 32-bit host
// passes, converted to the portable form at the boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sonavid {

inline constexpr int32_t kMediaTypeMacro = 0;
inline constexpr int32_t kMediaInfoMacro = 1;

// Call number of the first macro call on a file: the only call that loads the file.
inline constexpr int32_t kFirstCallOnFile = 1;

struct MacroRequest {
  int32_t macroIndex = 0;
  // What stood between "<" and ">" in the macro text; empty when there were no brackets.
  std::u16string_view parameterText;
  std::u16string_view directory;
  std::u16string_view fileName;
  // Not zero: the host wants nothing for this macro; the request yields the empty text at once.
  uint16_t skipFlag = 0;
  // Identifies the file within the host's current run (0, 1, 2 ...).
  int32_t fileNumber = 0;
  // 1 for the first macro call on a file, other values for later calls on the same file.
  int32_t callNumber = 0;
};

// A NUL-terminated host text as a view; a null pointer reads as the empty text.
inline std::u16string_view hostText(const char16_t* text) {
  return text != nullptr ? std::u16string_view(text) : std::u16string_view();
}

#if defined(_WIN32) && !defined(_WIN64)

#pragma pack(push, 1)

struct ExecuteRequest {
  int32_t macroIndex;
  const char16_t* parameterText;
  const char16_t* directory;
  const char16_t* fileName;
  uint32_t unused16;
  uint16_t skipFlag;
  uint16_t unused22;
  int32_t fileNumber;
  int32_t callNumber;
};

#pragma pack(pop)

static_assert(sizeof(ExecuteRequest) == 32);
static_assert(offsetof(ExecuteRequest, macroIndex) == 0);
static_assert(offsetof(ExecuteRequest, parameterText) == 4);
static_assert(offsetof(ExecuteRequest, directory) == 8);
static_assert(offsetof(ExecuteRequest, fileName) == 12);
static_assert(offsetof(ExecuteRequest, unused16) == 16);
static_assert(offsetof(ExecuteRequest, skipFlag) == 20);
static_assert(offsetof(ExecuteRequest, unused22) == 22);
static_assert(offsetof(ExecuteRequest, fileNumber) == 24);
static_assert(offsetof(ExecuteRequest, callNumber) == 28);

// The portable form of a host record. Null text pointers become empty texts; the views point
// into the host's texts, which stay valid for the duration of the call.
inline MacroRequest toMacroRequest(const ExecuteRequest& record) {
  MacroRequest request;
  request.macroIndex = record.macroIndex;
  request.parameterText = hostText(record.parameterText);
  request.directory = hostText(record.directory);
  request.fileName = hostText(record.fileName);
  request.skipFlag = record.skipFlag;
  request.fileNumber = record.fileNumber;
  request.callNumber = record.callNumber;
  return request;
}

#endif

}  // namespace sonavid
