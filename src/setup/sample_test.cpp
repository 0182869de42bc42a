#include "setup/sample_test.h"

#include <array>

#include "setup/setup_texts.h"

namespace sonavid::setup {

SampleTexts readSampleTexts(std::u16string_view folder, std::u16string_view fileName,
                            const MacroRunner& run) {
  static constexpr std::array<std::u16string_view, 3> kParameters = {u",TIME", u",AFMT", u",VFMT"};
  SampleTexts result;
  run(nullptr);
  MacroRequest request;
  request.macroIndex = kMediaInfoMacro;
  request.directory = folder;
  request.fileName = fileName;
  request.fileNumber = 0;
  for (size_t i = 0; i < kParameters.size(); ++i) {
    request.parameterText = kParameters[i];
    request.callNumber = static_cast<int32_t>(i) + kFirstCallOnFile;
    std::u16string text = run(&request);
    if (text.empty()) {
      // Without a time nothing was read; without an audio format the file is not offered.
      if (i < 2) return result;
      break;
    }
    result.texts.push_back(std::move(text));
  }
  result.dropDown = true;
  return result;
}

std::u16string trySubstitution(Substitution& substitution, std::u16string_view command,
                               std::u16string_view target) {
  SubstResult result = substitution.subst(command, target);
  if (result.count > 0) return std::move(result.output);
  if (result.count == 0) return {};
  std::u16string why(kSubstitutionErrorLabel);
  if (!result.error.empty()) why.append(u": ").append(result.error);
  return why;
}

}  // namespace sonavid::setup
