#include "setup/setup_model.h"

#include <algorithm>

#include "common/text.h"

namespace sonavid::setup {

SetupModel::SetupModel(const std::array<ItemList, kPageCount>& itemLists) {
  for (int page = 0; page < kPageCount; ++page) pages_[page] = rowsOf(itemLists[page]);
}

bool SetupModel::anyPageModified() const {
  return std::any_of(modified_.begin(), modified_.end(), [](bool flag) { return flag; });
}

bool SetupModel::rowExists(int row) const {
  return row >= 0 && static_cast<size_t>(row) < shownRows().size();
}

int SetupModel::editedRow() const {
  if (textEditor_) return textEditor_->row;
  if (codeEditor_) return *codeEditor_;
  return -1;
}

std::optional<TextEditorStart> SetupModel::openTextEditor(int row, int column) {
  if (!rowExists(row) || column < 1 || column >= kColumnCount) return std::nullopt;
  const int subItem = column - 1;
  textEditor_ = TextEditor{row, subItem, subItemText(shownRows()[row], subItem)};
  return TextEditorStart{subItemText(shownRows()[row], subItem),
                         subItem == kSuffixText ? kSuffixMaxLength : 0,
                         subItem == kDescriptionText};
}

std::optional<std::u16string> SetupModel::openCodeEditor(int row) {
  if (!rowExists(row)) return std::nullopt;
  codeEditor_ = row;
  return shownRows()[row].baseCode;
}

TypedText SetupModel::typeInTextEditor(std::u16string_view text) {
  if (!textEditor_ || textEditor_->subItem != kSuffixText) {
    if (textEditor_) textEditor_->text = text;
    return TypedText{std::u16string(text), text.size()};
  }
  size_t caret = 0;
  textEditor_->text = limitTypedText(textEditor_->text, text, kSuffixMaxLength, caret);
  return TypedText{textEditor_->text, caret};
}

bool SetupModel::commitTextEditor(std::u16string_view text) {
  if (!textEditor_) return false;
  const TextEditor editor = *textEditor_;
  textEditor_.reset();
  // The row may have gone meanwhile (a delete while the editor was open): drop the text then.
  if (!rowExists(editor.row)) return false;
  std::u16string committed = withoutLoneSurrogates(text);
  if (editor.subItem == kSuffixText) committed = std::u16string(trimmedSuffix(committed));
  std::u16string& cell = subItemText(pages_[shownPage_][editor.row], editor.subItem);
  if (cell == committed) return false;
  cell = std::move(committed);
  markShownPageModified();
  return true;
}

bool SetupModel::commitCodeEditor(std::u16string_view text) {
  if (!codeEditor_) return false;
  const int row = *codeEditor_;
  codeEditor_.reset();
  if (!rowExists(row) || text.empty()) return false;
  std::u16string& code = pages_[shownPage_][row].baseCode;
  if (code == text) return false;
  code = text;
  markShownPageModified();
  return true;
}

int SetupModel::addRow() {
  SetupRow row;
  row.baseCode = kNewRowCode;
  row.substitution = kNewRowSubstitution;
  pages_[shownPage_].push_back(std::move(row));
  markShownPageModified();
  return static_cast<int>(shownRows().size()) - 1;
}

bool SetupModel::deleteRow(int selected) {
  if (!rowExists(selected)) return false;
  auto& rows = pages_[shownPage_];
  rows.erase(rows.begin() + selected);
  markShownPageModified();
  return true;
}

bool SetupModel::dropRow(int selected, int target) {
  if (!rowExists(selected) || !rowExists(target) || selected == target) return false;
  // Taking the row out and putting it in at the target's index inserts it before the target
  // when it moves up and after the target when it moves down.
  auto& rows = pages_[shownPage_];
  SetupRow moved = std::move(rows[selected]);
  rows.erase(rows.begin() + selected);
  rows.insert(rows.begin() + target, std::move(moved));
  markShownPageModified();
  return true;
}

void SetupModel::leavePage(const LeavingPage& leaving) {
  // Changes still in an editor count for the page being left.
  if (textEditor_) {
    if (leaving.editText) {
      commitTextEditor(*leaving.editText);
    } else {
      cancelTextEditor();
    }
  }
  if (codeEditor_) {
    if (leaving.codeText) {
      commitCodeEditor(*leaving.codeText);
    } else {
      cancelCodeEditor();
    }
  }
  SampleMemory& memory = samples_[shownPage_];
  memory.texts = leaving.sampleTexts;
  const int count = static_cast<int>(memory.texts.size());
  memory.chosen =
      leaving.sampleChosen >= 0 && leaving.sampleChosen < count ? leaving.sampleChosen : -1;
}

EnteredPage SetupModel::enterPage(int page) {
  if (isPage(page)) shownPage_ = page;
  sampleFileName_ = kPages[shownPage_].defaultFileName;
  return EnteredPage{offeredBaseCodes(shownPage_), &samples_[shownPage_]};
}

const std::u16string& SetupModel::prepareSampleFolder(
    std::u16string_view dataFilePath,
    const std::function<bool(std::u16string_view)>& folderExists) {
  if (sampleFolder_.empty() || !folderExists(sampleFolder_)) {
    sampleFolder_ = folderOfPath(dataFilePath);
  }
  return sampleFolder_;
}

void SetupModel::rememberSampleFile(std::u16string_view path) {
  sampleFolder_ = folderOfPath(path);
  sampleFileName_ = nameOfPath(path);
}

std::vector<int> SetupModel::pagesToSave(SaveMode mode) const {
  if (mode == SaveMode::ShownPage) return {shownPage_};
  std::vector<int> pages;
  for (int page = 0; page < kPageCount; ++page) {
    if (modified_[page]) pages.push_back(page);
  }
  return pages;
}

SaveResult SetupModel::save(SaveMode mode, PluginState& state) {
  std::vector<std::pair<int, ItemList>> toSave;
  for (int page : pagesToSave(mode)) toSave.emplace_back(page, itemListOf(pages_[page]));
  if (toSave.empty()) return {};
  if (!saveItemLists(state.settings, toSave)) return {0, true};
  for (const auto& saved : toSave) modified_[saved.first] = false;
  return {static_cast<int>(toSave.size()), false};
}

std::u16string folderOfPath(std::u16string_view path) {
  std::u16string_view folder = directoryPart(path);
  if (folder.size() > 1 && folder[folder.size() - 2] != u':') folder.remove_suffix(1);
  return std::u16string(folder);
}

std::u16string_view nameOfPath(std::u16string_view path) {
  return path.substr(directoryPart(path).size());
}

}  // namespace sonavid::setup
