// Scripted stand-ins for the media reader and the substitution, for the engine's tests.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/media_reader.h"
#include "core/substitution.h"

namespace sonavid::testing {

struct FakeFile {
  int32_t type = 0;
  std::map<std::u16string, std::u16string> values;
};

// Knows the files it was given by path; a load of any other path fails. Records every load.
class FakeReader : public MediaReader {
 public:
  void addFile(std::u16string path, FakeFile file) { files_[std::move(path)] = std::move(file); }

  bool load(std::u16string_view path) override {
    loads.emplace_back(path);
    const auto found = files_.find(std::u16string(path));
    loaded_ = found == files_.end() ? FakeFile{} : found->second;
    return found != files_.end();
  }
  int32_t type() const override { return loaded_.type; }
  std::u16string value(std::u16string_view name) const override {
    asked.emplace_back(name);
    const auto found = loaded_.values.find(std::u16string(name));
    return found == loaded_.values.end() ? std::u16string() : found->second;
  }

  // Puts a file in place as if it had been loaded, without recording a load.
  void hold(FakeFile file) { loaded_ = std::move(file); }

  std::vector<std::u16string> loads;
  mutable std::vector<std::u16string> asked;

 private:
  std::map<std::u16string, FakeFile> files_;
  FakeFile loaded_;
};

// Answers (command, target) pairs from a script; anything else counts as no match.
class FakeSubstitution : public Substitution {
 public:
  void answer(std::u16string command, std::u16string target, SubstResult result) {
    script_[{std::move(command), std::move(target)}] = std::move(result);
  }
  SubstResult subst(std::u16string_view command, std::u16string_view target) override {
    calls.emplace_back(command, target);
    const auto found = script_.find({std::u16string(command), std::u16string(target)});
    return found == script_.end() ? SubstResult{} : found->second;
  }

  std::vector<std::pair<std::u16string, std::u16string>> calls;

 private:
  std::map<std::pair<std::u16string, std::u16string>, SubstResult> script_;
};

}  // namespace sonavid::testing
