// The expected values of the fixtures made by real tools (tests/data/media/expected-*.tsv):
// one line per value, "file<TAB>code<TAB>value", TYPE being the type code.
#pragma once

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace sonavid::media::test {

inline const std::string kMediaDir = std::string(SONAVID_TEST_DATA) + "/media/";

struct Expected {
  int type = -1;
  std::map<std::string, std::string> values;
};

inline std::map<std::string, Expected> loadExpected(const std::string& tsvName) {
  std::map<std::string, Expected> files;
  std::ifstream in(kMediaDir + tsvName);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string file, code, value;
    std::getline(fields, file, '\t');
    std::getline(fields, code, '\t');
    std::getline(fields, value);
    if (code == "TYPE") {
      files[file].type = std::stoi(value);
    } else {
      files[file].values[code] = value;
    }
  }
  return files;
}

}  // namespace sonavid::media::test
