// The eight lists of the setup dialog: filling, drawing, the in-place editors, adding and
// deleting rows, and reordering rows by dragging.
#include <string>

#include "setup/setup_dialog_win.h"
#include "ui/wide_text_win.h"

namespace sonavid::setup {
namespace {

void setItemText(HWND list, int row, int column, const std::u16string& text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(ui::wide(text));
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void showRow(HWND list, int row, const SetupRow& texts) {
  setItemText(list, row, 0, texts.baseCode);
  for (int subItem = 0; subItem < kSubItemCount; ++subItem) {
    setItemText(list, row, subItem + 1, subItemText(texts, subItem));
  }
  // Every cell again: whether the row is complete, and so how it is tinted, may have changed.
  SendMessageW(list, LVM_REDRAWITEMS, row, row);
}

bool keyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Background of a cell that an incomplete row still needs: a pale red.
constexpr COLORREF kMissingPartColour = RGB(255, 220, 220);

}  // namespace

int SetupDialog::selectedRow(HWND list) const {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

void SetupDialog::selectRow(HWND list, int row, bool focus) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | (focus ? LVIS_FOCUSED : 0);
  item.state = item.stateMask;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
}

void SetupDialog::fillList(int page, int selectRowIndex) {
  HWND list = lists_[page];
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  const auto& rows = model_.rows(page);
  for (size_t row = 0; row < rows.size(); ++row) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = const_cast<wchar_t*>(ui::wide(rows[row].baseCode));
    const int index =
        static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    showRow(list, index, rows[row]);
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  if (selectRowIndex >= 0) selectRow(list, selectRowIndex, true);
  InvalidateRect(list, nullptr, TRUE);
}

LRESULT SetupDialog::listViewCustomDraw(NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      // The description column is drawn in the proportional font, the rest monospaced.
      SelectObject(draw.nmcd.hdc,
                   draw.iSubItem == kDescriptionText + 1 ? uiFont_.get() : fixedFont_.get());
      // The parts an incomplete row lacks are tinted: such a row is never saved.
      const int page = static_cast<int>(draw.nmcd.hdr.idFrom) - kIdFirstList;
      const size_t row = draw.nmcd.dwItemSpec;
      const int subItem = draw.iSubItem - 1;
      const bool missing = isPage(page) && row < model_.rows(page).size() && subItem >= 0 &&
                           partMissing(model_.rows(page)[row], subItem);
      draw.clrTextBk = missing ? kMissingPartColour : CLR_DEFAULT;
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

void SetupDialog::listViewDblClick(HWND list) {
  if (list != shownList() || selectedRow(list) < 0) return;
  // The cell under the pointer now, which may differ from the selected row.
  LVHITTESTINFO hit{};
  GetCursorPos(&hit.pt);
  ScreenToClient(list, &hit.pt);
  SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (hit.iItem < 0 || hit.iSubItem < 0 || hit.iSubItem >= kColumnCount) return;
  POINT origin{0, 0};
  MapWindowPoints(list, window(), &origin, 1);
  RECT cell{};
  cell.top = hit.iSubItem;
  cell.left = LVIR_LABEL;
  SendMessageW(list, LVM_GETSUBITEMRECT, hit.iItem, reinterpret_cast<LPARAM>(&cell));
  OffsetRect(&cell, origin.x, origin.y);

  if (hit.iSubItem == 0) {
    const std::optional<std::u16string> code = model_.openCodeEditor(hit.iItem);
    if (!code) return;
    // Exact match, letter case included; no entry chosen when the code is not offered.
    int choice = -1;
    const int count = static_cast<int>(SendMessageW(comboBoxListView_, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count && choice < 0; ++i) {
      wchar_t entry[16]{};
      if (SendMessageW(comboBoxListView_, CB_GETLBTEXTLEN, i, 0) < 16) {
        SendMessageW(comboBoxListView_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
        if (ui::fromWide(entry) == *code) choice = i;
      }
    }
    SendMessageW(comboBoxListView_, CB_SETCURSEL, choice, 0);
    SetWindowPos(comboBoxListView_, HWND_TOP, cell.left - 2, cell.top - 2, 0, 0,
                 SWP_NOSIZE | SWP_SHOWWINDOW);
    SetFocus(comboBoxListView_);
    return;
  }

  const std::optional<TextEditorStart> start = model_.openTextEditor(hit.iItem, hit.iSubItem);
  if (!start) return;
  // The box counts code units: room for the limit's characters even if each is a surrogate
  // pair; the model holds the text to the limit in characters (editListViewChange).
  SendMessageW(editListView_, EM_LIMITTEXT, start->maxLength * 2, 0);
  SendMessageW(editListView_, WM_SETFONT,
               reinterpret_cast<WPARAM>(start->proportionalFont ? uiFont_.get() : fixedFont_.get()),
               FALSE);
  settingEditorText_ = true;
  ui::setWindowText(editListView_, start->text);
  settingEditorText_ = false;
  const int columnWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, hit.iSubItem, 0));
  SetWindowPos(editListView_, HWND_TOP, cell.left + 4, cell.top, std::max(0, columnWidth - 4),
               kRowHeight, SWP_SHOWWINDOW);
  const int length = static_cast<int>(start->text.size());
  SendMessageW(editListView_, EM_SETSEL, length, length);
  SetFocus(editListView_);
}

void SetupDialog::cmnEditComboBoxEnter(bool editorFocused) {
  // While an editor has the focus, Enter and Escape belong to it: OK stops being the default
  // button (the editors also claim both keys from the dialog manager).
  if (editorFocused_ == editorFocused) return;
  editorFocused_ = editorFocused;
  SendMessageW(window(), DM_SETDEFID, editorFocused ? kIdNoDefaultButton : IDOK, 0);
  SendMessageW(buttonOk_, BM_SETSTYLE, editorFocused ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
}

void SetupDialog::editListViewExit(bool moveFocusToList) {
  if (!IsWindowVisible(editListView_) && !model_.textEditorOpen()) return;
  const int row = model_.editedRow();
  if (model_.commitTextEditor(ui::windowText(editListView_))) {
    showRow(shownList(), row, model_.shownRows()[row]);
    updateCommandStates();
  }
  hidingEditor_ = true;
  if (moveFocusToList) SetFocus(shownList());
  ShowWindow(editListView_, SW_HIDE);
  settingEditorText_ = true;
  ui::setWindowText(editListView_, u"");
  settingEditorText_ = false;
  hidingEditor_ = false;
  cmnEditComboBoxEnter(false);
}

void SetupDialog::editListViewChange() {
  if (settingEditorText_ || !model_.textEditorOpen()) return;
  const std::u16string typed = ui::windowText(editListView_);
  const TypedText kept = model_.typeInTextEditor(typed);
  if (kept.text == typed) return;
  settingEditorText_ = true;
  ui::setWindowText(editListView_, kept.text);
  settingEditorText_ = false;
  SendMessageW(editListView_, EM_SETSEL, kept.caret, kept.caret);
}

void SetupDialog::comboBoxListViewExit(bool moveFocusToList) {
  if (!IsWindowVisible(comboBoxListView_) && !model_.codeEditorOpen()) return;
  const int row = model_.editedRow();
  if (model_.commitCodeEditor(ui::windowText(comboBoxListView_))) {
    showRow(shownList(), row, model_.shownRows()[row]);
    updateCommandStates();
  }
  hidingEditor_ = true;
  if (moveFocusToList) SetFocus(shownList());
  ShowWindow(comboBoxListView_, SW_HIDE);
  hidingEditor_ = false;
  cmnEditComboBoxEnter(false);
}

void SetupDialog::commitOpenEditors() {
  const bool editorHadFocus = editorFocused_;
  if (IsWindowVisible(editListView_)) editListViewExit(editorHadFocus);
  if (IsWindowVisible(comboBoxListView_)) comboBoxListViewExit(editorHadFocus);
}

bool SetupDialog::editorKeyDown(HWND editor, WPARAM key) {
  const bool isCombo = editor == comboBoxListView_;
  if (isCombo) {
    if (keyHeld(VK_SHIFT) || keyHeld(VK_MENU)) return false;
    if (SendMessageW(editor, CB_GETDROPPEDSTATE, 0, 0)) return false;  // Enter/Escape close it
  }
  if (key == VK_RETURN) {
    if (isCombo) {
      comboBoxListViewExit(true);
    } else {
      editListViewExit(true);
    }
    return true;
  }
  if (key == VK_ESCAPE) {
    hidingEditor_ = true;
    SetFocus(shownList());
    ShowWindow(editor, SW_HIDE);
    hidingEditor_ = false;
    if (isCombo) {
      model_.cancelCodeEditor();  // the drop-down keeps its choice
    } else {
      model_.cancelTextEditor();
      settingEditorText_ = true;
      ui::setWindowText(editor, u"");
      settingEditorText_ = false;
    }
    cmnEditComboBoxEnter(false);
    return true;
  }
  return false;
}

LRESULT CALLBACK SetupDialog::editorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<SetupDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  try {
    return dialog->handleEditor(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT SetupDialog::handleEditor(HWND editor, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC original = editor == comboBoxListView_ ? comboProcOriginal_ : editProcOriginal_;
  switch (message) {
    case WM_GETDLGCODE: {
      LRESULT code = CallWindowProcW(original, editor, message, wParam, lParam);
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg != nullptr && msg->message == WM_KEYDOWN &&
          (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        code |= DLGC_WANTMESSAGE;
      }
      return code;
    }
    case WM_KEYDOWN: {
      if (editorKeyDown(editor, wParam)) return 0;
      const LRESULT result = CallWindowProcW(original, editor, message, wParam, lParam);
      if (!IsWindowVisible(editor)) cmnEditComboBoxEnter(false);
      return result;
    }
    case WM_CHAR:
      // The Enter and Escape characters that follow the handled keys would only beep.
      if (wParam == L'\r' || wParam == 0x1B) return 0;
      break;
    case WM_SETFOCUS: {
      const LRESULT result = CallWindowProcW(original, editor, message, wParam, lParam);
      cmnEditComboBoxEnter(true);
      return result;
    }
    case WM_KILLFOCUS: {
      const LRESULT result = CallWindowProcW(original, editor, message, wParam, lParam);
      // Leaving the editor commits it; the focus is already on its way elsewhere.
      if (!hidingEditor_ && IsWindowVisible(editor)) {
        if (editor == comboBoxListView_) {
          comboBoxListViewExit(false);
        } else {
          editListViewExit(false);
        }
      }
      return result;
    }
    default:
      break;
  }
  return CallWindowProcW(original, editor, message, wParam, lParam);
}

void SetupDialog::menuAddClick() {
  commitOpenEditors();
  const int row = model_.addRow();
  HWND list = shownList();
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<wchar_t*>(ui::wide(model_.shownRows()[row].baseCode));
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  showRow(list, row, model_.shownRows()[row]);
  selectRow(list, row, true);
  updateCommandStates();
}

void SetupDialog::menuDelClick() {
  // An editor still open on the row to delete writes its text first, not into its neighbour.
  commitOpenEditors();
  HWND list = shownList();
  const int row = selectedRow(list);
  if (!model_.deleteRow(row)) return;
  SendMessageW(list, LVM_DELETEITEM, row, 0);
  updateCommandStates();
}

void SetupDialog::listViewStartDrag(HWND list, const NMLISTVIEW& info) {
  const int page = static_cast<int>(GetDlgCtrlID(list)) - kIdFirstList;
  const int selected = selectedRow(list);
  drag_.start(page, selected);
  if (selected >= 0) {
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  }
  POINT hotspot{};
  dragImage_.reset(reinterpret_cast<HIMAGELIST>(
      SendMessageW(list, LVM_CREATEDRAGIMAGE, info.iItem, reinterpret_cast<LPARAM>(&hotspot))));
  POINT screen = info.ptAction;
  ClientToScreen(list, &screen);
  if (dragImage_) {
    POINT inList = info.ptAction;
    ImageList_BeginDrag(dragImage_.get(), 0, inList.x - hotspot.x, inList.y - hotspot.y);
    RECT frame{};
    GetWindowRect(window(), &frame);
    ImageList_DragEnter(window(), screen.x - frame.left, screen.y - frame.top);
  }
  SetCapture(window());
}

void SetupDialog::listViewDragOver(POINT client) {
  POINT screen = client;
  ClientToScreen(window(), &screen);
  if (dragImage_) {
    RECT frame{};
    GetWindowRect(window(), &frame);
    ImageList_DragMove(screen.x - frame.left, screen.y - frame.top);
  }
  HWND list = lists_[drag_.list()];
  if (WindowFromPoint(screen) != list) {
    drag_.leave();
    SetCursor(LoadCursorW(nullptr, IDC_NO));
    return;
  }
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  LVHITTESTINFO hit{};
  hit.pt = screen;
  ScreenToClient(list, &hit.pt);
  const int row =
      static_cast<int>(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  int reselect = -1;
  drag_.over(drag_.list(), row >= 0 ? std::optional<int>(row) : std::nullopt, reselect);
  if (reselect >= 0) selectRow(list, reselect, false);
  if (row < 0) return;
  const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
  const int perPage = static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  const DragScroll step = dragScrollStep(row, top, perPage, count, dragMemory());
  if (step == DragScroll::None) return;
  if (step == DragScroll::Wait) {
    Sleep(kScrollWaitMilliseconds);
    return;
  }
  ImageList_DragShowNolock(FALSE);
  SendMessageW(list, LVM_ENSUREVISIBLE, step == DragScroll::Up ? top - 1 : row + 1, FALSE);
  UpdateWindow(list);
  ImageList_DragShowNolock(TRUE);
}

void SetupDialog::listViewDragDrop(POINT client) {
  listViewDragOver(client);  // the drop point counts as the last position
  HWND list = lists_[drag_.list()];
  const std::optional<int> target = drag_.dropTarget();
  const int selected = selectedRow(list);
  const bool wasFocused =
      selected >= 0 &&
      (SendMessageW(list, LVM_GETITEMSTATE, selected, LVIS_FOCUSED) & LVIS_FOCUSED);
  const bool sameList = drag_.list() == model_.shownPage();
  ReleaseCapture();  // ends the drag (listViewEndDrag)
  if (!sameList || !target || selected < 0) return;
  if (!model_.dropRow(selected, *target)) return;
  fillList(model_.shownPage(), -1);
  selectRow(list, *target, wasFocused);
  updateCommandStates();
  InvalidateRect(list, nullptr, TRUE);
}

void SetupDialog::listViewEndDrag() {
  if (dragImage_) {
    ImageList_DragLeave(window());
    ImageList_EndDrag();
    dragImage_.reset();
  }
  drag_.end();
}

}  // namespace sonavid::setup
