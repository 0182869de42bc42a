// expand [--timing] [--letter0 C] [--letter1 C] MACROTEXT... -- FILE...
// Sends the reset request, then for each file (numbered from 0) each macro text in order (call
// numbers from 1), and prints one line per file: its name and each expansion, tab-separated.
// A file that cannot be read keeps its line (with what the plug-in answers for it) and its
// reason goes to stderr. --timing adds, on the error stream, how long the plug-in took for each
// macro text.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "common/text.h"
#include "console_out.h"
#include "shared/expansion_run.h"
#include "shared/macro_text.h"
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

// The plug-in's time per macro text over all files: the sum and the longest single call.
struct MacroTiming {
  LONGLONG totalTicks = 0;
  LONGLONG longestTicks = 0;
};

// One line per macro text on the error stream: calls, mean and longest time in milliseconds.
void writeTimings(const Arguments& macroTexts, const std::vector<MacroTiming>& timings,
                  size_t calls) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  const double msPerTick = 1000.0 / static_cast<double>(frequency.QuadPart);
  for (size_t m = 0; m < timings.size(); ++m) {
    char line[160];
    std::snprintf(line, sizeof line, "\tcalls %zu\tmean %.3f ms\tlongest %.3f ms\n", calls,
                  calls == 0 ? 0.0
                             : static_cast<double>(timings[m].totalTicks) * msPerTick /
                                   static_cast<double>(calls),
                  static_cast<double>(timings[m].longestTicks) * msPerTick);
    writeErr("timing\t" + utf16ToUtf8(u16(macroTexts[m])) + line);
  }
}

RunFile splitFullPath(const std::wstring& path) {
  const std::u16string full = u16(fullPathOf(path));
  const std::u16string_view directory = directoryPart(full);
  return {std::u16string(directory), full.substr(directory.size())};
}

int runExpand(HostContext& context, const Arguments& args) {
  char16_t letter0 = u'a', letter1 = u'b';
  size_t i = 0;
  const bool timing = i < args.size() && args[i] == L"--timing";
  if (timing) ++i;
  if (const std::string error = readLetters(args, i, letter0, letter1); !error.empty()) {
    return usageError(L"expand", error);
  }
  const size_t firstMacro = i;
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
  std::vector<MacroTiming> timings(macros.size());
  size_t call = 0;
  const auto rows = expandRun(macros, files, [&](const MacroRequest* request) {
    if (!timing || request == nullptr) return context.plugin.execute(request);
    // Requests come file by file, each file's macros in order.
    MacroTiming& slot = timings[call++ % macros.size()];
    LARGE_INTEGER start{}, end{};
    QueryPerformanceCounter(&start);
    const char16_t* text = context.plugin.execute(request);
    QueryPerformanceCounter(&end);
    const LONGLONG ticks = end.QuadPart - start.QuadPart;
    slot.totalTicks += ticks;
    slot.longestTicks = std::max(slot.longestTicks, ticks);
    return text;
  });
  if (timing) {
    writeTimings(Arguments(args.begin() + static_cast<std::ptrdiff_t>(firstMacro),
                           args.begin() + static_cast<std::ptrdiff_t>(firstMacro + macros.size())),
                 timings, files.size());
  }
  for (size_t f = 0; f < rows.size(); ++f) {
    std::u16string line = tools::escapeForPlainOutput(files[f].fileName);
    for (const std::u16string& expansion : rows[f]) line += u"\t" + tools::escapeForPlainOutput(expansion);
    writeOut(line + u"\n");
  }
  return status;
}

}  // namespace sonavid::host
