// One row of a setup list: a user item split into the four parts the columns show. Column 0
// is the row's caption (the base field code); columns 1 to 3 are its sub-item texts 0 to 2.
#pragma once

#include <string>
#include <string_view>

#include "host/settings_store.h"

namespace sonavid::setup {

using SetupRow = ItemRow;

// Sub-item texts by index, as the edit box remembers which one it edits.
inline constexpr int kSuffixText = 0;
inline constexpr int kDescriptionText = 1;
inline constexpr int kSubstitutionText = 2;
inline constexpr int kSubItemCount = 3;

// What a new row starts with.
inline constexpr std::u16string_view kNewRowCode = u"TIME";
inline constexpr std::u16string_view kNewRowSubstitution = u"s///";

inline std::u16string& subItemText(SetupRow& row, int subItem) {
  return subItem == kSuffixText        ? row.suffix
         : subItem == kDescriptionText ? row.description
                                       : row.substitution;
}
inline const std::u16string& subItemText(const SetupRow& row, int subItem) {
  return subItemText(const_cast<SetupRow&>(row), subItem);
}

}  // namespace sonavid::setup
