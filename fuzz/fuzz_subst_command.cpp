// Feeds arbitrary substitution commands and targets to the built-in engine: the s/// reader,
// the pattern adaptation, the replacement reader and expansion, and the search limits.
// Input: the command and the target as UTF-8, separated by the first line feed; or, when the
// input starts with 0xFF and has an odd length, the same as raw UTF-16LE (unpaired surrogates).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text.h"
#include "regex/builtin_substitution.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string input;
  if (size % 2 == 1 && data[0] == 0xFF) {
    for (size_t i = 1; i + 1 < size; i += 2) {
      input.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
  } else {
    input = sonavid::utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
  }
  const size_t split = input.find(u'\n');
  const std::u16string_view all(input);
  const std::u16string_view command = all.substr(0, split);
  const std::u16string_view target =
      split == std::u16string::npos ? std::u16string_view() : all.substr(split + 1);
  // A fresh engine per input, so that a cached command cannot hide a fault of the first run.
  sonavid::BuiltinSubstitution engine;
  const sonavid::SubstResult result = engine.subst(command, target);
  if (result.count > 0 && result.output.size() > sonavid::kMaxSubstOutputUnits) __builtin_trap();
  return 0;
}
