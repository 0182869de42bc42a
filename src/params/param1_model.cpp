#include "params/param1_model.h"

#include "params/field_catalogue.h"
#include "params/param_texts.h"

namespace sonavid {

std::u16string mediaInfoMacroText(std::u16string_view macroLetter, int typeIndex,
                                  std::u16string_view fieldEntry) {
  std::u16string text(kMacroTextStart);
  text += macroLetter;
  text += u'<';
  if (typeIndex >= 1 && typeIndex < kTypeSelectorCount) {
    text += kTypeSelectorCaptions[static_cast<size_t>(typeIndex)];
  }
  text += u',';
  text += codeOfEntry(fieldEntry);
  text += u'>';
  return text;
}

Param1Model::Param1Model(PluginState& state) : state_(state) {}

void Param1Model::create() {
  title_ = state_.dialogCaption;
  groupCaption_ =
      std::u16string(kMacroTextStart) + state_.macroLetter + std::u16string(kParam1GroupCaption);
}

void Param1Model::show() {
  fillFieldList(state_.settings.def11);
  fieldIndex_ = validFieldIndex(state_.settings.def12);
  paramChange();
}

void Param1Model::selectType(int typeIndex) {
  fillFieldList(typeIndex);
  fieldIndex_ = validFieldIndex(0);
  paramChange();
}

void Param1Model::selectField(int fieldIndex) {
  fieldIndex_ = validFieldIndex(fieldIndex);
  paramChange();
}

std::u16string Param1Model::confirm() {
  state_.settings.def11 = typeIndex_;
  state_.settings.def12 = fieldIndex_;
  return macroText_;
}

void Param1Model::fillFieldList(int typeIndex) {
  typeIndex_ = typeIndex >= 0 && typeIndex < kTypeSelectorCount ? typeIndex : kNoSelection;
  fieldEntries_ = buildFieldList(typeIndex_, state_.settings.itemLists);
}

int Param1Model::validFieldIndex(int fieldIndex) const {
  return fieldIndex >= 0 && static_cast<size_t>(fieldIndex) < fieldEntries_.size() ? fieldIndex
                                                                                   : kNoSelection;
}

void Param1Model::paramChange() {
  const std::u16string_view entry = fieldIndex_ == kNoSelection
                                        ? std::u16string_view()
                                        : std::u16string_view(fieldEntries_[size_t(fieldIndex_)]);
  macroText_ = mediaInfoMacroText(state_.macroLetter, typeIndex_, entry);
}

}  // namespace sonavid
