// sonavid expand [--letter0 C] [--letter1 C] [--ini FILE --section NAME] [--codepage NAME]
//                MACROTEXT... -- FILE...
#include <cstdio>
#include <string>
#include <vector>

#include "cli_common.h"
#include "commands.h"
#include "common/text.h"
#include "engine/execute.h"
#include "plugin/engine_services.h"
#include "shared/expansion_run.h"
#include "shared/macro_text.h"
#include "engine/plugin_state.h"
#include "settings/settings_store.h"

namespace sonavid::cli {
namespace {

struct ExpandOptions {
  char16_t letter0 = u'a';
  char16_t letter1 = u'b';
  std::string iniPath;
  std::string section;
  std::vector<std::string> macroTexts;
  std::vector<std::string> files;
};

// A macro letter is one UTF-16 unit.
bool readLetter(const std::string& arg, char16_t& letter) {
  const std::u16string text = utf8ToUtf16(arg);
  if (text.size() != 1) return false;
  letter = text[0];
  return true;
}

// Returns an error message, or "" when the arguments were understood.
std::string parseExpandArgs(const std::vector<std::string>& args, ExpandOptions& options) {
  size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") break;
    const bool takesValue = arg == "--letter0" || arg == "--letter1" || arg == "--ini" ||
                            arg == "--section" || arg == "--codepage";
    if (takesValue) {
      if (i + 1 == args.size()) return arg + " needs a value";
      const std::string& value = args[++i];
      if (arg == "--letter0" && !readLetter(value, options.letter0)) return "bad letter";
      if (arg == "--letter1" && !readLetter(value, options.letter1)) return "bad letter";
      if (arg == "--ini") options.iniPath = value;
      if (arg == "--section") options.section = value;
      if (arg == "--codepage" && !useCodePage(value)) return "unknown code page: " + value;
    } else if (arg.starts_with("--")) {
      return "unknown option: " + arg;
    } else {
      options.macroTexts.push_back(arg);
    }
  }
  if (i == args.size()) return "expected -- before the files";
  options.files.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
  if (options.macroTexts.empty()) return "no macro texts";
  if (options.files.empty()) return "no files";
  if (options.letter0 == options.letter1) return "the two macros need different letters";
  if (options.iniPath.empty() != options.section.empty()) return "--ini and --section go together";
  return "";
}

// Reads the host keys and the item lists as the host's initialisation does.
void loadSettings(const ExpandOptions& options) {
  PluginState& state = pluginState();
  if (options.iniPath.empty()) return;
  state.settings.hostIniPath = utf8ToUtf16(options.iniPath);
  state.settings.hostSection = utf8ToUtf16(options.section);
  state.settings.dataFilePath = dataFilePathFor(state.settings.hostIniPath);
  loadHostValues(state.settings);
  migrateAndLoadDataFile(state.settings);
}

}  // namespace

int runExpand(const std::vector<std::string>& args) {
  ExpandOptions options;
  const std::string error = parseExpandArgs(args, options);
  if (!error.empty()) return usageError(error);

  std::vector<RunMacro> macros;
  for (const std::string& text : options.macroTexts) {
    const std::u16string macroText = utf8ToUtf16(text);
    const auto parsed = parseMacroText(macroText);
    const int index =
        parsed ? macroIndexOfLetter(parsed->letter, options.letter0, options.letter1) : -1;
    if (index < 0) return usageError("not a macro text of this plug-in: " + text);
    macros.push_back({index, std::u16string(parsed->parameterText)});
  }
  std::vector<RunFile> files;
  for (const std::string& path : options.files) files.push_back(splitLocalPath(utf8ToUtf16(path)));

  loadSettings(options);
  const auto rows =
      expandRun(macros, files, [](const MacroRequest* request) { return executeMacro(request); });
  for (size_t i = 0; i < rows.size(); ++i) {
    std::fputs(options.files[i].c_str(), stdout);
    for (const std::u16string& expansion : rows[i]) {
      std::fputs("\t", stdout);
      printText(expansion);
    }
    std::fputs("\n", stdout);
  }
  return kExitOk;
}

}  // namespace sonavid::cli
