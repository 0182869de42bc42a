// The information fields the media-info parameter dialog offers, per entry of its type
// selector: a fixed list of display entries (code in a nine-character column, then caption)
// with the type's user items merged in behind the fields they derive from.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/plugin_state.h"

namespace sonavid {

// Type selector entries: 0 is automatic, the others name media type indexes from 0 in order.
inline constexpr int kTypeSelectorCount = kMediaTypeCount + 1;
inline constexpr int kNoTypeSelected = -1;
inline constexpr std::array<std::u16string_view, kTypeSelectorCount> kTypeSelectorCaptions = {
    u"\u81EA\u52D5", u"MP3", u"WAV", u"AVI", u"VQF", u"WMA", u"OGG", u"APE", u"MP4",
    u"FLAC",         u"AIFF", u"WV",  u"DSF", u"MKV", u"TS",  u"MPG", u"AAC"};

// Width of the code column of a display entry.
inline constexpr size_t kEntryCodeWidth = 9;

// The fixed list for a selector index; any index outside the selector (no selection) gives
// the OGG and APE list.
std::span<const std::u16string_view> fixedFieldList(int selectorIndex);

// The list shown for a selector index: the fixed list with the matching user items of that
// type merged in (none for automatic or no selection).
std::vector<std::u16string> buildFieldList(int selectorIndex,
                                           const std::array<ItemList, kMediaTypeCount>& itemLists);

// A user item's entry: the name filled with blanks to nine characters (a longer name is kept
// whole), then the description.
std::u16string userItemEntry(std::u16string_view itemName, std::u16string_view description);

// The field code of a display entry: its first nine characters without trailing characters of
// code 32 or less.
std::u16string codeOfEntry(std::u16string_view entry);

}  // namespace sonavid
