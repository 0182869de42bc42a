#include "macro_options.h"

#include "common/text.h"

namespace sonavid::cli {
namespace {

// A macro letter is one UTF-16 unit, and not one of the characters of the macro syntax.
bool readLetter(const std::string& arg, char16_t& letter) {
  const std::u16string text = utf8ToUtf16(arg);
  if (text.size() != 1 || text[0] == u'/' || text[0] == u'<' || text[0] == u'>') return false;
  letter = text[0];
  return true;
}

}  // namespace

std::string readMacroOptions(const Arguments& args, MacroOptions& options) {
  for (const char* name : {"--letter0", "--letter1"}) {
    if (!args.values.contains(name)) continue;
    char16_t& letter = name[8] == '0' ? options.letter0 : options.letter1;
    if (!readLetter(args.value(name), letter)) return std::string("bad letter for ") + name + ": " + args.value(name);
  }
  if (options.letter0 == options.letter1) return "the two macros need different letters";
  options.iniPath = args.value("--ini");
  options.section = args.value("--section");
  if (options.iniPath.empty() != options.section.empty()) return "--ini and --section go together";
  return "";
}

}  // namespace sonavid::cli
