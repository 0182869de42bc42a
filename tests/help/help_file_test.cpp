// The help file's sources: its context map and window, its links, the field table against the
// catalogue, and every example it gives checked against what the plug-in really produces.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "engine/execute.h"
#include "plugin/engine_services.h"
#include "shared/expansion_run.h"
#include "engine/plugin_state.h"
#include "params/field_catalogue.h"
#include "regex/builtin_substitution.h"

namespace sonavid {
namespace {

namespace fs = std::filesystem;

const fs::path kHelp = fs::path(SONAVID_TEST_DATA) / ".." / ".." / "help";
const fs::path kTopics = kHelp / "html";
const fs::path kMedia = fs::path(SONAVID_TEST_DATA) / "media";

constexpr char kHelpTitle[] = "Zelkorプラグイン 音声/動画ファイル情報取得マクロヘルプ";

std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string unescapeHtml(std::string text) {
  static const std::pair<std::string, std::string> kEntities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, character] : kEntities) {
    for (size_t at = text.find(entity); at != std::string::npos;
         at = text.find(entity, at + character.size())) {
      text.replace(at, entity.size(), character);
    }
  }
  return text;
}

std::vector<std::smatch> allMatches(const std::string& text, const std::regex& pattern) {
  return {std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()};
}

std::vector<fs::path> topicFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kTopics)) {
    if (entry.path().extension() == ".html") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The lines of one [SECTION] of the project file, comments and blank lines left out.
std::vector<std::string> projectSection(const std::string& name) {
  std::istringstream in(readText(kHelp / "mac_Sonavid.hhp"));
  std::vector<std::string> lines;
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      inside = line == "[" + name + "]";
      continue;
    }
    if (inside) lines.push_back(line);
  }
  return lines;
}

std::string valueAfter(const std::string& line, char separator) {
  return line.substr(line.find(separator) + 1);
}

// ---- Project file --------------------------------------------------------------------------

TEST(HelpProject, EachDialogContextOpensItsTopic) {
  std::map<std::string, std::string> aliases;  // name -> topic
  for (const std::string& line : projectSection("ALIAS")) {
    aliases[line.substr(0, line.find('='))] = valueAfter(line, '=');
  }
  std::map<int, std::string> topicOfContext;
  const std::regex define(R"(#define\s+(\S+)\s+(\d+))");
  for (const std::string& line : projectSection("MAP")) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, define)) << line;
    ASSERT_TRUE(aliases.count(m[1])) << "no alias for " << m[1];
    topicOfContext[std::stoi(m[2])] = aliases[m[1]];
  }
  const std::map<int, std::string> expected = {
      {201, "setup.html"}, {301, "media_type.html"}, {302, "media_info.html"}};
  EXPECT_EQ(topicOfContext, expected);

  const std::vector<std::string> files = projectSection("FILES");
  for (const auto& [context, topic] : topicOfContext) {
    EXPECT_NE(std::find(files.begin(), files.end(), topic), files.end()) << topic;
  }
}

TEST(HelpProject, ViewerWindowCarriesTheExactTitleAndKeepsIt) {
  const std::vector<std::string> options = projectSection("OPTIONS");
  EXPECT_NE(std::find(options.begin(), options.end(), std::string("Title=") + kHelpTitle),
            options.end());
  EXPECT_NE(std::find(options.begin(), options.end(), "Default Window=main"), options.end());
  EXPECT_NE(std::find(options.begin(), options.end(), "Language=0x411 Japanese"), options.end());

  const std::vector<std::string> windows = projectSection("WINDOWS");
  ASSERT_EQ(windows.size(), 1u);
  ASSERT_EQ(windows[0].rfind("main=", 0), 0u);
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(valueAfter(windows[0], '='));
  while (std::getline(in, field, ',')) fields.push_back(field);
  ASSERT_GT(fields.size(), 9u);
  EXPECT_EQ(fields[0], std::string("\"") + kHelpTitle + "\"");
  // The navigation style must not let the viewer replace the title with the topic's title:
  // the plug-in finds and closes the window by this title.
  constexpr unsigned long kChangeTitle = 0x2000;
  EXPECT_EQ(std::stoul(fields[9], nullptr, 16) & kChangeTitle, 0u);
}

TEST(HelpProject, EveryTopicIsCompiledAndEveryListedFileExists) {
  std::set<std::string> listed;
  for (const std::string& name : projectSection("FILES")) {
    listed.insert(name);
    EXPECT_TRUE(fs::exists(kTopics / name)) << name;
  }
  for (const fs::path& topic : topicFiles()) {
    EXPECT_TRUE(listed.count(topic.filename().string())) << topic;
  }
  EXPECT_TRUE(listed.count("style.css"));
}

// ---- Links -------------------------------------------------------------------------------

std::set<std::string> anchorsOf(const fs::path& topic) {
  std::set<std::string> anchors;
  const std::regex anchor(R"re((?:name|id)="([^"]+)")re");
  const std::string text = readText(topic);
  for (const auto& m : allMatches(text, anchor)) anchors.insert(m[1]);
  return anchors;
}

// Checks "file" or "file#anchor" against the topics folder.
void expectTarget(const std::string& target, const fs::path& from) {
  const std::string file = target.substr(0, target.find('#'));
  ASSERT_FALSE(file.empty()) << "in-page link " << target << " in " << from
                             << " (the help compiler needs the file name)";
  ASSERT_TRUE(fs::exists(kTopics / file)) << target << " in " << from;
  if (target.find('#') != std::string::npos) {
    EXPECT_TRUE(anchorsOf(kTopics / file).count(valueAfter(target, '#')))
        << target << " in " << from;
  }
}

TEST(HelpLinks, TopicsContentsAndIndexPointAtExistingPlaces) {
  const std::regex link(R"re((?:href|src)="([^"]+)")re");
  for (const fs::path& topic : topicFiles()) {
    const std::string text = readText(topic);
    for (const auto& m : allMatches(text, link)) expectTarget(m[1], topic);
  }
  const std::regex local(R"re(<param name="Local" value="([^"]+)">)re");
  for (const char* sitemap : {"contents.hhc", "index.hhk"}) {
    const std::string text = readText(kHelp / sitemap);
    const auto entries = allMatches(text, local);
    EXPECT_GE(entries.size(), 4u) << sitemap;
    for (const auto& m : entries) expectTarget(m[1], kHelp / sitemap);
  }
}

// ---- The field table -------------------------------------------------------------------

TEST(HelpFieldTable, ListsEveryCatalogueCodeWithTheTypesThatOfferIt) {
  const std::string text = readText(kTopics / "media_info.html");
  const std::regex row(R"re(<tr data-code="([^"]+)">(.*?)</tr>)re");
  const std::regex cell(R"re(<td( class="offered")?>)re");

  std::vector<std::string> codes;
  for (const auto& m : allMatches(text, row)) {
    const std::string code = m[1];
    codes.push_back(code);
    const std::string cells = m[2];
    const auto cellMatches = allMatches(cells, cell);
    // code, caption, one per type, contents
    ASSERT_EQ(cellMatches.size(), static_cast<size_t>(kMediaTypeCount) + 3) << code;
    for (int selector = 1; selector < kTypeSelectorCount; ++selector) {
      const auto list = fixedFieldList(selector);
      const bool offered = std::any_of(list.begin(), list.end(), [&](std::u16string_view entry) {
        return codeOfEntry(entry) == utf8ToUtf16(code);
      });
      EXPECT_EQ(cellMatches[static_cast<size_t>(selector) + 1][1].matched, offered)
          << code << " for selector " << selector;
    }
  }

  std::vector<std::string> catalogue;
  for (std::u16string_view entry : fixedFieldList(0)) {
    catalogue.push_back(utf16ToUtf8(codeOfEntry(entry)));
  }
  EXPECT_EQ(codes, catalogue);
}

// ---- Examples ------------------------------------------------------------------------------

TEST(HelpExamples, EveryExpressionGivesTheResultTheHelpPromises) {
  const std::regex example(
      R"re(<code class="example-expr" data-input="([^"]*)" data-output="([^"]*)">([^<]*)</code>)re");
  BuiltinSubstitution substitution;
  int checked = 0;
  for (const fs::path& topic : topicFiles()) {
    const std::string text = readText(topic);
    for (const auto& m : allMatches(text, example)) {
      const std::u16string input = utf8ToUtf16(unescapeHtml(m[1]));
      const std::u16string expression = utf8ToUtf16(unescapeHtml(m[3]));
      const SubstResult result = substitution.subst(expression, input);
      EXPECT_GT(result.count, 0) << m[3] << " on " << m[1];
      EXPECT_EQ(utf16ToUtf8(result.output), unescapeHtml(m[2])) << m[3] << " on " << m[1];
      ++checked;
    }
  }
  EXPECT_GE(checked, 10);
}

// Value texts that the help quotes, with a fixture that yields each through the macros.
struct QuotedValue {
  const char* topic;
  const char* file;
  int macroIndex;
  const char16_t* parameter;
  const char* text;
};

constexpr QuotedValue kQuotedValues[] = {
    {"overview.html", "mp3-cbr-info.mp3", kMediaInfoMacro, u"", "0'05 (5sec)"},
    {"overview.html", "avi-xvid-mp3.avi", kMediaInfoMacro, u"", "00'00'03 (3sec)"},
    {"overview.html", "mp3-cbr-info.mp3", kMediaInfoMacro, u",AFMT",
     "MPEG1.0 Layer3 48Kbps 32000Hz J-Stereo 140frames"},
    {"overview.html", "avi-xvid-mp3.avi", kMediaInfoMacro, u",AFMT",
     "MPEG1-Layer3, 22050Hz, Stereo, 32Kbps"},
    {"setup.html", "avi-xvid-mp3.avi", kMediaInfoMacro, u"AVI,TIME", "00'00'03 (3sec)"},
    {"setup.html", "mp3-vbr-xing.mp3", kMediaInfoMacro, u",AFMT",
     "MPEG1.0 Layer3 86Kbps(VBR) 32000Hz Stereo 140frames"},
    {"setup.html", "wav-pcm16-mono.wav", kMediaInfoMacro, u",AFMT",
     "Microsoft PCM, 16bit, 8000Hz, 1ch, 128Kbps"},
    {"setup.html", "cbr.ogg", kMediaInfoMacro, u",AFMT", "Ogg Vorbis, 44100Hz, 59Kbps, 2ch"},
    {"setup.html", "clip.mp4", kMediaInfoMacro, u",AFMT",
     "MPEG-4 AAC LC, 2.000 secs, 47 kbps, 44100 Hz"},
    {"setup.html", "fragmented.mp4", kMediaInfoMacro, u"MP4,AFMT", ""},
    {"setup.html", "avi-xvid-mp3.avi", kMediaInfoMacro, u",VFMT",
     "XviD MPEG4, 160x120, 10.000fps, 31Frames"},
    {"setup.html", "clip.mp4", kMediaInfoMacro, u",VFMT",
     "H264 Main@3.1, 2.002 secs, 51 kbps, 160x120 @ 29.970030 fps"},
    {"setup.html", "tone.wma", kMediaInfoMacro, u",VFMT", "N/A"},
    {"media_info.html", "wav-mp3.wav", kMediaInfoMacro, u",AFMT",
     "MPEG1-Layer3, 22050Hz, 2ch, 32Kbps"},
    {"media_info.html", "avi-mjpeg-pcm.avi", kMediaInfoMacro, u",AFMT",
     "Microsoft PCM, 16bit, 8000Hz, Mono, 128Kbps"},
    {"media_info.html", "tone-v2.vqf", kMediaInfoMacro, u",AFMT",
     "TwinVQ v2, 44kHz, 96kbps, Stereo"},
    {"media_info.html", "tone.wma", kMediaInfoMacro, u",AFMT", "Windows Media Audio V8"},
    {"media_info.html", "tone.opus", kMediaInfoMacro, u",AFMT",
     "Ogg Opus, 48000Hz, 43Kbps(VBR), 2ch"},
    {"media_info.html", "tone.ape", kMediaInfoMacro, u",AFMT",
     "Monkey's Audio v3.99, 16bit, 44100Hz, 2ch"},
    {"media_info.html", "mono-alac.m4a", kMediaInfoMacro, u",AFMT",
     "ALAC, 4.000 secs, 135 kbps, 44100 Hz"},
    {"media_info.html", "avi-audio-only.avi", kMediaInfoMacro, u",VFMT", "None"},
    {"media_info.html", "clip.wmv", kMediaInfoMacro, u",VFMT", "wmv2"},
    {"media_info.html", "cbr.ogg", kMediaInfoMacro, u"", "00'02 (2sec)"},
    {"media_info.html", "avi-xvid-mp3.avi", kMediaInfoMacro, u",AVIV", "AVI 1.0 (VfW)"},
    {"media_type.html", "clip.wmv", kMediaTypeMacro, u"", "WMV"},
    {"media_type.html", "tone.wma", kMediaTypeMacro, u"1", "wma"},
    {"media_type.html", "flac-tagged.flac", kMediaTypeMacro, u"", "FLAC"},
    {"media_type.html", "h264-aac.mkv", kMediaTypeMacro, u"", "MKV"},
    {"media_type.html", "album.mka", kMediaTypeMacro, u"", "MKA"},
    {"media_type.html", "vp9-opus.webm", kMediaTypeMacro, u"1", "webm"},
    {"media_info.html", "flac-24bit-96k.flac", kMediaInfoMacro, u",AFMT",
     "FLAC, 24bit, 96000Hz, 1ch, 14Kbps"},
    {"media_info.html", "aiff-16bit.aiff", kMediaInfoMacro, u",AFMT",
     "AIFF PCM, 16bit, 8000Hz, 1ch, 128Kbps"},
    {"media_info.html", "aifc-sowt.aifc", kMediaInfoMacro, u",AFMT",
     "AIFF-C sowt, 16bit, 8000Hz, 1ch, 128Kbps"},
    {"media_info.html", "wv-lossless.wv", kMediaInfoMacro, u",AFMT",
     "WavPack lossless, 16bit, 44100Hz, 2ch, 12Kbps"},
    {"media_info.html", "wv-hybrid.wv", kMediaInfoMacro, u",AFMT",
     "WavPack hybrid, 16bit, 22050Hz, 1ch, 6Kbps"},
    {"media_info.html", "wv-float.wv", kMediaInfoMacro, u",AFMT",
     "WavPack lossless, 32bit float, 37800Hz, 1ch, 56Kbps"},
    {"media_info.html", "dsf-dsd64.dsf", kMediaInfoMacro, u",AFMT",
     "DSD64, 1bit, 2822400Hz, 2ch, 5644Kbps"},
    {"media_info.html", "dsf-dsd128.dsf", kMediaInfoMacro, u",AFMT",
     "DSD128, 1bit, 5644800Hz, 1ch, 5644Kbps"},
    {"media_info.html", "h264-aac.mkv", kMediaInfoMacro, u",AFMT", "AAC, 48000Hz, 2ch"},
    {"media_info.html", "pcm24.mka", kMediaInfoMacro, u",AFMT", "PCM, 8000Hz, 1ch, 24bit"},
    {"media_info.html", "h264-aac.mkv", kMediaInfoMacro, u",VFMT", "H264, 64x48, 25.000fps"},
    {"media_info.html", "hevc-ac3.mkv", kMediaInfoMacro, u",VFMT", "HEVC, 64x48, 29.970fps"},
    {"media_info.html", "album.mka", kMediaInfoMacro, u"MKV,VFMT", ""},
    {"setup.html", "flac-24bit-96k.flac", kMediaInfoMacro, u",AFMT",
     "FLAC, 24bit, 96000Hz, 1ch, 14Kbps"},
    {"setup.html", "dsf-dsd64.dsf", kMediaInfoMacro, u",AFMT",
     "DSD64, 1bit, 2822400Hz, 2ch, 5644Kbps"},
    {"setup.html", "h264-aac.mkv", kMediaInfoMacro, u",VFMT", "H264, 64x48, 25.000fps"},
    {"media_type.html", "h264-aac.ts", kMediaTypeMacro, u"", "TS"},
    {"media_type.html", "ac3-51.m2ts", kMediaTypeMacro, u"", "M2TS"},
    {"media_type.html", "vcd.mpg", kMediaTypeMacro, u"", "MPG"},
    {"media_type.html", "dvd.vob", kMediaTypeMacro, u"1", "vob"},
    {"media_type.html", "plain.aac", kMediaTypeMacro, u"", "AAC"},
    {"media_info.html", "h264-aac.ts", kMediaInfoMacro, u",AFMT", "AAC, 48000Hz, 2ch"},
    {"media_info.html", "ac3-51.m2ts", kMediaInfoMacro, u",AFMT", "AC-3, 48000Hz, 6ch"},
    {"media_info.html", "vcd.mpg", kMediaInfoMacro, u",AFMT", "MP2, 44100Hz, 2ch"},
    {"media_info.html", "lpcm.vob", kMediaInfoMacro, u",AFMT", "LPCM, 48000Hz, 2ch, 16bit"},
    {"media_info.html", "plain.aac", kMediaInfoMacro, u",AFMT", "AAC LC, 44100Hz, 2ch, 129Kbps"},
    {"media_info.html", "h264-aac.ts", kMediaInfoMacro, u",VFMT", "H264, 176x100, 29.970fps"},
    {"media_info.html", "dvd.vob", kMediaInfoMacro, u",VFMT", "MPEG-2, 352x240, 29.970fps"},
};

TEST(HelpExamples, QuotedValuesAreWhatTheMacrosGiveForRealFiles) {
  resetPluginState();
  for (const QuotedValue& quoted : kQuotedValues) {
    const auto rows = expandRun({{quoted.macroIndex, quoted.parameter}},
                                {splitLocalPath(utf8ToUtf16((kMedia / quoted.file).string()))},
                                [](const MacroRequest* request) { return executeMacro(request); });
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(utf16ToUtf8(rows[0][0]), quoted.text) << quoted.file;
    if (*quoted.text != '\0') {
      EXPECT_NE(readText(kTopics / quoted.topic).find(std::string("<code>") + quoted.text),
                std::string::npos)
          << quoted.text << " is not quoted in " << quoted.topic;
    }
  }
  resetPluginState();
}

}  // namespace
}  // namespace sonavid
