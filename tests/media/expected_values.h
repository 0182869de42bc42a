// The expected values of the media fixtures (tests/data/media/expected-*.tsv): one line per
// value, "file<TAB>code<TAB>value", with tab, CR, LF and backslash escaped in the value; lines
// starting with '#' are comments.
#pragma once

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>

namespace sonavid::media::test {

inline std::string unescapeExpected(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out.push_back(text[i]);
      continue;
    }
    const char c = text[++i];
    out.push_back(c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c);
  }
  return out;
}

// file -> code -> value (UTF-8)
inline std::map<std::string, std::map<std::string, std::string>> loadExpectedValues(
    const std::string& path) {
  std::map<std::string, std::map<std::string, std::string>> expected;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t a = line.find('\t');
    const size_t b = line.find('\t', a + 1);
    if (a == std::string::npos || b == std::string::npos) continue;
    expected[line.substr(0, a)][line.substr(a + 1, b - a - 1)] =
        unescapeExpected(line.substr(b + 1));
  }
  return expected;
}

inline const std::string kMediaDir = std::string(SONAVID_TEST_DATA) + "/media/";

// A fixture's type code (its "TYPE" line) and its other values.
struct Expected {
  int type = -1;
  std::map<std::string, std::string> values;
};

// The expected values of one TSV in tests/data/media, by file.
inline std::map<std::string, Expected> loadExpected(const std::string& tsvName) {
  std::map<std::string, Expected> files;
  for (auto& [file, codes] : loadExpectedValues(kMediaDir + tsvName)) {
    Expected& expected = files[file];
    for (auto& [code, value] : codes) {
      if (code == "TYPE") {
        expected.type = std::stoi(value);
      } else {
        expected.values[code] = value;
      }
    }
  }
  return files;
}

inline std::string readFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace sonavid::media::test
