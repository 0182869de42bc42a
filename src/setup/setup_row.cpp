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
    if (row.suffix.empty() || row.description.empty() || row.substitution.empty()) continue;
    list.push_back(row.baseCode + u"_" + row.suffix);
    list.push_back(row.description);
    list.push_back(row.substitution);
  }
  return list;
}

}  // namespace sonavid::setup
