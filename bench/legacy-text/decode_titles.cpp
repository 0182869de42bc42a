// decode_titles CODEPAGE: reads texts as hex digits, one a line, and writes each as the tag
// reader decodes a text without a declared encoding (UTF-8, one a line), with the ANSI code
// page set to CODEPAGE (an iconv name). Driven by accuracy.py.
#include <iostream>
#include <string>

#include "common/platform_posix.h"
#include "common/text.h"
#include "media/tags/byte_text.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: decode_titles CODEPAGE < hex-lines\n";
    return 2;
  }
  sonavid::PosixPlatform platform(argv[1]);
  sonavid::setPlatform(&platform);
  std::string line;
  while (std::getline(std::cin, line)) {
    std::string bytes;
    for (size_t i = 0; i + 1 < line.size(); i += 2) {
      bytes.push_back(static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16)));
    }
    std::cout << sonavid::utf16ToUtf8(sonavid::media::decodeByteText(bytes)) << '\n';
  }
  sonavid::setPlatform(nullptr);
  return 0;
}
