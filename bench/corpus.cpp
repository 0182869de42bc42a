#include "corpus.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "common/text.h"

namespace sonavid::bench {

std::vector<CorpusFile> loadCorpus(const std::string& root) {
  namespace fs = std::filesystem;
  std::vector<CorpusFile> corpus;
  for (const FormatFolder& entry : kFormatFolders) {
    const fs::path folder = fs::path(root) / entry.folder;
    std::error_code error;
    std::vector<fs::path> paths;
    for (const auto& item : fs::directory_iterator(folder, error)) {
      if (item.is_regular_file()) paths.push_back(item.path());
    }
    std::sort(paths.begin(), paths.end());
    for (const fs::path& path : paths) {
      CorpusFile file;
      file.format = entry.format;
      file.path = path.string();
      file.folder = utf8ToUtf16(folder.string() + "/");
      file.name = utf8ToUtf16(path.filename().string());
      file.fullPath = utf8ToUtf16(file.path);
      // Corpus paths are ASCII; MediaInfoLib takes wide strings.
      file.widePath.assign(file.path.begin(), file.path.end());
      file.size = fs::file_size(path, error);
      corpus.push_back(std::move(file));
    }
  }
  return corpus;
}

FileList filesOf(const std::vector<CorpusFile>& corpus, const std::string& format) {
  FileList files;
  for (const CorpusFile& file : corpus) {
    if (format == "all" || file.format == format) files.push_back(&file);
  }
  return files;
}

void warmCache(const std::vector<CorpusFile>& corpus) {
  std::vector<char> buffer(1 << 20);
  for (const CorpusFile& file : corpus) {
    const int fd = open(file.path.c_str(), O_RDONLY);
    if (fd < 0) continue;
    while (read(fd, buffer.data(), buffer.size()) > 0) {
    }
    close(fd);
  }
}

}  // namespace sonavid::bench
