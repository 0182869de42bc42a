// TFormParam1: type selector and field list in a group box, the macro-text panel, OK and
// CANCEL. All logic is in Param1Model; this binds it to the controls.
#include <windows.h>

#include "params/field_catalogue.h"
#include "params/param1_model.h"
#include "params/param_dialog_view_win.h"
#include "params/param_dialogs_win.h"
#include "params/param_texts.h"
#include "ui/wide_text_win.h"

namespace sonavid {
namespace {

enum Param1Id : int {
  kIdTypeLabel = kIdFirstOwn,  // Label4
  kIdTypeCombo,                // ComboBox1
  kIdFieldLabel,               // Label1
  kIdFieldCombo,               // ComboBox2
};

constexpr ParamDialogLayout kLayout{
    .clientWidth = 352,
    .clientHeight = 189,
    .groupBox = {20, 16, 313, 113},
    .macroSample = {24, 146, 153, 25},
    .okLeft = 195,
    .cancelLeft = 267,
    .helpContext = kParam1HelpContext,
};

// Labels right-aligned against their combo boxes, one row each.
constexpr int kLabelLeft = 26;
constexpr int kLabelWidth = 74;
constexpr int kComboLeft = 104;
constexpr int kTypeComboWidth = 65;
constexpr int kFieldComboWidth = 220;
constexpr int kUpperRowTop = 48;
constexpr int kLowerRowTop = 88;
constexpr int kFieldRowsShown = 20;

class Param1Dialog : public ParamDialogView {
 public:
  explicit Param1Dialog(Param1Model& model) : ParamDialogView(kLayout), model_(model) {}

 private:
  bool onInitDialog() override {
    model_.create();  // FormCreate
    createFrame(model_.title(), model_.groupCaption());
    HWND typeCombo =
        createRow(kUpperRowTop, kTypeLabel, kIdTypeLabel, kIdTypeCombo, kTypeComboWidth);
    HWND fieldCombo =
        createRow(kLowerRowTop, kFieldLabel, kIdFieldLabel, kIdFieldCombo, kFieldComboWidth);
    createMacroSample();
    for (const auto caption : kTypeSelectorCaptions) addItem(typeCombo, caption);
    setDroppedRows(typeCombo, kTypeSelectorCount);
    setDroppedRows(fieldCombo, kFieldRowsShown);

    model_.show();  // FormShow
    showFieldList();
    showMacroText(model_.macroText());
    finishInit();
    return false;
  }

  HWND createRow(int top, std::u16string_view label, int labelId, int comboId, int comboWidth) {
    HWND combo = ui::createControl(window(), {WC_COMBOBOXW,
                                              u"",
                                              CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                                              0,
                                              {kComboLeft, top, comboWidth, 200},
                                              comboId,
                                              fixedFont()});
    RECT closed{};
    GetWindowRect(combo, &closed);
    // The label is as tall as the closed combo box, its text centred in that height.
    HWND labelWindow =
        ui::createControl(window(), {WC_STATICW,
                                     label,
                                     SS_RIGHT | SS_CENTERIMAGE | SS_NOPREFIX,
                                     0,
                                     {kLabelLeft, top, kLabelWidth, closed.bottom - closed.top},
                                     labelId,
                                     uiFont()});
    // Labels sit in front of their combo box in the tab order, as a label names what follows.
    SetWindowPos(labelWindow, GetWindow(combo, GW_HWNDPREV), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return combo;
  }

  static void addItem(HWND combo, std::u16string_view text) {
    const std::u16string item(text);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::wide(item)));
  }

  // Height of the open list: the given number of rows.
  static void setDroppedRows(HWND combo, int rows) {
    SendMessageW(combo, CB_SETMINVISIBLE, static_cast<WPARAM>(rows), 0);
    RECT closed{};
    GetWindowRect(combo, &closed);
    const int rowHeight = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    const int height = (closed.bottom - closed.top) + rows * rowHeight + 2;
    SetWindowPos(combo, nullptr, 0, 0, closed.right - closed.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // Selection of ComboBox1, the entries of ComboBox2 and its selection, as the model has them.
  // Selecting from the program raises no change notification.
  void showFieldList() {
    SendMessageW(item(kIdTypeCombo), CB_SETCURSEL, static_cast<WPARAM>(model_.typeIndex()), 0);
    HWND fieldCombo = item(kIdFieldCombo);
    SendMessageW(fieldCombo, WM_SETREDRAW, FALSE, 0);
    SendMessageW(fieldCombo, CB_RESETCONTENT, 0, 0);
    for (const auto& entry : model_.fieldEntries()) addItem(fieldCombo, entry);
    SendMessageW(fieldCombo, WM_SETREDRAW, TRUE, 0);
    SendMessageW(fieldCombo, CB_SETCURSEL, static_cast<WPARAM>(model_.fieldIndex()), 0);
    InvalidateRect(fieldCombo, nullptr, TRUE);
  }

  static int selection(HWND combo) {
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? kNoSelection : static_cast<int>(index);
  }

  bool onCommand(int id, int notification, HWND control) override {
    switch (id) {
      case kIdOk:
        confirm(model_.confirm());  // ButtonOkClick
        return true;
      case kIdCancel:
        end(IDCANCEL);
        return true;
      case kIdTypeCombo:  // ComboBox1Change
        if (notification != CBN_SELCHANGE) return false;
        model_.selectType(selection(control));
        showFieldList();
        break;
      case kIdFieldCombo:  // ParamChange
        if (notification != CBN_SELCHANGE) return false;
        model_.selectField(selection(control));
        break;
      default:
        return false;
    }
    showMacroText(model_.macroText());
    return true;
  }

  Param1Model& model_;
};

}  // namespace

INT_PTR showParam1Dialog(PluginState& state, HWND owner, const HostRect& rect,
                         std::u16string& macroText) {
  Param1Model model(state);
  Param1Dialog dialog(model);
  const INT_PTR result = dialog.show(owner, rect);
  if (result == IDOK) macroText = dialog.macroText();
  return result;
}

}  // namespace sonavid
