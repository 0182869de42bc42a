#include "params/param_dialog_view_win.h"

#include "ui/dialog_placement.h"
#include "ui/help_service_win.h"
#include "params/param_texts.h"
#include "ui/dialog_template.h"
#include "ui/fonts_win.h"
#include "ui/wide_text_win.h"

namespace sonavid {
namespace {

constexpr int kButtonWidth = 62;
constexpr int kButtonHeight = 25;
constexpr int kCharacterHeight = 12;

}  // namespace

ParamDialogView::ParamDialogView(const ParamDialogLayout& layout) : layout_(layout) {}

INT_PTR ParamDialogView::show(HWND owner, const HostRect& hostRect) {
  hostRect_ = hostRect;
  uiFont_ = ui::createFont({ui::kUiGothic, kCharacterHeight});
  fixedFont_ = ui::createFont({ui::kFixedGothic, kCharacterHeight});
  boldFixedFont_ = ui::createFont({ui::kFixedGothic, kCharacterHeight, /*bold=*/true});
  ui::DialogTemplateSpec dialogLayout;
  // Fixed dialog frame: no resizing, no minimise or maximise box.
  dialogLayout.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  const INT_PTR result = runModal(owner, ui::buildDialogTemplate(dialogLayout));
  return result == IDOK ? IDOK : IDCANCEL;
}

void ParamDialogView::createFrame(std::u16string_view title, std::u16string_view groupCaption) {
  ui::setWindowText(window(), title);
  SendMessageW(window(), WM_SETFONT, reinterpret_cast<WPARAM>(uiFont()), FALSE);
  const int top = layout_.macroSample.top;
  ui::createControl(window(), {WC_BUTTONW,
                               kOkCaption,
                               BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP,
                               0,
                               {layout_.okLeft, top, kButtonWidth, kButtonHeight},
                               kIdOk,
                               uiFont()});
  ui::createControl(window(), {WC_BUTTONW,
                               kCancelCaption,
                               BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP,
                               0,
                               {layout_.cancelLeft, top, kButtonWidth, kButtonHeight},
                               kIdCancel,
                               uiFont()});
  ui::createControl(window(), {WC_BUTTONW, groupCaption, BS_GROUPBOX | WS_GROUP, 0,
                               layout_.groupBox, kIdGroupBox, boldFixedFont_.get()});
}

void ParamDialogView::createMacroSample() {
  // A lowered panel: sunken edge, text centred both ways, "&" shown as it is.
  ui::createControl(window(), {WC_STATICW, u"", SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX | WS_GROUP,
                               WS_EX_STATICEDGE, layout_.macroSample, kIdMacroSample, fixedFont()});
}

void ParamDialogView::finishInit() {
  ui::setClientSize(window(), layout_.clientWidth, layout_.clientHeight);
  const SIZE outer = ui::outerSize(window());
  const DialogOrigin origin = centredOn(hostRect_, outer.cx, outer.cy);
  SetWindowPos(window(), nullptr, origin.left, origin.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(window(), DM_SETDEFID, kIdOk, 0);
  SetFocus(item(kIdOk));
}

void ParamDialogView::showMacroText(std::u16string_view text) {
  ui::setWindowText(item(kIdMacroSample), text);
}

void ParamDialogView::confirm(std::u16string text) {
  confirmedText_ = std::move(text);
  end(IDOK);
}

bool ParamDialogView::onHelp(const HELPINFO& /*info*/) {
  openHelpTopic(layout_.helpContext);
  return true;
}

void ParamDialogView::onActivate(int state) {
  // Only when the dialog is activated without a click: a click that activates it must not
  // have the pointer pulled away from where the user clicked.
  if (state == WA_ACTIVE) ui::snapPointerTo(item(kIdOk));
}

}  // namespace sonavid
