#include "setup/setup_row.h"

namespace sonavid::setup {

SetupRow splitItemName(std::u16string_view itemName) {
  SetupRow row;
  row.baseCode = std::u16string(itemName.substr(0, 4));
  if (itemName.size() > 5) row.suffix = std::u16string(itemName.substr(5));
  return row;
}

std::vector<SetupRow> rowsOf(const ItemList& list) {
  std::vector<SetupRow> rows;
  rows.reserve((list.size() + 2) / 3);
  for (size_t i = 0; i < list.size(); i += 3) {
    SetupRow row = splitItemName(list[i]);
    if (i + 1 < list.size()) row.description = list[i + 1];
    if (i + 2 < list.size()) row.substitution = list[i + 2];
    rows.push_back(std::move(row));
  }
  return rows;
}

ItemList itemListOf(const std::vector<SetupRow>& rows) {
  ItemList list;
  list.reserve(rows.size() * 3);
  for (const SetupRow& row : rows) {
    if (!rowComplete(row)) continue;
    list.push_back(row.baseCode + u"_" + row.suffix);
    list.push_back(row.description);
    list.push_back(row.substitution);
  }
  return list;
}

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; }
bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool pairAt(std::u16string_view text, size_t i) {
  return i + 1 < text.size() && isHighSurrogate(text[i]) && isLowSurrogate(text[i + 1]);
}

// Code units of the first `count` characters of `text`.
size_t unitsOfCharacters(std::u16string_view text, size_t count) {
  size_t i = 0;
  for (; i < text.size() && count > 0; --count) i += pairAt(text, i) ? 2 : 1;
  return i;
}

}  // namespace

std::u16string_view trimmedSuffix(std::u16string_view suffix) {
  while (!suffix.empty() && isBlank(suffix.front())) suffix.remove_prefix(1);
  while (!suffix.empty() && isBlank(suffix.back())) suffix.remove_suffix(1);
  return suffix;
}

bool partMissing(const SetupRow& row, int subItem) {
  if (subItem == kSuffixText) return trimmedSuffix(row.suffix).empty();
  return subItemText(row, subItem).empty();
}

bool rowComplete(const SetupRow& row) {
  for (int subItem = 0; subItem < kSubItemCount; ++subItem) {
    if (partMissing(row, subItem)) return false;
  }
  return true;
}

std::u16string withoutLoneSurrogates(std::u16string_view text) {
  std::u16string kept;
  kept.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (pairAt(text, i)) {
      kept.append(text.substr(i, 2));
      ++i;
    } else if (!isHighSurrogate(text[i]) && !isLowSurrogate(text[i])) {
      kept.push_back(text[i]);
    }
  }
  return kept;
}

size_t characterCount(std::u16string_view text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); i += pairAt(text, i) ? 2 : 1) ++count;
  return count;
}

std::u16string limitTypedText(std::u16string_view before, std::u16string_view after, size_t limit,
                              size_t& caret) {
  caret = after.size();
  const size_t count = characterCount(after);
  if (count <= limit || count <= characterCount(before)) return std::u16string(after);

  // The inserted text lies between what the change left alone at both ends; those ends are
  // widened to whole characters.
  size_t head = 0;
  while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
  if (head > 0 && isHighSurrogate(after[head - 1])) --head;
  size_t tail = 0;
  while (tail < before.size() - head && tail < after.size() - head &&
         before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
    ++tail;
  }
  if (tail > 0 && isLowSurrogate(after[after.size() - tail])) --tail;

  const std::u16string_view kept[2] = {after.substr(0, head), after.substr(after.size() - tail)};
  const size_t keptCount = characterCount(kept[0]) + characterCount(kept[1]);
  const size_t room = limit > keptCount ? limit - keptCount : 0;
  std::u16string_view inserted = after.substr(head, after.size() - tail - head);
  inserted = inserted.substr(0, unitsOfCharacters(inserted, room));
  std::u16string result(kept[0]);
  result.append(inserted);
  caret = result.size();
  result.append(kept[1]);
  return result;
}

}  // namespace sonavid::setup
