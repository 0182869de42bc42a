// Feeds arbitrary bytes to the settings files' reader: encoding detection, then the INI form,
// then the lookups and rewrites the plug-in makes on a hand-edited file.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "settings/ini_form.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using sonavid::IniForm;
  IniForm form = IniForm::parse(sonavid::decodeSettingsBytes(sonavid::fuzz::bytesOf(data, size)));
  form.readInt(u"mac_Sonavid", u"Def11", 0);
  const sonavid::IniSectionReader keys = form.section(u"MP3");
  keys.readInt(u"Count", 0);
  keys.readText(u"I1");
  form.writeText(u"mac_Sonavid", u"Def12", u"x\r\ny");
  form.replaceSection(u"MP3", {{u"Count", u"0"}});
  IniForm::parse(form.toText());
  return 0;
}
