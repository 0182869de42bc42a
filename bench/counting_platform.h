// The system platform with every opened file wrapped in a counter of reads and bytes, so the
// benchmark can report how much of a file the reader touches without changing the reader.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "common/platform_posix.h"
#include "corpus.h"

namespace sonavid::bench {

struct ReadCounts {
  uint64_t files = 0;
  uint64_t calls = 0;
  uint64_t bytes = 0;
};

class CountingFile : public RandomAccessFile {
 public:
  CountingFile(std::unique_ptr<RandomAccessFile> file, ReadCounts& counts,
               std::vector<ReadCall>* log)
      : file_(std::move(file)), counts_(counts), log_(log) {}
  uint64_t size() const override { return file_->size(); }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    const size_t got = file_->readAt(offset, buffer, count);
    ++counts_.calls;
    counts_.bytes += got;
    if (log_ != nullptr) log_->push_back({offset, count});
    return got;
  }

 private:
  std::unique_ptr<RandomAccessFile> file_;
  ReadCounts& counts_;
  std::vector<ReadCall>* log_;
};

class CountingPlatform : public PosixPlatform {
 public:
  std::unique_ptr<RandomAccessFile> openForReading(std::u16string_view path) const override {
    auto file = PosixPlatform::openForReading(path);
    if (!file) return nullptr;
    ++counts.files;
    return std::make_unique<CountingFile>(std::move(file), counts, log);
  }

  mutable ReadCounts counts;
  std::vector<ReadCall>* log = nullptr;  // when set, every read call is noted in it
};

}  // namespace sonavid::bench
