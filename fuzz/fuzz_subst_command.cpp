// Feeds arbitrary UTF-16 text to the front end of the built-in substitution: the s/// command
// parser, and the whole substitution of a short fixed target.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "regex/builtin_substitution.h"
#include "regex/subst_command.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string command = sonavid::fuzz::utf16Of(data, size);
  sonavid::regex::parseSubstCommand(command);
  static sonavid::BuiltinSubstitution substitution;
  substitution.subst(command, u"MPEG 1.0 Layer3, 44100Hz, 128Kbps, Joint Stereo, 3:25 (205sec)");
  return 0;
}
