// The setup dialog's window: creation from the item lists and the host settings, layout,
// activation, help, commands and closing; and runSetupDialog, which macSetup calls.
#include "setup/setup_dialog_win.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "setup/setup_texts.h"
#include "setup/window_settings.h"
#include "ui/controls_win.h"
#include "ui/dialog_hooks_win.h"
#include "ui/dialog_placement.h"
#include "ui/dialog_template.h"
#include "ui/fonts_win.h"
#include "ui/help_service_win.h"
#include "ui/modal_dialog_win.h"
#include "ui/wide_text_win.h"

namespace sonavid {

void runSetupDialog(const HostRect& rect, const MacroContext& services) {
  setup::SetupDialog dialog(services, rect);
  dialog.run();
  _FormSetup = nullptr;  // also when the window could not be created
}

}  // namespace sonavid

namespace sonavid::setup {
namespace {

constexpr int kMargin = 8;
constexpr int kGap = 6;
constexpr int kSmallButtonWidth = 53;
constexpr int kSmallButtonHeight = 21;
constexpr int kButtonWidth = 62;
constexpr int kButtonHeight = 25;
constexpr int kCodeChoiceWidth = 57;
constexpr int kSampleBoxVisibleEntries = 12;
// Longer results wrap in the tip over the test box.
constexpr int kTestTipWidth = 400;

void setMenuItemEnabled(HMENU menu, int id, bool enabled) {
  EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

SetupDialog::SetupDialog(const MacroContext& services, const HostRect& hostRect)
    : state_(services.state),
      services_(services),
      hostRect_(hostRect),
      model_(services.state.settings.itemLists) {}

namespace {

// The setup dialog the keyboard filter serves; there is one at a time.
SetupDialog* shownSetupDialog = nullptr;

struct HookDeleter {
  void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using UniqueHook = ui::UniqueHandle<HHOOK, HookDeleter>;

}  // namespace

LRESULT CALLBACK SetupDialog::keyboardFilter(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && message != nullptr && shownSetupDialog != nullptr &&
      shownSetupDialog->switchPageByKey(*message)) {
    return TRUE;  // taken: the dialog manager does not move the focus for it
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool SetupDialog::switchPageByKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0) {
    return false;
  }
  // Only keys typed in this dialog, not in the file dialog it may have opened.
  if (pageControl_ == nullptr || (message.hwnd != window() && !IsChild(window(), message.hwnd))) {
    return false;
  }
  commitOpenEditors();
  const int count = static_cast<int>(SendMessageW(pageControl_, TCM_GETITEMCOUNT, 0, 0));
  if (count <= 0) return true;
  const int shown = static_cast<int>(SendMessageW(pageControl_, TCM_GETCURSEL, 0, 0));
  const int step = GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
  // Through the focus, so the strip sends the same notifications as for a click.
  SendMessageW(pageControl_, TCM_SETCURFOCUS, (shown + step) % count, 0);
  return true;
}

INT_PTR SetupDialog::run() {
  ui::DialogTemplateSpec dialogLayout;
  // A sizeable border and a caption, but no system menu and no title-bar buttons.
  dialogLayout.style = WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN | DS_MODALFRAME;
  dialogLayout.title = std::u16string(kSetupCaption);
  const std::vector<uint16_t> words = ui::buildDialogTemplate(dialogLayout);
  shownSetupDialog = this;
  const UniqueHook filter(SetWindowsHookExW(WH_MSGFILTER, keyboardFilter, nullptr,
                                            GetCurrentThreadId()));
  const INT_PTR result = runModal(reinterpret_cast<HWND>(state_.ownerWindow), words);
  shownSetupDialog = nullptr;
  return result;
}

// ---- Messages, each to its named handler ------------------------------------------------------

bool SetupDialog::onInitDialog() {
  formCreate();
  return true;  // the dialog manager focuses the page control, first in tab order
}

void SetupDialog::onActivate(int state) {
  // A click that activates the dialog keeps the pointer where the user clicked.
  if (state == WA_ACTIVE) formActivate();
}

bool SetupDialog::onMinTrackSize(POINT& size) {
  size = POINT{kMinWindowWidth, kMinWindowHeight};
  return true;
}

bool SetupDialog::onHelp(const HELPINFO& /*info*/) {
  formHelp();
  return true;
}

bool SetupDialog::onMouseMove(POINT client) {
  if (!drag_.active()) return false;
  listViewDragOver(client);
  return true;
}

bool SetupDialog::onLeftButtonUp(POINT client) {
  if (!drag_.active()) return false;
  listViewDragDrop(client);
  return true;
}

void SetupDialog::onCaptureChanged() {
  if (drag_.active()) listViewEndDrag();
}

void SetupDialog::onDestroy() {
  // The window would destroy the menu it shows; it stays with its owner instead.
  SetMenu(window(), nullptr);
  _FormSetup = nullptr;
}

void SetupDialog::formCreate() {
  _FormSetup = window();
  settings_ = usableWindowSettings(readSetupWindowSettings(state_.settings));
  model_.setSampleFolder(settings_.sampleDir);
  uiFont_ = ui::createFont({.face = ui::kUiGothic});
  fixedFont_ = ui::createFont({.face = ui::kFixedGothic});
  SendMessageW(window(), WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.get()), FALSE);

  // Three commands straight on the menu bar, without access keys.
  menu_.reset(CreateMenu());
  AppendMenuW(menu_.get(), MF_STRING | MF_GRAYED, kIdMenuSave, L"保存");
  AppendMenuW(menu_.get(), MF_STRING, kIdMenuAdd, L"追加");
  AppendMenuW(menu_.get(), MF_STRING, kIdMenuDel, L"削除");
  SetMenu(window(), menu_.get());

  createControls();
  for (int page = 0; page < kPageCount; ++page) fillList(page, -1);

  // Size from the settings, then centred on the host's rectangle.
  const DialogOrigin origin = centredOn(hostRect_, settings_.width, settings_.height);
  SetWindowPos(window(), nullptr, origin.left, origin.top, settings_.width, settings_.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  layout();
  updateCommandStates();
}

void SetupDialog::createControls() {
  HFONT ui = uiFont_.get();
  HFONT fixed = fixedFont_.get();
  // Creation order is the tab order: page control, the shown list, OK, CANCEL, sample box.
  pageControl_ = ui::createControl(window(), {.windowClass = WC_TABCONTROLW,
                                              .text = {},
                                              .style = WS_TABSTOP | WS_CLIPSIBLINGS | TCS_TABS,
                                              .id = kIdPageControl,
                                              .font = ui});
  for (int page = 0; page < kPageCount; ++page) {
    const std::u16string name(kPages[page].typeName);
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<wchar_t*>(ui::wide(name));
    SendMessageW(pageControl_, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&tab));
  }

  // Rows 16 pixels high: an empty state-image list of 1 x 16 pixels sets the height.
  rowHeightImages_.reset(ImageList_Create(1, kRowHeight, ILC_COLOR, 0, 1));
  for (int page = 0; page < kPageCount; ++page) {
    HWND list = ui::createControl(
        window(), {.windowClass = WC_LISTVIEWW,
                   .text = {},
                   .style = WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SINGLESEL |
                            LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | LVS_SHAREIMAGELISTS,
                   .extendedStyle = WS_EX_CLIENTEDGE,
                   .id = kIdFirstList + page,
                   .font = fixed});
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_STATE,
                 reinterpret_cast<LPARAM>(rowHeightImages_.get()));
    for (int column = 0; column < kColumnCount; ++column) {
      const std::u16string caption(kColumnCaptions[column]);
      LVCOLUMNW info{};
      info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      info.pszText = const_cast<wchar_t*>(ui::wide(caption));
      info.cx = settings_.columnWidths[page][column];
      info.iSubItem = column;
      SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
    }
    if (page != 0) ShowWindow(list, SW_HIDE);
    lists_[page] = list;
  }

  buttonOk_ = ui::createControl(window(), {.windowClass = WC_BUTTONW,
                                           .text = u"OK",
                                           .style = WS_TABSTOP | BS_DEFPUSHBUTTON | WS_DISABLED,
                                           .id = IDOK,
                                           .font = ui});
  buttonCancel_ = ui::createControl(window(), {.windowClass = WC_BUTTONW,
                                               .text = u"CANCEL",
                                               .style = WS_TABSTOP | BS_PUSHBUTTON,
                                               .id = IDCANCEL,
                                               .font = ui});
  comboBoxSample_ = ui::createControl(
      window(), {.windowClass = WC_COMBOBOXW,
                 .text = {},
                 .style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                 .id = kIdComboBoxSample,
                 .font = fixed});
  // Twelve entries when dropped down: the height asked for at creation is the drop-down's
  // (older common controls), the visible count is the newer ones' measure. layout() keeps it.
  const int itemHeight = static_cast<int>(SendMessageW(comboBoxSample_, CB_GETITEMHEIGHT, 0, 0));
  SetWindowPos(comboBoxSample_, nullptr, 0, 0, 0,
               kSmallButtonHeight + kSampleBoxVisibleEntries * itemHeight + 4,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(comboBoxSample_, CB_SETMINVISIBLE, kSampleBoxVisibleEntries, 0);
  buttonSample_ = ui::createControl(
      window(),
      {.windowClass = WC_BUTTONW, .text = u"サンプル", .id = kIdButtonSample, .font = ui});
  buttonTest_ = ui::createControl(
      window(), {.windowClass = WC_BUTTONW, .text = u"確認", .id = kIdButtonTest, .font = ui});
  editTest_ = ui::createControl(window(), {.windowClass = WC_EDITW,
                                           .text = {},
                                           .style = ES_READONLY | ES_AUTOHSCROLL,
                                           .extendedStyle = WS_EX_CLIENTEDGE,
                                           .id = kIdEditTest,
                                           .font = fixed});
  // The whole result as a tip over the box, which may be too narrow for it (a long reason
  // why a substitution cannot run). A tooltip is destroyed with its owner, the dialog.
  testTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window(),
                             nullptr, ui::thisModule(), nullptr);
  if (testTip_ != nullptr) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window();
    tool.uId = reinterpret_cast<UINT_PTR>(editTest_);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(testTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(testTip_, TTM_SETMAXTIPWIDTH, 0, kTestTipWidth);
  }

  // The in-place editors: children of the dialog, moved over the cell being edited.
  editListView_ = ui::createControl(window(), {.windowClass = WC_EDITW,
                                               .text = {},
                                               .style = ES_AUTOHSCROLL | WS_BORDER,
                                               .rect = {0, 0, 50, kRowHeight},
                                               .id = kIdEditListView,
                                               .font = fixed});
  comboBoxListView_ = ui::createControl(window(), {.windowClass = WC_COMBOBOXW,
                                                   .text = {},
                                                   .style = CBS_DROPDOWNLIST | WS_VSCROLL,
                                                   .rect = {0, 0, kCodeChoiceWidth, 120},
                                                   .id = kIdComboBoxListView,
                                                   .font = fixed});
  for (std::u16string_view code : offeredBaseCodes(0)) {
    const std::u16string text(code);
    SendMessageW(comboBoxListView_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::wide(text)));
  }
  SendMessageW(comboBoxListView_, CB_SETCURSEL, 0, 0);
  ShowWindow(editListView_, SW_HIDE);
  ShowWindow(comboBoxListView_, SW_HIDE);
  SetWindowLongPtrW(editListView_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(comboBoxListView_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  editProcOriginal_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      editListView_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SetupDialog::editorProc)));
  comboProcOriginal_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      comboBoxListView_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SetupDialog::editorProc)));
}

void SetupDialog::layout() {
  if (pageControl_ == nullptr) return;
  RECT client{};
  GetClientRect(window(), &client);
  const int width = client.right;
  const int pageHeight = std::max(0, static_cast<int>(client.bottom) - kPanelHeight);

  // The lists lie over the page control's display area.
  RECT display{0, 0, width, pageHeight};
  SendMessageW(pageControl_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));

  // Bottom panel: sample row above, test row with OK and CANCEL at the right below.
  const int top = pageHeight;
  const int rowOne = top + 10;
  const int rowTwo = top + kPanelHeight - kButtonHeight - 12;
  const int fieldLeft = kMargin + kSmallButtonWidth + kGap;
  const int cancelLeft = width - kMargin - kButtonWidth;
  const int okLeft = cancelLeft - kGap - kButtonWidth;
  const int testTop = rowTwo + (kButtonHeight - kSmallButtonHeight) / 2;
  // The sample box keeps its height: asked for another one, a combo box takes it as the
  // height of its drop-down list and resizes itself back in the middle of the move, which
  // left the controls below it unpainted (the list's height is set once, in createControls).
  RECT sampleBox{};
  GetWindowRect(comboBoxSample_, &sampleBox);

  struct Placement {
    HWND control;
    RECT rect;  // left, top, width, height
  };
  std::vector<Placement> placements = {
      {pageControl_, {0, 0, width, pageHeight}},
      {buttonSample_, {kMargin, rowOne, kSmallButtonWidth, kSmallButtonHeight}},
      {comboBoxSample_,
       {fieldLeft, rowOne, std::max(0, width - fieldLeft - kMargin),
        static_cast<int>(sampleBox.bottom - sampleBox.top)}},
      {buttonOk_, {okLeft, rowTwo, kButtonWidth, kButtonHeight}},
      {buttonCancel_, {cancelLeft, rowTwo, kButtonWidth, kButtonHeight}},
      {buttonTest_, {kMargin, testTop, kSmallButtonWidth, kSmallButtonHeight}},
      {editTest_,
       {fieldLeft, testTop, std::max(0, okLeft - kGap * 2 - fieldLeft), kSmallButtonHeight}},
  };
  for (HWND list : lists_) {
    placements.push_back({list,
                          {display.left, display.top, std::max(0L, display.right - display.left),
                           std::max(0L, display.bottom - display.top)}});
  }

  // All children move in one batch without drawing; the window is then drawn once, whole.
  // Moved one by one, each control repainted over its neighbours' old places, and a list's
  // header kept the divider it had drawn at the old right edge.
  HDWP batch = BeginDeferWindowPos(static_cast<int>(placements.size()));
  for (const Placement& p : placements) {
    if (batch == nullptr) break;
    batch = DeferWindowPos(batch, p.control, nullptr, p.rect.left, p.rect.top, p.rect.right,
                           p.rect.bottom, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  }
  if (batch == nullptr || !EndDeferWindowPos(batch)) {
    // Out of memory for the batch: the same moves one at a time.
    for (const Placement& p : placements) {
      SetWindowPos(p.control, nullptr, p.rect.left, p.rect.top, p.rect.right, p.rect.bottom,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
  }

  // The page control's display area is cut out of its region, so that it never paints over
  // the lists.
  HRGN whole = CreateRectRgn(0, 0, width, pageHeight);
  HRGN inside = CreateRectRgn(display.left, display.top, display.right, display.bottom);
  CombineRgn(whole, whole, inside, RGN_DIFF);
  DeleteObject(inside);
  SetWindowRgn(pageControl_, whole, FALSE);  // the window owns the region now

  RedrawWindow(window(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void SetupDialog::formActivate() {
  // Not OK: it is disabled while nothing has changed.
  ui::snapPointerTo(buttonCancel_);
}

void SetupDialog::formHelp() { openHelpTopic(kSetupHelpContext); }

void SetupDialog::formClose() {
  if (drag_.active()) ReleaseCapture();
  const SIZE size = ui::outerSize(window());
  settings_.height = size.cy;
  settings_.width = size.cx;
  for (int page = 0; page < kPageCount; ++page) {
    for (int column = 0; column < kColumnCount; ++column) {
      settings_.columnWidths[page][column] =
          static_cast<int32_t>(SendMessageW(lists_[page], LVM_GETCOLUMNWIDTH, column, 0));
    }
  }
  settings_.sampleDir = model_.sampleFolder();
  writeSetupWindowSettings(state_.settings, settings_);
}

void SetupDialog::updateCommandStates() {
  setMenuItemEnabled(menu_.get(), kIdMenuSave, model_.saveCommandEnabled());
  DrawMenuBar(window());
  EnableWindow(buttonOk_, model_.okEnabled() ? TRUE : FALSE);
}

bool SetupDialog::onCommand(int id, int notification, HWND /*control*/) {
  switch (id) {
    case IDOK:
      // Enter reaches here from the dialog manager too; a disabled OK does nothing.
      if (drag_.active() || !IsWindowEnabled(buttonOk_)) return true;
      buttonOkClick();
      return true;
    case IDCANCEL:
      if (drag_.active()) {
        ReleaseCapture();  // Escape during a drag ends the drag, not the dialog
        return true;
      }
      formClose();
      EndDialog(window(), IDCANCEL);
      return true;
    case kIdMenuSave:
      if (model_.saveCommandEnabled()) menuSaveClick(true);
      return true;
    case kIdMenuAdd:
      menuAddClick();
      return true;
    case kIdMenuDel:
      menuDelClick();
      return true;
    case kIdButtonSample:
      if (notification == BN_CLICKED) buttonSampleClick();
      return true;
    case kIdButtonTest:
      if (notification == BN_CLICKED) buttonTestClick();
      return true;
    case kIdComboBoxSample:
      if (notification == CBN_SELCHANGE || notification == CBN_EDITCHANGE) comboBoxSampleChange();
      return true;
    case kIdEditListView:
      if (notification == EN_CHANGE) editListViewChange();
      return true;
    default:
      return false;
  }
}

bool SetupDialog::onNotify(const NMHDR& header, LRESULT& result) {
  const int id = static_cast<int>(header.idFrom);
  if (id == kIdPageControl) {
    if (header.code == static_cast<UINT>(TCN_SELCHANGING)) {
      pageControlChanging();
      result = FALSE;  // the switch is always allowed
      return true;
    }
    if (header.code == static_cast<UINT>(TCN_SELCHANGE)) pageControlChange();
    return false;
  }
  if (id < kIdFirstList || id >= kIdFirstList + kPageCount) return false;
  switch (header.code) {
    case NM_CUSTOMDRAW:
      result = listViewCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
      return true;
    case NM_DBLCLK:
      listViewDblClick(header.hwndFrom);
      return true;
    case LVN_BEGINDRAG:
      listViewStartDrag(header.hwndFrom, *reinterpret_cast<const NMLISTVIEW*>(&header));
      return true;
    default:
      return false;
  }
}

}  // namespace sonavid::setup
