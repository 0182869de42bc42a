#include "rename_preview.h"

#include <array>

#include "common/text.h"
#include "engine/execute_request.h"
#include "shared/macro_text.h"
#include "plain_text.h"

namespace sonavid::tools {
namespace {

// The longest file name Windows accepts, in UTF-16 units.
constexpr size_t kMaxNameLength = 255;
// The longest extension a template may end in, so "Vol.2" or "feat. X" are not taken for one.
constexpr size_t kMaxExtensionLength = 8;

constexpr std::u16string_view kForbiddenCharacters = u"\\/:*?\"<>|";
constexpr std::array<std::u16string_view, 4> kDeviceNames = {u"con", u"prn", u"aux", u"nul"};
constexpr std::array<std::u16string_view, 2> kNumberedDeviceNames = {u"com", u"lpt"};

bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool isAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// ".mp3" of "song.mp3"; empty for a name without a dot after its first character.
std::u16string_view extensionOf(std::u16string_view name) {
  const size_t dot = name.rfind(u'.');
  return dot == std::u16string_view::npos || dot == 0 ? std::u16string_view() : name.substr(dot);
}

// A plausible extension after a dot: up to eight letters and digits, at least one a letter.
bool looksLikeExtension(std::u16string_view text) {
  if (text.empty() || text.size() > kMaxExtensionLength) return false;
  bool letter = false;
  for (char16_t c : text) {
    if (!isAsciiLetter(c) && !isAsciiDigit(c)) return false;
    letter = letter || isAsciiLetter(c);
  }
  return letter;
}

bool templateNamesExtension(const std::vector<TemplatePart>& parts) {
  if (parts.empty()) return false;
  const TemplatePart& last = parts.back();
  if (last.isMacro) {
    // "./a<1>": the media-type macro after a dot gives the extension.
    return last.macroIndex == kMediaTypeMacro && parts.size() >= 2 && !parts[parts.size() - 2].isMacro &&
           parts[parts.size() - 2].text.ends_with(u'.');
  }
  const size_t dot = last.text.rfind(u'.');
  return dot != std::u16string::npos && looksLikeExtension(std::u16string_view(last.text).substr(dot + 1));
}

// The device name a file name stands for (Windows ignores what follows the first dot and
// trailing spaces before it), or empty.
std::u16string deviceNameOf(std::u16string_view name) {
  std::u16string base = asciiLower(name.substr(0, name.find(u'.')));
  while (!base.empty() && base.back() == u' ') base.pop_back();
  for (std::u16string_view device : kDeviceNames) {
    if (base == device) return base;
  }
  for (std::u16string_view device : kNumberedDeviceNames) {
    if (base.size() == 4 && base.starts_with(device) && base[3] >= u'1' && base[3] <= u'9') return base;
  }
  return {};
}

void addNameProblems(std::u16string_view name, bool nothingBeforeExtension,
                     std::vector<std::u16string>& problems) {
  if (name.empty()) {
    problems.push_back(u"the new name is empty");
    return;
  }
  if (nothingBeforeExtension) problems.push_back(u"the template gives nothing before the extension");
  std::u16string forbidden;
  bool control = false;
  for (char16_t c : name) {
    if (c < 0x20) control = true;
    if (kForbiddenCharacters.find(c) != std::u16string_view::npos &&
        forbidden.find(c) == std::u16string::npos) {
      forbidden += c;
    }
  }
  if (!forbidden.empty()) {
    std::u16string problem = u"has characters Windows does not allow in file names:";
    for (char16_t c : forbidden) problem += std::u16string(u" ") + c;
    problems.push_back(problem);
  }
  if (control) problems.push_back(u"has control characters");
  if (name.back() == u'.') problems.push_back(u"ends in a dot, which Windows drops");
  if (name.back() == u' ') problems.push_back(u"ends in a space, which Windows drops");
  if (const std::u16string device = deviceNameOf(name); !device.empty()) {
    std::u16string upper = device;
    for (char16_t& c : upper) c = isAsciiLetter(c) ? static_cast<char16_t>(c & ~0x20) : c;
    problems.push_back(u"is the device name " + upper + u", which Windows reserves");
  }
  if (name.size() > kMaxNameLength) problems.push_back(u"is longer than the 255 characters Windows allows");
}

// Windows compares file names without regard to case; ASCII folding covers the usual names.
std::u16string nameKey(std::u16string_view directory, std::u16string_view name) {
  return asciiLower(std::u16string(directory) + std::u16string(name));
}

}  // namespace

std::vector<TemplatePart> parseTemplate(std::u16string_view text, char16_t letter0,
                                        char16_t letter1) {
  std::vector<TemplatePart> parts;
  auto appendText = [&](std::u16string_view piece) {
    if (piece.empty()) return;
    if (parts.empty() || parts.back().isMacro) parts.emplace_back();
    parts.back().text += piece;
  };
  size_t i = 0;
  while (i < text.size()) {
    const int index = text[i] == u'/' && i + 1 < text.size()
                          ? macroIndexOfLetter(text[i + 1], letter0, letter1)
                          : -1;
    if (index < 0) {
      appendText(text.substr(i, 1));
      ++i;
      continue;
    }
    TemplatePart macro{true, index, {}};
    i += 2;
    if (i < text.size() && text[i] == u'<') {
      const size_t close = text.find(u'>', i + 1);
      if (close != std::u16string_view::npos) {
        macro.text = text.substr(i + 1, close - i - 1);
        i = close + 1;
      }
    }
    parts.push_back(std::move(macro));
  }
  return parts;
}

std::vector<RunMacro> templateMacros(const std::vector<TemplatePart>& parts) {
  std::vector<RunMacro> macros;
  for (const TemplatePart& part : parts) {
    if (part.isMacro) macros.push_back({part.macroIndex, part.text});
  }
  return macros;
}

std::vector<RenamePlan> planRenames(const std::vector<TemplatePart>& parts,
                                    const std::vector<RenameCandidate>& files,
                                    const std::vector<std::vector<std::u16string>>& expansions,
                                    const FileExistsFunction& fileExists) {
  const bool keepExtension = !templateNamesExtension(parts);
  std::vector<RenamePlan> plans(files.size());
  for (size_t f = 0; f < files.size(); ++f) {
    RenamePlan& plan = plans[f];
    if (!files[f].readProblem.empty()) {
      plan.problems.push_back(u"cannot be read: " + files[f].readProblem);
      continue;
    }
    size_t next = 0;
    for (const TemplatePart& part : parts) {
      if (!part.isMacro) {
        plan.newName += part.text;
      } else if (f < expansions.size() && next < expansions[f].size()) {
        plan.newName += expansions[f][next++];
      }
    }
    const bool nothingBeforeExtension =
        keepExtension && plan.newName.find_first_not_of(u' ') == std::u16string::npos;
    if (keepExtension) plan.newName += extensionOf(files[f].name);
    addNameProblems(plan.newName, nothingBeforeExtension, plan.problems);
  }

  // Names taken: every file's name after the renames (a file that cannot be read keeps its own).
  std::vector<std::u16string> oldKeys, newKeys;
  for (size_t f = 0; f < files.size(); ++f) {
    oldKeys.push_back(nameKey(files[f].directory, files[f].name));
    newKeys.push_back(plans[f].newName.empty() ? oldKeys.back()
                                               : nameKey(files[f].directory, plans[f].newName));
  }
  for (size_t f = 0; f < files.size(); ++f) {
    if (plans[f].newName.empty()) continue;
    for (size_t other = 0; other < files.size(); ++other) {
      if (other != f && newKeys[other] == newKeys[f] && oldKeys[other] != oldKeys[f]) {
        plans[f].problems.push_back(u"gets the same name as " + files[other].name);
        break;
      }
    }
    if (newKeys[f] == oldKeys[f]) continue;
    bool beingRenamed = false;
    for (const std::u16string& key : oldKeys) beingRenamed = beingRenamed || key == newKeys[f];
    if (!beingRenamed && fileExists(files[f].directory + plans[f].newName)) {
      plans[f].problems.push_back(u"a file of that name already exists and is not being renamed");
    }
  }
  return plans;
}

std::u16string formatRenamePreview(const std::vector<RenameCandidate>& files,
                                   const std::vector<RenamePlan>& plans) {
  std::u16string out;
  size_t renamed = 0, unchanged = 0, flagged = 0;
  for (size_t f = 0; f < files.size() && f < plans.size(); ++f) {
    const RenameCandidate& file = files[f];
    const RenamePlan& plan = plans[f];
    if (f == 0 || file.directory != files[f - 1].directory) {
      out += u"# " + escapeForPlainOutput(file.directory) + u"\n";
    }
    out += escapeForPlainOutput(file.name) + u" \u2192 ";
    if (plan.newName.empty()) {
      out += u"(not renamed)";
    } else if (plan.newName == file.name) {
      out += escapeForPlainOutput(plan.newName) + u" (unchanged)";
      ++unchanged;
    } else {
      out += escapeForPlainOutput(plan.newName);
      if (plan.problems.empty()) ++renamed;
    }
    out += u"\n";
    for (const std::u16string& problem : plan.problems) {
      out += u"    ! " + escapeForPlainOutput(problem) + u"\n";
    }
    if (!plan.problems.empty()) ++flagged;
  }
  out += toU16(static_cast<long long>(files.size())) + u" files: " +
         toU16(static_cast<long long>(renamed)) + u" to rename, " +
         toU16(static_cast<long long>(unchanged)) + u" unchanged, " +
         toU16(static_cast<long long>(flagged)) + u" flagged. Preview only: nothing was renamed.\n";
  return out;
}

bool anyProblem(const std::vector<RenamePlan>& plans) {
  for (const RenamePlan& plan : plans) {
    if (!plan.problems.empty()) return true;
  }
  return false;
}

}  // namespace sonavid::tools
