// TFormParam0: two radio groups in a group box, the macro-text panel, OK and CANCEL, and a
// context menu for the defaults. All logic is in Param0Model; this binds it to the controls.
#include <windows.h>

#include <array>

#include "params/param0_host_settings.h"
#include "params/param0_model.h"
#include "params/param_dialog_view_win.h"
#include "params/param_dialogs_win.h"
#include "params/param_texts.h"
#include "ui/wide_text_win.h"

namespace sonavid {
namespace {

enum Param0Id : int {
  kIdCaseGroup = kIdFirstOwn,
  kIdCaseUpper,
  kIdCaseLower,
  kIdNonTargetGroup,
  kIdNonTargetNone,
  kIdNonTargetExtension,
  // PopupMenu
  kIdPopupInit = 200,
  kIdPopupSave,
  kIdPopupDefault1,  // "そのまま"
  kIdPopupDefault2,  // "省略"
};

constexpr ParamDialogLayout kLayout{
    .clientWidth = 312,
    .clientHeight = 189,
    .groupBox = {20, 16, 273, 113},
    .macroSample = {24, 146, 113, 25},
    .okLeft = 155,
    .cancelLeft = 227,
    .helpContext = kParam0HelpContext,
};
constexpr ui::PixelRect kCaseGroupRect{48, 44, 90, 69};
constexpr ui::PixelRect kNonTargetGroupRect{165, 44, 100, 69};

class Param0Dialog : public ParamDialogView {
 public:
  explicit Param0Dialog(Param0Model& model) : ParamDialogView(kLayout), model_(model) {}

 private:
  bool onInitDialog() override {
    model_.create();  // FormCreate
    createFrame(model_.title(), model_.groupCaption());
    createRadioGroup(kCaseGroupRect, kCaseGroupCaption, kCaseItems, kIdCaseGroup);
    createRadioGroup(kNonTargetGroupRect, kNonTargetGroupCaption, kNonTargetItems,
                     kIdNonTargetGroup);
    createMacroSample();
    createPopupMenu();
    showChoice();
    model_.show();  // FormShow
    showMacroText(model_.macroText());
    finishInit();
    return false;
  }

  // A captioned box with its items in one column, spaced as a radio group spaces them: the
  // caption line on top, the rest shared evenly among the items.
  template <size_t N>
  void createRadioGroup(const ui::PixelRect& rect, std::u16string_view caption,
                        const std::array<std::u16string_view, N>& items, int groupId) {
    ui::createControl(window(),
                      {WC_BUTTONW, caption, BS_GROUPBOX | WS_GROUP, 0, rect, groupId, fixedFont()});
    constexpr int kCaptionHeight = 12;
    constexpr int kSideMargin = 8;
    const int itemsHeight = rect.height - kCaptionHeight - 5;
    const int itemHeight = itemsHeight / static_cast<int>(N);
    for (size_t i = 0; i < N; ++i) {
      const DWORD style = BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
      ui::createControl(window(),
                        {WC_BUTTONW,
                         items[i],
                         style,
                         0,
                         {rect.left + kSideMargin,
                          rect.top + kCaptionHeight + 1 + static_cast<int>(i) * itemHeight,
                          rect.width - 2 * kSideMargin, itemHeight},
                         groupId + 1 + static_cast<int>(i),
                         fixedFont()});
    }
  }

  void createPopupMenu() {
    HMENU defaults = CreatePopupMenu();
    appendItem(defaults, MF_STRING, kIdPopupDefault1, kMenuWriteDefaults);
    appendItem(defaults, MF_STRING, kIdPopupDefault2, kMenuOmitDefaults);
    menu_.reset(CreatePopupMenu());
    appendItem(menu_.get(), MF_STRING, kIdPopupInit, kMenuRestoreDefaults);
    appendItem(menu_.get(), MF_STRING, kIdPopupSave, kMenuSaveDefaults);
    AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr);
    // The submenu is owned by the menu from here on and destroyed with it.
    appendItem(menu_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(defaults), kMenuDefaultsSubmenu);
  }

  static void appendItem(HMENU menu, UINT flags, UINT_PTR id, std::u16string_view caption) {
    AppendMenuW(menu, flags, id, ui::wide(std::u16string(caption)));  // the menu copies it
  }

  // Radio groups and the menu's radio items as the model has them.
  void showChoice() {
    CheckRadioButton(window(), kIdCaseUpper, kIdCaseLower, kIdCaseUpper + model_.caseItem());
    CheckRadioButton(window(), kIdNonTargetNone, kIdNonTargetExtension,
                     kIdNonTargetNone + model_.nonTargetItem());
    CheckMenuRadioItem(menu_.get(), kIdPopupDefault1, kIdPopupDefault2,
                       model_.omitMode() ? kIdPopupDefault2 : kIdPopupDefault1, MF_BYCOMMAND);
  }

  bool onCommand(int id, int notification, HWND /*control*/) override {
    switch (id) {
      case kIdOk:
        confirm(model_.confirm());  // ButtonOkClick
        return true;
      case kIdCancel:
        end(IDCANCEL);
        return true;
      case kIdCaseUpper:
      case kIdCaseLower:
        if (notification != BN_CLICKED) return false;
        model_.selectCase(id - kIdCaseUpper);
        break;
      case kIdNonTargetNone:
      case kIdNonTargetExtension:
        if (notification != BN_CLICKED) return false;
        model_.selectNonTarget(id - kIdNonTargetNone);
        break;
      case kIdPopupInit:
        model_.restoreDefaults();
        break;
      case kIdPopupSave:
        model_.saveDefaults();
        break;
      case kIdPopupDefault1:
      case kIdPopupDefault2:
        model_.setOmitMode(id == kIdPopupDefault2);
        break;
      default:
        return false;
    }
    showChoice();
    showMacroText(model_.macroText());
    return true;
  }

  bool onContextMenu(HWND /*target*/, POINT screen) override {
    if (screen.x == -1 && screen.y == -1) {
      // From the keyboard: open the menu at the control that has the focus.
      HWND focus = GetFocus();
      RECT rect{};
      GetWindowRect(focus != nullptr ? focus : window(), &rect);
      screen = {rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
    }
    // The chosen item arrives as WM_COMMAND, like any menu command.
    TrackPopupMenuEx(menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen.x,
                     screen.y, window(), nullptr);
    return true;
  }

  Param0Model& model_;
  ui::UniqueMenu menu_;
};

}  // namespace

INT_PTR showParam0Dialog(PluginState& state, HWND owner, const HostRect& rect,
                         std::u16string& macroText) {
  Param0HostSettings settings(state);
  Param0Model model(state, settings);
  Param0Dialog dialog(model);
  const INT_PTR result = dialog.show(owner, rect);
  if (result == IDOK) macroText = dialog.macroText();
  return result;
}

}  // namespace sonavid
