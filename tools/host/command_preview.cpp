// preview [--letter0 C] [--letter1 C] TEMPLATE FILE...
// The name each file would get from a file-name template, expanded through the plug-in as in
// one run of the host; nothing is renamed.
#include <string>
#include <vector>

#include "commands.h"
#include "common/text.h"
#include "console_out.h"
#include "shared/expansion_run.h"
#include "file_checks.h"
#include "shared/rename_preview.h"

namespace sonavid::host {

int runPreview(HostContext& context, const Arguments& args) {
  char16_t letter0 = u'a', letter1 = u'b';
  size_t i = 0;
  if (const std::string error = readLetters(args, i, letter0, letter1); !error.empty()) {
    return usageError(L"preview", error);
  }
  if (i < args.size() && args[i] == L"--") ++i;
  if (i >= args.size()) return usageError(L"preview", "no template");
  if (i + 1 == args.size()) return usageError(L"preview", "no files");
  const auto parts = tools::parseTemplate(u16(args[i]), letter0, letter1);

  std::vector<tools::RenameCandidate> candidates;
  std::vector<RunFile> files;
  for (++i; i < args.size(); ++i) {
    files.push_back(splitFullPath(args[i]));
    candidates.push_back({files.back().directory, files.back().fileName,
                          utf8ToUtf16(fileReadProblem(args[i]))});
  }
  const auto expansions = expandRun(tools::templateMacros(parts), files, [&](const MacroRequest* request) {
    return context.plugin.execute(request);
  });
  const auto plans = tools::planRenames(parts, candidates, expansions, [](const std::u16string& path) {
    return nameTaken(std::wstring(path.begin(), path.end()));
  });
  writeOut(tools::formatRenamePreview(candidates, plans));
  return tools::anyProblem(plans) ? 1 : 0;
}

}  // namespace sonavid::host
