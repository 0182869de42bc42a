#include "params/param0_model.h"

#include "common/text.h"
#include "params/param_texts.h"

namespace sonavid {

std::u16string mediaTypeMacroText(std::u16string_view macroLetter, int32_t caseChoice,
                                  int32_t nonTargetChoice, int32_t caseDefault,
                                  int32_t nonTargetDefault, bool omitDefaults) {
  std::u16string text(kMacroTextStart);
  text += macroLetter;
  const bool caseIsDefault = caseChoice == caseDefault;
  const bool nonTargetIsDefault = nonTargetChoice == nonTargetDefault;
  if (omitDefaults && caseIsDefault && nonTargetIsDefault) return text;
  text += u'<';
  if (!omitDefaults || !caseIsDefault) text += toU16(caseChoice);
  if (!omitDefaults || !nonTargetIsDefault) {
    text += u',';
    text += toU16(nonTargetChoice);
  }
  text += u'>';
  return text;
}

int radioItemFor(int32_t storedChoice) { return storedChoice == 0 ? 0 : 1; }

Param0Model::Param0Model(PluginState& state, Param0Settings& settings)
    : state_(state), settings_(settings) {}

void Param0Model::create() {
  title_ = state_.dialogCaption;
  groupCaption_ =
      std::u16string(kMacroTextStart) + state_.macroLetter + std::u16string(kParam0GroupCaption);
  omitMode_ = settings_.readOmitMode();
  caseItem_ = radioItemFor(state_.lastCase);
  nonTargetItem_ = radioItemFor(state_.lastNonTarget);
}

void Param0Model::show() { paramChange(); }

void Param0Model::selectCase(int item) {
  caseItem_ = radioItemFor(item);
  paramChange();
}

void Param0Model::selectNonTarget(int item) {
  nonTargetItem_ = radioItemFor(item);
  paramChange();
}

void Param0Model::restoreDefaults() {
  caseItem_ = radioItemFor(state_.settings.def01);
  nonTargetItem_ = radioItemFor(state_.settings.def02);
  paramChange();
}

void Param0Model::saveDefaults() {
  state_.settings.def01 = caseItem_;
  state_.settings.def02 = nonTargetItem_;
  settings_.writeDefaults();
  paramChange();
}

void Param0Model::setOmitMode(bool omit) {
  omitMode_ = omit;
  paramChange();
  settings_.writeOmitMode(omitMode_);
}

std::u16string Param0Model::confirm() {
  state_.lastCase = caseItem_;
  state_.lastNonTarget = nonTargetItem_;
  return macroText_;
}

void Param0Model::paramChange() {
  macroText_ = mediaTypeMacroText(state_.macroLetter, caseItem_, nonTargetItem_, state_.settings.def01,
                                  state_.settings.def02, omitMode_);
}

}  // namespace sonavid
