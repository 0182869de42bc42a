// Macro 1: one piece of information about the file (playing time, audio or video format, a tag
// field), with the rewrites of the time and format fields and the user's items.
#pragma once

#include <string_view>

#include "engine/macro_context.h"

namespace sonavid {

struct MediaInfoParams {
  // Media type index of the requested type; -1 for automatic.
  int typeIndex = -1;
  std::u16string_view fieldCode = u"TIME";
};

// Parameter text "TYPE,FIELD": the type before the first comma (an exact upper-case type name,
// anything else means automatic), the field code after it. A text without a comma is a type
// alone and asks for "TIME". The field code views into `text`.
MediaInfoParams parseMediaInfoParams(std::u16string_view text);

// The expression of the user item named `itemName` in a type's item list (three texts per
// item); the last item of that name wins; "" when there is none.
std::u16string_view findItemExpression(const ItemList& items, std::u16string_view itemName);

const char16_t* mediaInfoMacro(const MacroContext& context, const MacroRequest& request);

}  // namespace sonavid
