// The setup dialog's page switching and bottom panel: sample file, test of a substitution,
// saving and OK.
#include <windows.h>
//
#include <commdlg.h>

#include <string>
#include <vector>

#include "engine/execute.h"
#include "setup/sample_test.h"
#include "setup/setup_dialog_win.h"
#include "setup/setup_texts.h"
#include "ui/wide_text_win.h"

namespace sonavid::setup {
namespace {

// Longest path the sample file dialog hands back.
constexpr size_t kFileNameCapacity = 32768;

bool folderExists(std::u16string_view folder) {
  const std::u16string path(folder);
  const DWORD attributes = GetFileAttributesW(ui::wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// "description|pattern|..." as the file dialog wants it: NUL-separated, two NULs at the end.
std::u16string dialogFilter(std::u16string_view filter) {
  std::u16string result(filter);
  for (char16_t& c : result) {
    if (c == u'|') c = u'\0';
  }
  result.push_back(u'\0');
  return result;  // c_str() adds the second NUL
}

void addComboText(HWND combo, const std::u16string& text) {
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::wide(text)));
}

std::u16string comboEntry(HWND combo, int index) {
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

}  // namespace

void SetupDialog::pageControlChanging() {
  // Changes still in an editor count for the page being left.
  if (IsWindowVisible(editListView_)) editListViewExit(false);
  if (IsWindowVisible(comboBoxListView_)) comboBoxListViewExit(false);
  LeavingPage leaving;
  const int count = static_cast<int>(SendMessageW(comboBoxSample_, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) leaving.sampleTexts.push_back(comboEntry(comboBoxSample_, i));
  leaving.sampleChosen = static_cast<int>(SendMessageW(comboBoxSample_, CB_GETCURSEL, 0, 0));
  model_.leavePage(leaving);
  SendMessageW(comboBoxSample_, CB_RESETCONTENT, 0, 0);
  ui::setWindowText(comboBoxSample_, u"");
  showTestResult(u"");
}

void SetupDialog::pageControlChange() {
  const int page = static_cast<int>(SendMessageW(pageControl_, TCM_GETCURSEL, 0, 0));
  HWND previous = shownList();
  const EnteredPage entered = model_.enterPage(page);
  updateCommandStates();

  // "VFMT" only where the page's files can hold video.
  while (SendMessageW(comboBoxListView_, CB_GETCOUNT, 0, 0) > 2) {
    SendMessageW(comboBoxListView_, CB_DELETESTRING, 2, 0);
  }
  for (size_t i = 2; i < entered.offeredCodes.size(); ++i) {
    addComboText(comboBoxListView_, std::u16string(entered.offeredCodes[i]));
  }

  for (const std::u16string& text : entered.samples->texts) addComboText(comboBoxSample_, text);
  SendMessageW(comboBoxSample_, CB_SETCURSEL, entered.samples->chosen, 0);

  HWND list = shownList();
  if (list != previous) {
    ShowWindow(list, SW_SHOW);
    ShowWindow(previous, SW_HIDE);
  }
}

void SetupDialog::buttonSampleClick() {
  const std::u16string folder = model_.prepareSampleFolder(state_.settings.dataFilePath, folderExists);
  const std::u16string filter = dialogFilter(model_.sampleFilter());
  std::vector<wchar_t> fileName(kFileNameCapacity, L'\0');
  const std::u16string& initialName = model_.sampleFileName();
  std::copy_n(initialName.begin(), std::min(initialName.size(), kFileNameCapacity - 1),
              reinterpret_cast<char16_t*>(fileName.data()));

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = window();
  dialog.lpstrFilter = ui::wide(filter);
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = fileName.data();
  dialog.nMaxFile = static_cast<DWORD>(fileName.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : ui::wide(folder);
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_FILEMUSTEXIST |
                 OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&dialog)) return;

  model_.rememberSampleFile(ui::fromWide(fileName.data()));
  const SampleTexts texts = readSampleTexts(
      model_.sampleFolder(), model_.sampleFileName(),
      [this](const MacroRequest* request) {
        return std::u16string(executeMacro(services_, request));
      });
  for (const std::u16string& text : texts.texts) addComboText(comboBoxSample_, text);
  if (texts.dropDown) {
    SetFocus(comboBoxSample_);
    SendMessageW(comboBoxSample_, CB_SHOWDROPDOWN, TRUE, 0);
  }
}

void SetupDialog::comboBoxSampleChange() {
  // The box is for choosing a text; the list takes the focus so "確認" can try a row on it.
  HWND list = shownList();
  SetFocus(list);
  if (!model_.shownRows().empty() && selectedRow(list) < 0) selectRow(list, 0, true);
}

void SetupDialog::buttonTestClick() {
  showTestResult(u"");
  const int row = selectedRow(shownList());
  if (row < 0 || static_cast<size_t>(row) >= model_.shownRows().size()) return;
  const std::u16string output = trySubstitution(
      services_.substitution, model_.shownRows()[row].substitution, ui::windowText(comboBoxSample_));
  showTestResult(output);
}

void SetupDialog::showTestResult(const std::u16string& text) {
  ui::setWindowText(editTest_, text);
  if (testTip_ == nullptr) return;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window();
  tool.uId = reinterpret_cast<UINT_PTR>(editTest_);
  tool.lpszText = const_cast<wchar_t*>(ui::wide(text));
  SendMessageW(testTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(testTip_, TTM_ACTIVATE, text.empty() ? FALSE : TRUE, 0);
}

bool SetupDialog::menuSaveClick(bool fromMenu) {
  // What is typed in an open editor is part of what the user saves.
  commitOpenEditors();
  const SaveMode mode = fromMenu ? SaveMode::ShownPage : SaveMode::ModifiedPages;
  const SaveResult saved = model_.save(mode, state_);
  updateCommandStates();
  // Pages the data file did not take keep their modified flags: their rows are still unsaved.
  if (saved.failed) {
    const std::u16string message = saveFailedMessage(state_.settings.dataFilePath);
    MessageBoxW(window(), ui::wide(message), ui::wide(std::u16string(kSetupCaption)),
                MB_OK | MB_ICONWARNING);
    return false;
  }
  return true;
}

void SetupDialog::buttonOkClick() {
  // When the save fails the dialog stays open, so the user can try again or cancel.
  if (model_.anyPageModified() && !menuSaveClick(false)) return;
  formClose();
  EndDialog(window(), IDOK);
}

}  // namespace sonavid::setup
