// names: the plug-in's name and version text, then each macro's name and description.
#include "commands.h"
#include "console_out.h"

namespace sonavid::host {

int runNames(HostContext& context, const Arguments& /*args*/) {
  writeOut(u"name\t" + context.plugin.name() + u"\n");
  writeOut(u"version\t" + context.plugin.versionText() + u"\n");
  for (int32_t index = 0; index < 2; ++index) {
    std::u16string name(1024, u'\0');
    std::u16string description(1024, u'\0');
    MacroNameRecord record{index, name.data(), description.data()};
    context.plugin.descriptor().macGetName(&record);
    writeOut(u"macro " + std::u16string(1, static_cast<char16_t>(u'0' + index)) + u"\t" +
             std::u16string(name.c_str()) + u"\t" + std::u16string(description.c_str()) + u"\n");
  }
  return 0;
}

}  // namespace sonavid::host
