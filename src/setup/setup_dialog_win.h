// The setup dialog's Win32 view: the window, its menu, the page control with one list per
// media type, the two in-place editors and the bottom panel, bound to a SetupModel. The
// handlers are split over setup_dialog_win.cpp (window, layout, closing), setup_lists_win.cpp
// (lists, editors, dragging) and setup_panel_win.cpp (pages, sample file, test, saving).
#pragma once

#include <windows.h>
//
#include <commctrl.h>

#include <array>
#include <string>

#include "core/host_abi.h"
#include "engine/macro_context.h"
#include "settings/settings_store.h"
#include "setup/row_drag.h"
#include "setup/setup_model.h"
#include "ui/modal_dialog_win.h"
#include "ui/win_handles_win.h"

namespace sonavid::setup {

// Control and command identifiers.
enum SetupControlId : int {
  kIdPageControl = 100,
  kIdFirstList = 140,  // kIdFirstList + page
  kIdComboBoxSample = 120,
  kIdButtonSample = 121,
  kIdButtonTest = 122,
  kIdEditTest = 123,
  kIdEditListView = 130,
  kIdComboBoxListView = 131,
  kIdMenuSave = 200,
  kIdMenuAdd = 201,
  kIdMenuDel = 202,
  // Named as the default button while an in-place editor has the focus: no such control
  // exists, so Enter is not turned into OK.
  kIdNoDefaultButton = 999,
};
// The lists' identifiers must not reach the menu commands.
static_assert(kIdFirstList + kPageCount <= kIdMenuSave);

inline constexpr uint32_t kSetupHelpContext = 201;
inline constexpr int kPanelHeight = 88;
inline constexpr int kRowHeight = 16;

class SetupDialog : private ui::ModalDialog {
 public:
  SetupDialog(const MacroContext& services, const HostRect& hostRect);
  // Shows the dialog modally to the owner window; returns the modal result.
  INT_PTR run();

 private:
  // The base class's handlers, each passed on to the named handler of the dialog.
  bool onInitDialog() override;
  void onActivate(int state) override;
  void onSize() override { layout(); }
  bool onMinTrackSize(POINT& size) override;
  bool onCommand(int id, int notification, HWND control) override;
  bool onNotify(const NMHDR& header, LRESULT& result) override;
  bool onHelp(const HELPINFO& info) override;
  bool onMouseMove(POINT client) override;
  bool onLeftButtonUp(POINT client) override;
  void onCaptureChanged() override;
  void onDestroy() override;

  static LRESULT CALLBACK editorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Ctrl+Tab and Ctrl+Shift+Tab switch pages, as in every tabbed window. The dialog manager
  // passes neither to the page strip, so a message filter of the dialog's thread sees them.
  static LRESULT CALLBACK keyboardFilter(int code, WPARAM wParam, LPARAM lParam);
  bool switchPageByKey(const MSG& message);
  LRESULT handleEditor(HWND editor, UINT message, WPARAM wParam, LPARAM lParam);

  // setup_dialog_win.cpp
  void formCreate();
  void createControls();
  void layout();
  void formActivate();
  void formHelp();
  void formClose();
  void updateCommandStates();  // MenuSave and ButtonOk from the model

  // setup_lists_win.cpp
  void fillList(int page, int selectRow);
  LRESULT listViewCustomDraw(NMLVCUSTOMDRAW& draw);
  void listViewDblClick(HWND list);
  void cmnEditComboBoxEnter(bool editorFocused);
  void editListViewExit(bool moveFocusToList);
  void editListViewChange();
  void comboBoxListViewExit(bool moveFocusToList);
  void commitOpenEditors();
  bool editorKeyDown(HWND editor, WPARAM key);
  void menuAddClick();
  void menuDelClick();
  void listViewStartDrag(HWND list, const NMLISTVIEW& info);
  void listViewDragOver(POINT client);
  void listViewDragDrop(POINT client);
  void listViewEndDrag();
  HWND shownList() const { return lists_[model_.shownPage()]; }
  int selectedRow(HWND list) const;
  void selectRow(HWND list, int row, bool focus);

  // setup_panel_win.cpp
  void pageControlChanging();
  void pageControlChange();
  void buttonSampleClick();
  void comboBoxSampleChange();
  void buttonTestClick();
  // EditTest's text, and the same as its tip (none for an empty text).
  void showTestResult(const std::u16string& text);
  // Returns false when the data file could not be written (the user has been told).
  bool menuSaveClick(bool fromMenu);
  void buttonOkClick();

  PluginState& state_;
  // The reader and substitution of the sample test.
  MacroContext services_;
  HostRect hostRect_;
  SetupModel model_;
  SetupWindowSettings settings_;
  RowDrag drag_;

  // Owned here and outliving the window: the fonts the controls draw with, the menu (taken
  // back from the window before it is destroyed, see onDestroy) and the lists' shared
  // row-height image list (the lists share it and do not destroy it). The members are
  // released in reverse order, after DialogBox has destroyed the window and its controls.
  ui::UniqueFont uiFont_;     // proportional: window, tabs, buttons, description column
  ui::UniqueFont fixedFont_;  // monospaced: lists, editors, sample box, test result
  ui::UniqueMenu menu_;
  ui::UniqueImageList rowHeightImages_;
  ui::UniqueImageList dragImage_;  // only while a row is dragged

  // Controls: children of the window, destroyed with it.
  HWND pageControl_ = nullptr;
  std::array<HWND, kPageCount> lists_{};
  HWND editListView_ = nullptr;
  HWND comboBoxListView_ = nullptr;
  HWND buttonSample_ = nullptr;
  HWND comboBoxSample_ = nullptr;
  HWND buttonTest_ = nullptr;
  HWND editTest_ = nullptr;
  HWND testTip_ = nullptr;  // owned by the window, destroyed with it
  HWND buttonOk_ = nullptr;
  HWND buttonCancel_ = nullptr;
  WNDPROC editProcOriginal_ = nullptr;
  WNDPROC comboProcOriginal_ = nullptr;

  // Set while an editor is hidden by the program, so that losing the focus then does not
  // commit a second time.
  bool hidingEditor_ = false;
  bool editorFocused_ = false;
  // Set while the program changes the edit box's text, so that its change notification does
  // not act on it.
  bool settingEditorText_ = false;
};

}  // namespace sonavid::setup
