// expand [--letter0 C] [--letter1 C] MACROTEXT... -- FILE...
// Sends the reset request, then for each file (numbered from 0) each macro text in order (call
// numbers from 1), and prints one line per file: its name and each expansion, tab-separated.
// A file that cannot be read keeps its line (with what the plug-in answers for it) and its
// reason goes to stderr.
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "common/text.h"
#include "console_out.h"
#include "engine/expansion_run.h"
#include "engine/macro_text.h"
#include "file_checks.h"
#include "shared/plain_text.h"

namespace sonavid::host {

std::u16string u16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::string readLetters(const Arguments& args, size_t& i, char16_t& letter0, char16_t& letter1) {
  for (; i < args.size() && (args[i] == L"--letter0" || args[i] == L"--letter1"); i += 2) {
    if (i + 1 == args.size() || args[i + 1].size() != 1) return "a macro letter is one character";
    (args[i] == L"--letter0" ? letter0 : letter1) = static_cast<char16_t>(args[i + 1][0]);
  }
  return letter0 == letter1 ? "the two macros need different letters" : "";
}

RunFile splitFullPath(const std::wstring& path) {
  const std::u16string full = u16(fullPathOf(path));
  const std::u16string_view directory = directoryPart(full);
  return {std::u16string(directory), full.substr(directory.size())};
}

int runExpand(HostContext& context, const Arguments& args) {
  char16_t letter0 = u'a', letter1 = u'b';
  size_t i = 0;
  if (const std::string error = readLetters(args, i, letter0, letter1); !error.empty()) {
    return usageError(L"expand", error);
  }
  std::vector<RunMacro> macros;
  for (; i < args.size() && args[i] != L"--"; ++i) {
    const std::u16string text = u16(args[i]);
    const std::optional<MacroText> parsed = parseMacroText(text);
    const int index = parsed ? macroIndexOfLetter(parsed->letter, letter0, letter1) : -1;
    if (index < 0) return usageError(L"expand", "not a macro text of this plug-in: " + utf16ToUtf8(text));
    macros.push_back({index, std::u16string(parsed->parameterText)});
  }
  if (macros.empty()) return usageError(L"expand", "no macro texts");
  if (i >= args.size()) return usageError(L"expand", "expected -- before the files");
  if (i + 1 == args.size()) return usageError(L"expand", "no files");

  int status = 0;
  std::vector<RunFile> files;
  for (++i; i < args.size(); ++i) {
    files.push_back(splitFullPath(args[i]));
    if (const std::string problem = fileReadProblem(args[i]); !problem.empty()) {
      writeErr("sonavid-host: " + utf16ToUtf8(tools::escapeForPlainOutput(u16(args[i]))) + ": " + problem + "\n");
      status = 1;
    }
  }
  const auto rows = expandRun(macros, files, [&](const MacroRequest* request) {
    return context.plugin.execute(request);
  });
  for (size_t f = 0; f < rows.size(); ++f) {
    std::u16string line = tools::escapeForPlainOutput(files[f].fileName);
    for (const std::u16string& expansion : rows[f]) line += u"\t" + tools::escapeForPlainOutput(expansion);
    writeOut(line + u"\n");
  }
  return status;
}

}  // namespace sonavid::host
