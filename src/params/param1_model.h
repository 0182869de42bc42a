// State and handler logic of the media-info parameter dialog (TFormParam1): the type selector,
// the field list built for it, and the macro text they make.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/plugin_state.h"

namespace sonavid {

inline constexpr int kNoSelection = -1;

// "/", the letter and "<type,code>"; the type part is empty for automatic (0) and for no
// selection, the code is the field code of `fieldEntry` (empty when nothing is selected).
std::u16string mediaInfoMacroText(std::u16string_view macroLetter, int typeIndex,
                                  std::u16string_view fieldEntry);

class Param1Model {
 public:
  explicit Param1Model(PluginState& state);

  // FormCreate: title and group caption.
  void create();
  // FormShow: the last confirmed type and field position, the field list, the macro text. A
  // stored type outside the selector or a position outside the list selects nothing.
  void show();

  // ComboBox1Change by the user: new field list, its first entry selected.
  void selectType(int typeIndex);
  // ParamChange from ComboBox2; an index outside the list selects nothing.
  void selectField(int fieldIndex);

  // ButtonOkClick: remembers type and field position; returns the macro text.
  std::u16string confirm();

  const std::u16string& title() const { return title_; }
  const std::u16string& groupCaption() const { return groupCaption_; }
  int typeIndex() const { return typeIndex_; }
  const std::vector<std::u16string>& fieldEntries() const { return fieldEntries_; }
  int fieldIndex() const { return fieldIndex_; }
  const std::u16string& macroText() const { return macroText_; }

 private:
  void fillFieldList(int typeIndex);
  int validFieldIndex(int fieldIndex) const;
  void paramChange();

  PluginState& state_;
  std::u16string title_;
  std::u16string groupCaption_;
  int typeIndex_ = kNoSelection;
  std::vector<std::u16string> fieldEntries_;
  int fieldIndex_ = kNoSelection;
  std::u16string macroText_;
};

}  // namespace sonavid
