#include "win/platform_libraries_support.h"

#include "common/platform.h"
#include "win/plugin_fixture.h"

namespace sonavid {
// The built-in reader that the choice falls back to reads files through the system platform,
// which the Windows library defines; the linker has passed that library by the time the core
// library asks for it, so the test program names it itself.
Platform& systemPlatform();
namespace test {
[[gnu::used]] Platform& (*const pullSystemPlatform)() = systemPlatform;
}  // namespace test
}  // namespace sonavid

namespace sonavid::test {

std::wstring doublesFolder(const wchar_t* variant) {
  return programFolder() + L"doubles\\" + variant + L"\\";
}

bool copyInto(const std::wstring& from, const std::wstring& to) {
  return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
}

uint32_t bytesRemovedByCallee(const void* function, const uint32_t* args, uint32_t count) {
  uint32_t removed = 0;
  // All operands are read before the first push and the result written after the stack
  // pointer is restored, so operands addressed relative to it stay valid.
  asm volatile(
      "movl %[count], %%ecx\n\t"
      "movl %[args], %%edx\n\t"
      "movl %[function], %%eax\n\t"
      "movl %%esp, %%edi\n\t"
      "1:\n\t"
      "testl %%ecx, %%ecx\n\t"
      "jz 2f\n\t"
      "decl %%ecx\n\t"
      "pushl (%%edx,%%ecx,4)\n\t"
      "jmp 1b\n\t"
      "2:\n\t"
      "movl %%esp, %%ebx\n\t"
      "call *%%eax\n\t"
      "movl %%esp, %%ecx\n\t"
      "subl %%ebx, %%ecx\n\t"
      "movl %%edi, %%esp\n\t"
      "movl %%ecx, %[removed]\n\t"
      : [removed] "=m"(removed)
      : [function] "m"(function), [args] "m"(args), [count] "m"(count)
      : "eax", "ebx", "ecx", "edx", "edi", "memory", "cc");
  return removed;
}

bool isLoaded(const std::wstring& path) {
  HMODULE module = nullptr;
  return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, path.c_str(), &module) &&
         module != nullptr;
}

std::u16string u16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

CurrentDirectoryAndPath::CurrentDirectoryAndPath(const std::wstring& directory,
                                                 const std::wstring& pathPrefix) {
  wchar_t buffer[32768];
  DWORD n = GetCurrentDirectoryW(32768, buffer);
  oldDirectory_.assign(buffer, n);
  n = GetEnvironmentVariableW(L"PATH", buffer, 32768);
  oldPath_.assign(buffer, n < 32768 ? n : 0);
  SetCurrentDirectoryW(directory.c_str());
  SetEnvironmentVariableW(L"PATH", (pathPrefix + L";" + oldPath_).c_str());
}

CurrentDirectoryAndPath::~CurrentDirectoryAndPath() {
  SetCurrentDirectoryW(oldDirectory_.c_str());
  SetEnvironmentVariableW(L"PATH", oldPath_.c_str());
}

}  // namespace sonavid::test
