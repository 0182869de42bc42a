// The substitution over an installed bregonig.dll: BSubstW and BRegfreeW, C calling convention,
// undecorated names, wide-character texts.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "core/substitution.h"

namespace sonavid {

// The library's result record. Only its first field is read, always through the pointer the
// library gave: the record is never allocated, copied or laid out here beyond that field.
struct BregonigRecord {
  wchar_t* output;  // the whole text after substitution, NUL-terminated; null when empty
};

using BSubstWFn = int(__cdecl*)(const wchar_t* command, wchar_t* targetStart, wchar_t* targetEnd,
                                BregonigRecord** record, wchar_t* message);
using BRegfreeWFn = void(__cdecl*)(BregonigRecord* record);

// Size of the message buffer the library may write its error text into.
inline constexpr size_t kBregonigMessageUnits = 80;
// Longest output taken from a record; a longer one is cut.
inline constexpr size_t kMaxBregonigOutputUnits = 1u << 24;

class BregonigSubstitution final : public Substitution {
 public:
  // Takes BSubstW and BRegfreeW from `module`, a loaded bregonig.dll found at `libraryPath`.
  // Returns null, leaving the module to the caller, when one is missing; otherwise the object
  // owns the module and frees it when destroyed.
  static std::unique_ptr<BregonigSubstitution> fromModule(HMODULE module,
                                                          std::u16string libraryPath);
  ~BregonigSubstitution() override;
  BregonigSubstitution(const BregonigSubstitution&) = delete;
  BregonigSubstitution& operator=(const BregonigSubstitution&) = delete;

  // Every call compiles the command anew: the record is null on entry and released before
  // returning, after the output was copied.
  SubstResult subst(std::u16string_view command, std::u16string_view target) override;

  const std::u16string& libraryPath() const { return libraryPath_; }

 private:
  BregonigSubstitution(HMODULE module, std::u16string libraryPath, BSubstWFn substitute,
                       BRegfreeWFn release);

  HMODULE module_;
  std::u16string libraryPath_;
  BSubstWFn substitute_;
  BRegfreeWFn release_;
};

}  // namespace sonavid
