// expand [--timing] [--letter0 C] [--letter1 C] MACROTEXT... -- FILE...
// Sends the reset request, then for each file (numbered from 0) each macro text in order (call
// numbers from 1), and prints one line per file: its name and each expansion, tab-separated.
// --timing adds, on the error stream, how long the plug-in took for each macro text.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "console_out.h"
#include "engine/execute_request.h"
#include "common/text.h"
#include "shared/macro_text.h"

namespace sonavid::host {
namespace {

struct PreparedMacro {
  int32_t macroIndex;
  std::u16string parameterText;
  std::u16string macroText;
  // --timing: the time the plug-in took over all files, and the longest single call.
  LONGLONG totalTicks = 0;
  LONGLONG longestTicks = 0;
};

// One line per macro text on the error stream: calls, mean and longest time in milliseconds.
void writeTimings(const std::vector<PreparedMacro>& macros, size_t calls) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  const double msPerTick = 1000.0 / static_cast<double>(frequency.QuadPart);
  for (const PreparedMacro& macro : macros) {
    char line[160];
    std::snprintf(line, sizeof line, "\tcalls %zu\tmean %.3f ms\tlongest %.3f ms\n", calls,
                  calls == 0 ? 0.0 : macro.totalTicks * msPerTick / static_cast<double>(calls),
                  macro.longestTicks * msPerTick);
    writeErr("timing\t" + utf16ToUtf8(macro.macroText) + line);
  }
}

std::u16string u16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::wstring fullPath(const std::wstring& path) {
  std::wstring buffer(32768, L'\0');
  const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  if (n == 0 || n >= buffer.size()) return path;
  buffer.resize(n);
  return buffer;
}

int usage() {
  writeErr("usage: expand [--timing] [--letter0 C] [--letter1 C] MACROTEXT... -- FILE...\n");
  return 2;
}

}  // namespace

int runExpand(HostContext& context, const Arguments& args) {
  char16_t letter0 = u'a', letter1 = u'b';
  bool timing = false;
  size_t i = 0;
  while (i < args.size()) {
    if (args[i] == L"--timing") {
      timing = true;
      ++i;
    } else if (i + 1 < args.size() && args[i] == L"--letter0" && args[i + 1].size() == 1) {
      letter0 = static_cast<char16_t>(args[i + 1][0]);
      i += 2;
    } else if (i + 1 < args.size() && args[i] == L"--letter1" && args[i + 1].size() == 1) {
      letter1 = static_cast<char16_t>(args[i + 1][0]);
      i += 2;
    } else {
      break;
    }
  }
  std::vector<PreparedMacro> macros;
  for (; i < args.size() && args[i] != L"--"; ++i) {
    const std::u16string text = u16(args[i]);
    const std::optional<MacroText> parsed = parseMacroText(text);
    const int index = parsed ? macroIndexOfLetter(parsed->letter, letter0, letter1) : -1;
    if (index < 0) {
      writeErr("expand: not a macro text of this plug-in: " + utf16ToUtf8(text) + "\n");
      return 2;
    }
    macros.push_back({index, std::u16string(parsed->parameterText), text});
  }
  if (i >= args.size() || macros.empty()) return usage();
  const std::vector<std::wstring> files(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());

  MacExecuteFn execute = context.plugin.descriptor().macExecute;
  execute(nullptr);  // a run starts with the reset request
  int32_t fileNumber = 0;
  for (const std::wstring& file : files) {
    const std::u16string path = u16(fullPath(file));
    const size_t slash = path.find_last_of(u"\\/");
    const std::u16string directory = slash == std::u16string::npos ? u"" : path.substr(0, slash);
    const std::u16string name = slash == std::u16string::npos ? path : path.substr(slash + 1);
    std::u16string line = name;
    int32_t callNumber = 1;
    for (PreparedMacro& macro : macros) {
      ExecuteRequest request{};
      request.macroIndex = macro.macroIndex;
      request.parameterText = macro.parameterText.c_str();
      request.directory = directory.c_str();
      request.fileName = name.c_str();
      request.fileNumber = fileNumber;
      request.callNumber = callNumber++;
      LARGE_INTEGER before{}, after{};
      QueryPerformanceCounter(&before);
      const char16_t* result = execute(&request);
      QueryPerformanceCounter(&after);
      const LONGLONG ticks = after.QuadPart - before.QuadPart;
      macro.totalTicks += ticks;
      macro.longestTicks = std::max(macro.longestTicks, ticks);
      line += u"\t";
      line += result != nullptr ? result : u"(null)";
    }
    writeOut(line + u"\n");
    ++fileNumber;
  }
  if (timing) writeTimings(macros, files.size());
  return 0;
}

}  // namespace sonavid::host
