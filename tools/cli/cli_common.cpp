#include "cli_common.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/platform_posix.h"
#include "common/text.h"
#include "engine/plugin_state.h"
#include "settings/settings_store.h"
#include "shared/plain_text.h"

namespace sonavid::cli {
namespace {

bool iconvKnows(const std::string& name) {
  for (const auto& [to, from] : {std::pair{"UTF-16LE", name.c_str()}, {name.c_str(), "UTF-16LE"}}) {
    const iconv_t probe = iconv_open(to, from);
    if (probe == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(probe);
  }
  return true;
}

bool isJapaneseLocale(std::string_view locale) {
  return locale == "ja" || locale.starts_with("ja_") || locale.starts_with("ja.");
}

}  // namespace

std::optional<std::string> iconvNameOfCodePage(std::string_view codePage) {
  if (codePage.empty()) return std::nullopt;
  std::string name(codePage);
  if (name.find_first_not_of("0123456789") == std::string::npos) {
    // Windows numbers its UTF-8 page 65001; iconv knows the others as "CP" and the number.
    name = name == "65001" ? "UTF-8" : "CP" + name;
  }
  if (!iconvKnows(name)) return std::nullopt;
  return name;
}

std::string codePageOfLocale(const char* lcAll, const char* lcCtype, const char* lang) {
  for (const char* value : {lcAll, lcCtype, lang}) {
    if (value != nullptr && *value != '\0') return isJapaneseLocale(value) ? "932" : "1252";
  }
  return "1252";
}

void useCodePage(const std::string& iconvName) {
  // Lives until the process ends: the platform seam keeps a plain pointer to it.
  static std::unique_ptr<PosixPlatform> installed;
  installed = std::make_unique<PosixPlatform>(iconvName);
  setPlatform(installed.get());
}

std::string fileReadProblem(const std::string& path) {
  // Non-blocking, so that a named pipe does not wait for a writer.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::strerror(errno);
  struct stat st {};
  const bool statted = fstat(fd, &st) == 0;
  const int statError = errno;
  close(fd);
  if (!statted) return std::strerror(statError);
  if (S_ISDIR(st.st_mode)) return "is a directory";
  if (!S_ISREG(st.st_mode)) return "is not a regular file";
  return "";
}

void reportFileProblem(const std::string& path, const std::string& problem) {
  std::fprintf(stderr, "sonavid: %s: %s\n", shownPath(path).c_str(), problem.c_str());
}

std::u16string pathArgument(const std::string& path) { return fileNameBytesToUtf16(path); }

std::string shownPath(const std::string& path) {
  return utf16ToUtf8(tools::escapeForPlainOutput(pathArgument(path)));
}

void printText(std::u16string_view text) {
  const std::string bytes = utf16ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void printEscaped(std::u16string_view text) { printText(tools::escapeForPlainOutput(text)); }

void loadHostSettings(const std::string& iniPath, const std::string& section) {
  if (iniPath.empty()) return;
  PluginState& state = pluginState();
  state.settings.hostIniPath = pathArgument(iniPath);
  state.settings.hostSection = utf8ToUtf16(section);
  state.settings.dataFilePath = dataFilePathFor(state.settings.hostIniPath);
  loadHostValues(state.settings);
  migrateAndLoadDataFile(state.settings);
}

}  // namespace sonavid::cli
