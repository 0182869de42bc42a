// What the two parameter dialogs share on screen: fixed-size client area at 96 dpi, fonts,
// the outer group box, the macro-text panel, OK and CANCEL, centring on the host's rectangle,
// the pointer snapped to OK, help on F1.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "core/host_abi.h"
#include "ui/controls_win.h"
#include "ui/modal_dialog_win.h"
#include "ui/win_handles_win.h"

namespace sonavid {

// Control ids; OK and CANCEL carry the ids the dialog manager gives Enter and Escape.
enum ParamControlId : int {
  kIdOk = IDOK,
  kIdCancel = IDCANCEL,
  kIdGroupBox = 100,
  kIdMacroSample,
  kIdFirstOwn = 110,  // each dialog numbers its own controls from here
};

struct ParamDialogLayout {
  int clientWidth;
  int clientHeight;
  ui::PixelRect groupBox;
  ui::PixelRect macroSample;
  int okLeft;
  int cancelLeft;
  uint32_t helpContext;
};

class ParamDialogView : public ui::ModalDialog {
 public:
  // Shows the dialog modally to `owner`, centred on `hostRect`. Returns IDOK or IDCANCEL; on
  // IDOK macroText() holds the confirmed macro text.
  INT_PTR show(HWND owner, const HostRect& hostRect);
  const std::u16string& macroText() const { return confirmedText_; }

 protected:
  explicit ParamDialogView(const ParamDialogLayout& layout);

  // Window title, then OK and CANCEL (first in tab order) and the group box.
  void createFrame(std::u16string_view title, std::u16string_view groupCaption);
  // The macro-text panel, last in tab order.
  void createMacroSample();
  // Size, centring and the focus on OK; call at the end of onInitDialog.
  void finishInit();
  void showMacroText(std::u16string_view text);
  void confirm(std::u16string text);

  bool onHelp(const HELPINFO& info) override;
  void onActivate(int state) override;

  HFONT uiFont() const { return uiFont_.get(); }
  HFONT fixedFont() const { return fixedFont_.get(); }

 private:
  ParamDialogLayout layout_;
  HostRect hostRect_{};
  ui::UniqueFont uiFont_;
  ui::UniqueFont fixedFont_;
  ui::UniqueFont boldFixedFont_;
  std::u16string confirmedText_;
};

}  // namespace sonavid
