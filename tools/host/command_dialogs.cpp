// param and setup: show the plug-in's dialogs over the host window.
#include <string>

#include "commands.h"
#include "console_out.h"

namespace sonavid::host {

int runParam(HostContext& context, const Arguments& args) {
  if (args.empty() || (args[0] != L"0" && args[0] != L"1")) {
    return usageError(L"param", "expected 0 or 1");
  }
  const uint32_t macroIndex = args[0] == L"0" ? 0 : 1;
  std::wstring letter = macroIndex == 0 ? L"a" : L"b";
  std::wstring caption = L"sonavid-host";
  for (size_t i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == L"--letter" && !args[i + 1].empty()) letter = args[i + 1];
    if (args[i] == L"--caption") caption = args[i + 1];
  }
  ParamDialogRequest request{};
  request.macroIndex = macroIndex;
  request.macroLetter = static_cast<char16_t>(letter[0]);
  request.caption = reinterpret_cast<const char16_t*>(caption.c_str());
  const HostRect rect = hostRectOf(context.window);
  const char16_t* text = context.plugin.descriptor().macParamDialog(&request, &rect);
  if (text == nullptr) {
    writeOut(u"cancelled\n");
  } else if (*text == u'\0') {
    writeOut(u"(empty)\n");
  } else {
    writeOut(std::u16string(text) + u"\n");
  }
  return 0;
}

int runSetup(HostContext& context, const Arguments& /*args*/) {
  const HostRect rect = hostRectOf(context.window);
  context.plugin.descriptor().macSetup(&rect);
  return 0;
}

}  // namespace sonavid::host
