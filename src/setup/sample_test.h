// The bottom panel's two tries: reading the texts of a sample file through the media-info
// macro, and applying a row's substitution to one of them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/execute_request.h"
#include "core/substitution.h"

namespace sonavid::setup {

// Runs one execute request as the host's execute callback would; a null request is the reset
// request. Returns the result text (copied).
using MacroRunner = std::function<std::u16string(const MacroRequest*)>;

struct SampleTexts {
  std::vector<std::u16string> texts;  // to append to the sample box, in order
  bool dropDown = false;              // open the box's list afterwards
};

// Resets the engine, then asks the media-info macro for ",TIME", ",AFMT" and ",VFMT" of the
// file (call numbers 1 to 3, file number 0), stopping at the first empty text. The box drops
// down only when both the time and the audio format were read.
SampleTexts readSampleTexts(std::u16string_view folder, std::u16string_view fileName,
                            const MacroRunner& run);

// The test button's result: the substitution's output when it replaced something; for a
// command that cannot run, why (kSubstitutionErrorLabel and the regex library's reason);
// else (no match) the empty text.
std::u16string trySubstitution(Substitution& substitution, std::u16string_view command,
                               std::u16string_view target);

}  // namespace sonavid::setup
