// State and handler logic of the setup dialog, free of any window system: the rows of the
// eight pages, which pages hold unsaved changes, the page shown, the two in-place editors, the
// sample texts kept per page and the sample file dialog's folder and file name. The Win32 view
// binds its controls to this model and asks it what to do.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/plugin_state.h"
#include "setup/setup_pages.h"
#include "setup/setup_row.h"

namespace sonavid::setup {

// Which pages a save writes: the page shown (the "保存" command) or every page with unsaved
// changes (OK).
enum class SaveMode { ShownPage, ModifiedPages };

// Sample texts of a page while another page is shown, and the chosen one (-1: none).
struct SampleMemory {
  std::vector<std::u16string> texts;
  int chosen = -1;
};

// The open in-place editors' texts at the moment the shown page is left.
struct LeavingPage {
  std::optional<std::u16string> editText;  // set when the edit box is open
  std::optional<std::u16string> codeText;  // set when the code drop-down is open
  std::vector<std::u16string> sampleTexts;
  int sampleChosen = -1;
};

// What the view shows after a page change.
struct EnteredPage {
  std::vector<std::u16string_view> offeredCodes;
  const SampleMemory* samples;
};

// The edit box's text after the user changed it, held to the column's limit.
struct TypedText {
  std::u16string text;
  size_t caret;  // where the caret goes when the text had to be cut
};

// How the edit box opens over a cell.
struct TextEditorStart {
  std::u16string text;
  int maxLength;          // in characters (a surrogate pair is one); 0: unlimited
  bool proportionalFont;  // the description column is drawn in the proportional font
};

inline constexpr int kSuffixMaxLength = 3;

// What a save did. On failure the data file is as it was and the pages keep their flags.
struct SaveResult {
  int pagesSaved = 0;  // pages written (0 when there was nothing to save or the write failed)
  bool failed = false;  // the data file could not be written: tell the user
};

class SetupModel {
 public:
  explicit SetupModel(const std::array<ItemList, kPageCount>& itemLists);

  int shownPage() const { return shownPage_; }
  const std::vector<SetupRow>& rows(int page) const { return pages_[page]; }
  const std::vector<SetupRow>& shownRows() const { return pages_[shownPage_]; }
  bool pageModified(int page) const { return modified_[page]; }
  bool anyPageModified() const;
  // "保存" follows the shown page's flag.
  bool saveCommandEnabled() const { return modified_[shownPage_]; }
  // OK stays enabled while some page holds unsaved changes; page switching leaves it alone.
  bool okEnabled() const { return anyPageModified(); }

  // --- in-place editors (they act on the shown page) ---
  // Opens the edit box over column 1 to 3 of a row; nothing when the cell does not exist.
  std::optional<TextEditorStart> openTextEditor(int row, int column);
  // Opens the code drop-down over a row; gives the row's base field code.
  std::optional<std::u16string> openCodeEditor(int row);
  bool textEditorOpen() const { return textEditor_.has_value(); }
  bool codeEditorOpen() const { return codeEditor_.has_value(); }
  int editedRow() const;
  // The user changed the open edit box's text: what it may hold (the suffix at most
  // kSuffixMaxLength characters, a surrogate pair never split).
  TypedText typeInTextEditor(std::u16string_view text);
  // Commits and closes an editor. A suffix loses the blanks at its ends, and no text keeps
  // half a surrogate pair. The change counts (and marks the page) only when the text then
  // differs exactly, letter case included. Returns whether it counted.
  bool commitTextEditor(std::u16string_view text);
  // An empty text (no entry chosen) leaves the base field code as it was.
  bool commitCodeEditor(std::u16string_view text);
  void cancelTextEditor() { textEditor_.reset(); }
  void cancelCodeEditor() { codeEditor_.reset(); }

  // --- rows of the shown page ---
  // Appends a new row and returns its index.
  int addRow();
  // Removes the row; false (and nothing marked) when there is no such row.
  bool deleteRow(int selected);
  // Moves the selected row to the target's index. Returns false when nothing moved.
  bool dropRow(int selected, int target);

  // --- page switching ---
  // Just before the shown page changes: commits the open editors into the page being left and
  // keeps its sample texts.
  void leavePage(const LeavingPage& leaving);
  EnteredPage enterPage(int page);
  const SampleMemory& samples(int page) const { return samples_[page]; }

  // --- sample file dialog ---
  const std::u16string& sampleFolder() const { return sampleFolder_; }
  void setSampleFolder(std::u16string folder) { sampleFolder_ = std::move(folder); }
  const std::u16string& sampleFileName() const { return sampleFileName_; }
  std::u16string_view sampleFilter() const { return kPages[shownPage_].filter; }
  // Folder the dialog opens in: the sample folder, or the data file's folder (which is the
  // settings folder) when the sample folder names no existing folder; the sample folder is
  // then changed to it.
  const std::u16string& prepareSampleFolder(
      std::u16string_view dataFilePath,
      const std::function<bool(std::u16string_view)>& folderExists);
  // Remembers the chosen file: its folder becomes the sample folder, its name the dialog's
  // file name.
  void rememberSampleFile(std::u16string_view path);

  // --- saving ---
  std::vector<int> pagesToSave(SaveMode mode) const;
  // Rebuilds the chosen pages' item lists in `state` and rewrites their sections of the data
  // file (one write). Only when the file was written are their flags cleared.
  SaveResult save(SaveMode mode, PluginState& state);

 private:
  struct TextEditor {
    int row;
    int subItem;
    std::u16string text;  // as the edit box holds it
  };
  void markShownPageModified() { modified_[shownPage_] = true; }
  bool rowExists(int row) const;

  std::array<std::vector<SetupRow>, kPageCount> pages_;
  std::array<bool, kPageCount> modified_{};
  std::array<SampleMemory, kPageCount> samples_;
  int shownPage_ = 0;
  std::optional<TextEditor> textEditor_;
  std::optional<int> codeEditor_;  // the row
  std::u16string sampleFolder_;
  std::u16string sampleFileName_{kPages[0].defaultFileName};
};

// Folder of a path without its trailing separator ("C:\a\b.mp3" gives "C:\a"), except for a
// drive's root, which keeps it ("C:\"). Empty when the path has no folder.
std::u16string folderOfPath(std::u16string_view path);
// The path without its folder.
std::u16string_view nameOfPath(std::u16string_view path);

}  // namespace sonavid::setup
