// A rename preview: what a file-renaming host would call each file under a name template in
// which the plug-in's macros stand among plain text, and what would stop the rename. Nothing
// here touches a file; whether a name is taken is asked through a function.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/expansion_run.h"

namespace sonavid::tools {

// One piece of a template: text kept as it is, or a macro of this plug-in.
struct TemplatePart {
  bool isMacro = false;
  int32_t macroIndex = 0;
  std::u16string text;  // the literal text, or the macro's parameter text
};

// Splits a template such as "/b<,IART> - /b<,INAM>" into text and macros. A macro is "/", one
// of the two letters and, when a ">" follows, "<", the parameter text and ">". A "/" before
// any other character is text (the host's own macros are not this tool's to expand).
std::vector<TemplatePart> parseTemplate(std::u16string_view text, char16_t letter0,
                                        char16_t letter1);

// The template's macros in order, as one run expands them for each file.
std::vector<RunMacro> templateMacros(const std::vector<TemplatePart>& parts);

// A file to be renamed.
struct RenameCandidate {
  std::u16string directory;    // full folder path with its trailing separator
  std::u16string name;         // the file's name now
  std::u16string readProblem;  // why the file cannot be read; empty when it can
};

struct RenamePlan {
  std::u16string newName;  // empty for a file that cannot be read (it keeps its name)
  std::vector<std::u16string> problems;
};

using FileExistsFunction = std::function<bool(const std::u16string& path)>;

// The new name of every file and its problems. `expansions[i]` holds the template's macro
// results for file i, in template order. The file keeps its extension unless the template
// ends in one of its own (".mp3", "./a<1>"). Flagged: names Windows refuses or would change
// (forbidden characters, control characters, a trailing dot or space, device names, more than
// 255 characters, nothing before the extension), two files given the same name (file names
// compare without regard to ASCII case, as on Windows), and a name held by an existing file
// that is not one of those being renamed.
std::vector<RenamePlan> planRenames(const std::vector<TemplatePart>& parts,
                                    const std::vector<RenameCandidate>& files,
                                    const std::vector<std::vector<std::u16string>>& expansions,
                                    const FileExistsFunction& fileExists);

// The preview as printed: a "# folder" line where the folder changes, "old → new" per file,
// each problem on an indented line starting with "!", and a closing count. Names are escaped
// for plain output.
std::u16string formatRenamePreview(const std::vector<RenameCandidate>& files,
                                   const std::vector<RenamePlan>& plans);

bool anyProblem(const std::vector<RenamePlan>& plans);

}  // namespace sonavid::tools
