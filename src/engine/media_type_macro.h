// Macro 0: the media type of the file ("MP3" ... "MP4", "WMV" for a WMA file with video), in
// upper or lower case, or for an unrecognised file nothing or the file's own extension.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/macro_context.h"

namespace sonavid {

struct MediaTypeParams {
  // 0: upper case; any other value: lower case.
  int32_t caseChoice = 0;
  // 0: an unrecognised file yields nothing; any other value: its own extension.
  int32_t nonTarget = 0;
};

// Parameter text "CASE,NONTARGET": up to two comma-separated integers, each falling back to
// its default when missing or not an integer; text after the second comma is ignored.
MediaTypeParams parseMediaTypeParams(std::u16string_view text, int32_t defaultCase,
                                     int32_t defaultNonTarget);

// The part of a file name after its last period ("" when there is none).
std::u16string_view fileExtension(std::u16string_view fileName);

const char16_t* mediaTypeMacro(const MacroContext& context, const MacroRequest& request);

}  // namespace sonavid
