// sonavid info [--json] [--codepage NAME] FILE...
#include <cstdio>
#include <string>
#include <vector>

#include "cli_common.h"
#include "commands.h"
#include "common/text.h"
#include "json_text.h"
#include "media/builtin_reader.h"

namespace sonavid::cli {
namespace {

void printPlain(const std::string& path, const media::MediaInfo& info, bool first) {
  if (!first) std::fputs("\n", stdout);
  std::printf("# %s\nTYPE\t%d\n", path.c_str(), static_cast<int>(info.type));
  info.forEach([](std::string_view code, const std::u16string& value) {
    std::printf("%.*s\t", static_cast<int>(code.size()), code.data());
    printText(value);
    std::fputs("\n", stdout);
  });
}

void printJson(const std::string& path, const media::MediaInfo& info, bool loaded, bool first) {
  std::printf("%s{\"file\": %s, \"loaded\": %s, \"type\": %d, \"values\": {", first ? "" : ",\n",
              jsonString(utf8ToUtf16(path)).c_str(), loaded ? "true" : "false",
              static_cast<int>(info.type));
  bool firstValue = true;
  info.forEach([&](std::string_view code, const std::u16string& value) {
    std::printf("%s%s: %s", firstValue ? "" : ", ",
                jsonString(std::u16string(code.begin(), code.end())).c_str(),
                jsonString(value).c_str());
    firstValue = false;
  });
  std::fputs("}}", stdout);
}

}  // namespace

int runInfo(const std::vector<std::string>& args) {
  bool json = false;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--json") {
      json = true;
    } else if (arg == "--codepage") {
      if (++i == args.size()) return usageError("--codepage needs a name");
      if (!useCodePage(args[i])) return usageError("unknown code page: " + args[i]);
    } else if (arg == "--") {
      files.insert(files.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    } else if (arg.starts_with("--")) {
      return usageError("unknown option: " + arg);
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) return usageError("no files");

  int exitCode = kExitOk;
  if (json) std::fputs("[\n", stdout);
  for (size_t i = 0; i < files.size(); ++i) {
    media::BuiltinReader reader;
    const bool loaded = reader.load(utf8ToUtf16(files[i]));
    if (!loaded) {
      std::fprintf(stderr, "sonavid: cannot open %s\n", files[i].c_str());
      exitCode = kExitFileFailed;
    }
    if (json) {
      printJson(files[i], reader.info(), loaded, i == 0);
    } else {
      printPlain(files[i], reader.info(), i == 0);
    }
  }
  if (json) std::fputs("\n]\n", stdout);
  return exitCode;
}

}  // namespace sonavid::cli
