// The records that cross the host boundary, laid out byte for byte as the host expects them:
// little-endian 32-bit x86, packed, pointers 4 bytes wide. Sizes and offsets are checked at
// compile time for the 32-bit build.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sonavid {

#pragma pack(push, 1)

// Area on which the host wants a dialog centred, in screen pixels.
struct HostRect {
  int16_t left;
  int16_t top;
  int16_t width;
  int16_t height;
};
static_assert(sizeof(HostRect) == 8);

#if defined(_WIN32) && !defined(_WIN64)

using MacInitializeFn = void(__cdecl*)(const struct PluginInitRecord*);
using MacGetNameFn = uint32_t(__cdecl*)(const struct MacroNameRecord*);
using MacSetupFn = uint32_t(__cdecl*)(const HostRect*);
using MacParamDialogFn = const char16_t*(__cdecl*)(const struct ParamDialogRequest*,
                                                    const HostRect*);
using MacExecuteFn = const char16_t*(__cdecl*)(const struct ExecuteRequest*);
using MacFinalizeFn = uint32_t(__cdecl*)();
using MacPluginFn = int32_t(__stdcall*)(struct PluginDescriptor*);

struct PluginDescriptor {
  uint32_t version;
  MacInitializeFn macInitialize;
  MacGetNameFn macGetName;
  MacSetupFn macSetup;
  MacParamDialogFn macParamDialog;
  MacExecuteFn macExecute;
  MacFinalizeFn macFinalize;
  char16_t* nameBuffer;
  char16_t* versionBuffer;
};
static_assert(sizeof(PluginDescriptor) == 36);
static_assert(offsetof(PluginDescriptor, macExecute) == 20);
static_assert(offsetof(PluginDescriptor, nameBuffer) == 28);
static_assert(offsetof(PluginDescriptor, versionBuffer) == 32);

struct PluginInitRecord {
  void* hostWindow;
  const char16_t* iniPath;
  const char16_t* section;
};
static_assert(sizeof(PluginInitRecord) == 12);

struct MacroNameRecord {
  int32_t macroIndex;
  char16_t* nameBuffer;
  char16_t* descriptionBuffer;
};
static_assert(sizeof(MacroNameRecord) == 12);

struct ParamDialogRequest {
  uint32_t macroIndex;
  char16_t macroLetter;
  const char16_t* caption;  // at offset 6, unaligned
};
static_assert(sizeof(ParamDialogRequest) == 10);
static_assert(offsetof(ParamDialogRequest, caption) == 6);

#endif

#pragma pack(pop)

inline constexpr int32_t kPluginEntryResult = 5002;
inline constexpr uint32_t kPluginInterfaceVersion = 2;

}  // namespace sonavid
