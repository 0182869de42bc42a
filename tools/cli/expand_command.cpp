// sonavid expand [--letter0 C] [--letter1 C] [--ini FILE --section NAME] MACROTEXT... -- FILE...
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "cli_common.h"
#include "commands.h"
#include "common/text.h"
#include "shared/expansion_run.h"
#include "shared/macro_text.h"
#include "macro_options.h"
#include "plugin/engine_services.h"

namespace sonavid::cli {
namespace {

int runExpand(const Arguments& args) {
  MacroOptions options;
  if (const std::string error = readMacroOptions(args, options); !error.empty()) {
    return usageError(kExpandCommand, error);
  }
  if (!args.sawSeparator) return usageError(kExpandCommand, "expected -- before the files");
  const std::vector<std::string> texts(args.operands.begin(),
                                       args.operands.begin() + static_cast<std::ptrdiff_t>(args.operandsBeforeSeparator));
  const std::vector<std::string> paths(args.operands.begin() + static_cast<std::ptrdiff_t>(args.operandsBeforeSeparator),
                                       args.operands.end());
  if (texts.empty()) return usageError(kExpandCommand, "no macro texts");
  if (paths.empty()) return usageError(kExpandCommand, "no files");

  std::vector<RunMacro> macros;
  for (const std::string& text : texts) {
    const std::u16string macroText = utf8ToUtf16(text);
    const auto parsed = parseMacroText(macroText);
    const int index =
        parsed ? macroIndexOfLetter(parsed->letter, options.letter0, options.letter1) : -1;
    if (index < 0) return usageError(kExpandCommand, "not a macro text of this plug-in: " + text);
    macros.push_back({index, std::u16string(parsed->parameterText)});
  }
  int exitCode = kExitOk;
  std::vector<RunFile> files;
  for (const std::string& path : paths) {
    files.push_back(splitLocalPath(pathArgument(path)));
    if (const std::string problem = fileReadProblem(path); !problem.empty()) {
      reportFileProblem(path, problem);
      exitCode = kExitFileFailed;
    }
  }

  loadHostSettings(options.iniPath, options.section);
  const auto rows =
      expandRun(macros, files, [](const MacroRequest* request) { return executeMacro(request); });
  // A file that cannot be read keeps its row, with the empty texts the host would get.
  for (size_t i = 0; i < rows.size(); ++i) {
    std::fputs(shownPath(paths[i]).c_str(), stdout);
    for (const std::u16string& expansion : rows[i]) {
      std::fputs("\t", stdout);
      printEscaped(expansion);
    }
    std::fputs("\n", stdout);
  }
  return exitCode;
}

}  // namespace

const Command kExpandCommand = {
    "expand",
    "usage: sonavid expand [--letter0 C] [--letter1 C] [--ini FILE --section NAME]\n"
    "                      [--codepage CP] MACROTEXT... -- FILE...\n",
    "Expands each macro text (\"/a\", \"/b<MP3,TIME>\" ...) for each file, as a host does in\n"
    "one run, and prints one line per file: the file and its expansions, tab-separated. Tabs,\n"
    "line breaks and other control characters in values are written as \\t, \\n, \\r, \\xNN.\n"
    "\n"
    "  --letter0 C, --letter1 C  the letters the host gave the media-type and the media-info\n"
    "                            macro (default a and b)\n"
    "  --ini FILE --section NAME the host settings file and section whose user items apply\n"
    "                            (the data file is read beside FILE)\n"
    "  --codepage CP             see \"sonavid --help\"\n"
    "\n"
    "Exit status: 0 every file was read, 1 some file could not be read (it keeps its line,\n"
    "with empty expansions, and the reason goes to stderr), 2 wrong usage.\n",
    kMacroOptions,
    runExpand,
};

}  // namespace sonavid::cli
