// State and handler logic of the media-type parameter dialog (TFormParam0): two radio groups
// (case, non-target), the omit mode of its context menu, and the macro text they make.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/plugin_state.h"

namespace sonavid {

// The host settings keys the dialog reads and writes, each access opening the file anew.
class Param0Settings {
 public:
  virtual ~Param0Settings() = default;
  virtual bool readOmitMode() = 0;            // "Def00", default not set
  virtual void writeOmitMode(bool omit) = 0;  // "Def00"
  // "Def01" := def01, then "Def02" := def02 of the plug-in state.
  virtual void writeDefaults() = 0;
};

// "/", the letter and the parameter text for a case and non-target choice. In omit mode the
// values equal to their defaults are left out (no brackets at all when both are).
std::u16string mediaTypeMacroText(std::u16string_view macroLetter, int32_t caseChoice,
                                  int32_t nonTargetChoice, int32_t caseDefault,
                                  int32_t nonTargetDefault, bool omitDefaults);

// The radio item that shows a stored choice: 0 stays 0, anything else means the second item,
// as the macro reads any non-zero value.
int radioItemFor(int32_t storedChoice);

class Param0Model {
 public:
  Param0Model(PluginState& state, Param0Settings& settings);

  // FormCreate: title, group caption, omit mode from the settings, the last confirmed choice.
  void create();
  // FormShow: the first macro text.
  void show();

  // Radio group clicks (ParamChange).
  void selectCase(int item);
  void selectNonTarget(int item);

  // Context menu.
  void restoreDefaults();       // "初期値設定"
  void saveDefaults();          // "初期値保存"
  void setOmitMode(bool omit);  // "そのまま" (false) / "省略" (true)

  // ButtonOkClick: remembers the choice for the next opening; returns the macro text.
  std::u16string confirm();

  const std::u16string& title() const { return title_; }
  const std::u16string& groupCaption() const { return groupCaption_; }
  int caseItem() const { return caseItem_; }
  int nonTargetItem() const { return nonTargetItem_; }
  bool omitMode() const { return omitMode_; }
  const std::u16string& macroText() const { return macroText_; }

 private:
  void paramChange();

  PluginState& state_;
  Param0Settings& settings_;
  std::u16string title_;
  std::u16string groupCaption_;
  int caseItem_ = 0;
  int nonTargetItem_ = 0;
  bool omitMode_ = false;
  std::u16string macroText_;
};

}  // namespace sonavid
