// One row of a setup list: a user item split into the four parts the columns show. Column 0
// is the row's caption (the base field code); columns 1 to 3 are its sub-item texts 0 to 2.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/plugin_settings.h"

namespace sonavid::setup {

struct SetupRow {
  std::u16string baseCode;  // "TIME", "AFMT" or "VFMT"
  std::u16string suffix;
  std::u16string description;
  std::u16string substitution;

  friend bool operator==(const SetupRow&, const SetupRow&) = default;
};

// Splits an item name into its base code (first four characters) and suffix (from the sixth);
// the fifth character, the "_", is dropped. Shorter names give what there is.
SetupRow splitItemName(std::u16string_view itemName);

// The rows a page shows for an item list (an incomplete last item is filled with empty texts).
std::vector<SetupRow> rowsOf(const ItemList& list);

// The item list the rows stand for, leaving out incomplete rows.
ItemList itemListOf(const std::vector<SetupRow>& rows);

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

// The suffix without the blanks (spaces, tabs, ideographic spaces) at its ends: what a
// committed suffix keeps, since the settings file would drop them when read back.
std::u16string_view trimmedSuffix(std::u16string_view suffix);

// Whether a sub-item text is missing: empty, or for the suffix blank. A row with a missing part
// is incomplete; it is shown (marked) but never saved.
bool partMissing(const SetupRow& row, int subItem);
bool rowComplete(const SetupRow& row);

// The text with every unpaired surrogate removed: half a character is never stored.
std::u16string withoutLoneSurrogates(std::u16string_view text);

// Characters in a text: a surrogate pair counts once, and so does an unpaired surrogate (the
// first half of a pair still being typed).
size_t characterCount(std::u16string_view text);

// What an edit box with a limit of `limit` characters holds after the user changed `before`
// into `after`: text typed or pasted beyond the limit is cut at a character boundary, never
// inside a surrogate pair; a text already longer than the limit (loaded so) may shrink but
// not grow. `caret` receives the position after what was kept of the inserted text.
std::u16string limitTypedText(std::u16string_view before, std::u16string_view after, size_t limit,
                              size_t& caret);

}  // namespace sonavid::setup
