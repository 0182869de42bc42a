// sonavid info [--json] [--all] FILE...
#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "cli_common.h"
#include "commands.h"
#include "common/text.h"
#include "core/common_fields.h"
#include "core/media_types.h"
#include "json_text.h"
#include "media/builtin_reader.h"

namespace sonavid::cli {
namespace {

constexpr std::array<OptionSpec, 2> kOptions = {{{"--json", false}, {"--all", false}}};

// The name of a type code in the media type table; empty for 0 and codes without a name.
std::u16string_view typeNameOf(int32_t code) {
  const int index = mediaTypeIndexOfCode(code);
  return index < 0 ? std::u16string_view() : mediaTypeName(index);
}

std::u16string typeText(int32_t code) {
  if (code == kTypeNone) return u"0 (no supported type)";
  const std::u16string_view name = typeNameOf(code);
  return toU16(code) + (name.empty() ? u"" : u" " + std::u16string(name));
}

// The field a code belongs to: "INAM" of "INAM_v1".
std::string_view baseField(std::string_view code) { return code.substr(0, code.find('_')); }

struct ValueLine {
  std::string field;  // the field the codes belong to
  std::string codes;  // one code, or the codes of one field that share the value
  std::u16string value;
};

// Every code the reader set and its value, then, for a file of a known type, each common field
// it did not set, as the reader answers it (worked out from the facts it kept, or empty).
template <typename Visit>
void forEachValue(const media::BuiltinReader& reader, Visit&& visit) {
  std::vector<std::string> seen;
  reader.info().forEach([&](std::string_view code, const std::u16string& value) {
    seen.emplace_back(code);
    visit(code, value);
  });
  if (reader.type() == kTypeNone) return;  // nothing read, nothing to work out
  for (const CommonField& field : kCommonFields) {
    const std::string code(field.code.begin(), field.code.end());
    if (std::find(seen.begin(), seen.end(), code) != seen.end()) continue;
    visit(std::string_view(code), reader.value(field.code));
  }
}

// Without `all`: empty values left out, and the codes of one field that give the same value
// (a tag read under "INAM", "INAM_v1", "INAM_v2" ...) on one line, in the order first seen.
std::vector<ValueLine> valueLines(const media::BuiltinReader& reader, bool all) {
  std::vector<ValueLine> lines;
  forEachValue(reader, [&](std::string_view code, const std::u16string& value) {
    if (all) {
      lines.push_back({{}, std::string(code), value});
      return;
    }
    if (value.empty()) return;
    for (ValueLine& line : lines) {
      if (line.value == value && line.field == baseField(code)) {
        line.codes += ' ';
        line.codes += code;
        return;
      }
    }
    lines.push_back({std::string(baseField(code)), std::string(code), value});
  });
  return lines;
}

void printPlain(const std::string& path, const media::BuiltinReader& reader,
                const std::string& problem, bool all, bool first) {
  if (!first) std::fputs("\n", stdout);
  std::printf("# %s\n", shownPath(path).c_str());
  if (!problem.empty()) {
    std::printf("ERROR\t%s\n", problem.c_str());
    return;
  }
  std::fputs("TYPE\t", stdout);
  printText(typeText(reader.type()) + u"\n");
  for (const ValueLine& line : valueLines(reader, all)) {
    std::printf("%s\t", line.codes.c_str());
    printEscaped(line.value);
    std::fputs("\n", stdout);
  }
}

// Complete: every code the reader set and every common field, empty values included.
void printJson(const std::string& path, const media::BuiltinReader& reader,
               const std::string& problem, bool first) {
  const std::u16string_view name = typeNameOf(reader.type());
  std::printf("%s{\"file\": %s, \"loaded\": %s, \"type\": %d, \"typeName\": %s", first ? "" : ",\n",
              jsonString(pathArgument(path)).c_str(), problem.empty() ? "true" : "false",
              static_cast<int>(reader.type()), name.empty() ? "null" : jsonString(name).c_str());
  if (!problem.empty()) std::printf(", \"error\": %s", jsonString(utf8ToUtf16(problem)).c_str());
  std::fputs(", \"values\": {", stdout);
  bool firstValue = true;
  forEachValue(reader, [&](std::string_view code, const std::u16string& value) {
    std::printf("%s%s: %s", firstValue ? "" : ", ",
                jsonString(std::u16string(code.begin(), code.end())).c_str(),
                jsonString(value).c_str());
    firstValue = false;
  });
  std::fputs("}}", stdout);
}

int runInfo(const Arguments& args) {
  if (args.operands.empty()) return usageError(kInfoCommand, "no files");
  const bool json = args.has("--json");
  int exitCode = kExitOk;
  if (json) std::fputs("[\n", stdout);
  for (size_t i = 0; i < args.operands.size(); ++i) {
    const std::string& path = args.operands[i];
    media::BuiltinReader reader;
    std::string problem = fileReadProblem(path);
    if (problem.empty() && !reader.load(pathArgument(path))) problem = "cannot be opened";
    if (!problem.empty()) {
      reportFileProblem(path, problem);
      exitCode = kExitFileFailed;
    }
    if (json) {
      printJson(path, reader, problem, i == 0);
    } else {
      printPlain(path, reader, problem, args.has("--all"), i == 0);
    }
  }
  if (json) std::fputs("\n]\n", stdout);
  return exitCode;
}

void printCommonFields() {
  std::fputs(
      "\n"
      "Fields every type gives where the file holds the fact (album facts from the tags, then\n"
      "facts of the first audio and video stream in one shape for every type):\n",
      stdout);
  for (const CommonField& field : kCommonFields) {
    std::u16string line = u"  " + std::u16string(field.code);
    line.resize(12, u' ');
    printText(line + std::u16string(field.description) + u"\n");
  }
  printText(
      u"\nTV recordings (TS) also give what the broadcast's own tables say of the program on air\n"
      u"when the recording starts:\n"
      u"  INAM      番組名\n"
      u"  ICMT      番組内容\n"
      u"  CHANNEL   放送局\n"
      u"  ICRD      放送日 (2026-12-07)\n"
      u"  START     開始時刻 (2100)\n"
      u"  IGNR      ジャンル\n");
}

}  // namespace

const Command kInfoCommand = {
    "info",
    "usage: sonavid info [--json] [--all] [--codepage CP] FILE...\n",
    "The type and the values the plug-in's built-in reader finds in each file.\n"
    "\n"
    "Plain output, per file: \"# FILE\", then \"TYPE\", the type code and its name, then one\n"
    "line per value: the field codes that give it (a tag read under several codes, such as\n"
    "INAM INAM_v1 INAM_v2, is one line), a tab and the value. Tabs, line breaks and other\n"
    "control characters in values are written as \\t, \\n, \\r and \\xNN. A file that cannot be\n"
    "read gets \"ERROR\" and the reason instead.\n"
    "\n"
    "  --all   every field code on a line of its own, empty values included\n"
    "  --json  a JSON array: per file its name, \"loaded\", \"type\", \"typeName\", \"error\"\n"
    "          when it could not be read, and every value (empty ones included, and every\n"
    "          field listed below)\n"
    "  --codepage CP  see \"sonavid --help\"\n"
    "\n"
    "Exit status: 0 every file was read, 1 some file could not be read, 2 wrong usage.\n",
    kOptions,
    runInfo,
    printCommonFields,
};

}  // namespace sonavid::cli
