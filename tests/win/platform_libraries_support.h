// Shared by the tests of the installed-library adapters: where the test doubles are, copying
// them, reading their logs, and measuring who removes a call's arguments.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "win/doubles/fake_library_log.h"

namespace sonavid::test {

// bin\doubles\complete\ and bin\doubles\incomplete\ (the latter lacks one function each).
std::wstring doublesFolder(const wchar_t* variant);

// Copies a file; returns false when it could not.
bool copyInto(const std::wstring& from, const std::wstring& to);

// The log of a loaded double (null when the module is not one).
template <typename Log>
Log* logOf(HMODULE module) {
  using LogFn = Log*(__cdecl*)();
  auto get =
      reinterpret_cast<LogFn>(reinterpret_cast<void*>(GetProcAddress(module, "fakeLibraryLog")));
  return get ? get() : nullptr;
}

// Pushes `count` 32-bit arguments (args[0] last, so it ends up first), calls `function` and
// returns how many bytes of them the callee removed from the stack: 4 * count for the standard
// Windows convention, 0 for the C convention. The stack is put right again either way.
uint32_t bytesRemovedByCallee(const void* function, const uint32_t* args, uint32_t count);

// A module of that full path is loaded in this process.
bool isLoaded(const std::wstring& path);

std::u16string u16(const std::wstring& text);

// Sets the current directory and PATH for the lifetime of the object.
class CurrentDirectoryAndPath {
 public:
  CurrentDirectoryAndPath(const std::wstring& directory, const std::wstring& pathPrefix);
  ~CurrentDirectoryAndPath();

 private:
  std::wstring oldDirectory_;
  std::wstring oldPath_;
};

}  // namespace sonavid::test
