// sonavid preview [--letter0 C] [--letter1 C] [--ini FILE --section NAME] TEMPLATE FILE...
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_common.h"
#include "commands.h"
#include "common/text.h"
#include "shared/expansion_run.h"
#include "macro_options.h"
#include "plugin/engine_services.h"
#include "shared/rename_preview.h"

namespace sonavid::cli {
namespace {

// The file's folder as a full path with its trailing "/", and its name; bytes kept as they are.
tools::RenameCandidate candidateOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  std::error_code error;
  std::string full = std::filesystem::absolute(folder, error).lexically_normal().string();
  if (error) full = folder;
  if (!full.ends_with('/')) full += '/';
  tools::RenameCandidate candidate;
  candidate.directory = pathArgument(full);
  candidate.name = pathArgument(slash == std::string::npos ? path : path.substr(slash + 1));
  candidate.readProblem = utf8ToUtf16(fileReadProblem(path));
  return candidate;
}

// Any kind of entry takes the name: a file, a folder, a dangling link.
bool nameTaken(const std::u16string& path) {
  struct stat st {};
  return lstat(utf16ToFileNameBytes(path).c_str(), &st) == 0;
}

int runPreview(const Arguments& args) {
  MacroOptions options;
  if (const std::string error = readMacroOptions(args, options); !error.empty()) {
    return usageError(kPreviewCommand, error);
  }
  if (args.operands.empty()) return usageError(kPreviewCommand, "no template");
  if (args.operands.size() == 1) return usageError(kPreviewCommand, "no files");
  const auto parts =
      tools::parseTemplate(utf8ToUtf16(args.operands[0]), options.letter0, options.letter1);

  std::vector<tools::RenameCandidate> candidates;
  std::vector<RunFile> files;
  for (size_t i = 1; i < args.operands.size(); ++i) {
    candidates.push_back(candidateOf(args.operands[i]));
    files.push_back({candidates.back().directory, candidates.back().name});
  }
  loadHostSettings(options.iniPath, options.section);
  const auto expansions = expandRun(tools::templateMacros(parts), files,
                                    [](const MacroRequest* request) { return executeMacro(request); });
  const auto plans = tools::planRenames(parts, candidates, expansions, nameTaken);
  printText(tools::formatRenamePreview(candidates, plans));
  return tools::anyProblem(plans) ? kExitFileFailed : kExitOk;
}

}  // namespace

const Command kPreviewCommand = {
    "preview",
    "usage: sonavid preview [--letter0 C] [--letter1 C] [--ini FILE --section NAME]\n"
    "                       [--codepage CP] TEMPLATE FILE...\n",
    "Shows the name each file would get from a file-name template, as a renaming host\n"
    "expands it, and renames nothing. The template is text with the plug-in's macros in it:\n"
    "\"/a\" (the media type) and \"/b<TYPE,FIELD>\" (a value), with the host's letters, e.g.\n"
    "  sonavid preview \"/b<,IART> - /b<,INAM> (/b<,TIME>)\" *.mp3\n"
    "Each file stays in its folder and keeps its extension unless the template ends in one\n"
    "(\".mp3\", \"./a<1>\"). Prints \"old name \xE2\x86\x92 new name\" per file and flags, on lines\n"
    "starting with \"!\", new names that two files would share, that an existing file not\n"
    "being renamed already has, or that Windows does not allow: the characters \\ / : * ? \" < > |,\n"
    "control characters, a trailing dot or space, device names such as CON or NUL.\n"
    "\n"
    "  --letter0 C, --letter1 C  the letters the host gave the two macros (default a and b)\n"
    "  --ini FILE --section NAME the host settings file and section whose user items apply\n"
    "  --codepage CP             see \"sonavid --help\"\n"
    "\n"
    "Exit status: 0 no name was flagged, 1 some name was flagged or a file could not be\n"
    "read, 2 wrong usage.\n",
    kMacroOptions,
    runPreview,
};

}  // namespace sonavid::cli
