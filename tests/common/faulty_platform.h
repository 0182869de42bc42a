// The system platform with injected faults: reads that stop short of the file's end, and
// writes that fail as on a full disk.
#pragma once

#include <memory>

#include "common/platform_posix.h"

namespace sonavid::test {

class FaultyPlatform : public PosixPlatform {
 public:
  struct Faults {
    bool shortReads = false;
    bool failedWrites = false;
  };
  explicit FaultyPlatform(Faults faults) : PosixPlatform("CP932"), faults_(faults) {}

  std::unique_ptr<RandomAccessFile> openForReading(std::u16string_view path) const override {
    auto file = PosixPlatform::openForReading(path);
    if (!file || !faults_.shortReads) return file;
    return std::make_unique<HalfReads>(std::move(file));
  }
  bool replaceFile(std::u16string_view path, std::string_view bytes) const override {
    return !faults_.failedWrites && PosixPlatform::replaceFile(path, bytes);
  }

 private:
  // Every read gives at most half of what was asked for (at least one byte).
  class HalfReads : public RandomAccessFile {
   public:
    explicit HalfReads(std::unique_ptr<RandomAccessFile> file) : file_(std::move(file)) {}
    uint64_t size() const override { return file_->size(); }
    size_t readAt(uint64_t offset, void* buffer, size_t count) override {
      return file_->readAt(offset, buffer, count > 1 ? count / 2 : count);
    }

   private:
    std::unique_ptr<RandomAccessFile> file_;
  };

  Faults faults_;
};

}  // namespace sonavid::test
