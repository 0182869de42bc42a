// What the built-in reader found in one file: its type code and its values by field code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sonavid::media {

struct MediaInfo {
  int32_t type = 0;
  // Field code (ASCII) and value, in the order they were found. A later set() of the same
  // code replaces the earlier value.
  std::vector<std::pair<std::string, std::u16string>> values;

  void set(std::string_view code, std::u16string value) {
    for (auto& entry : values) {
      if (sameCode(entry.first, code)) {
        entry.second = std::move(value);
        return;
      }
    }
    values.emplace_back(std::string(code), std::move(value));
  }
  // Sets the value only when it is not empty and no non-empty value is there yet.
  void setIfEmpty(std::string_view code, std::u16string value) {
    if (value.empty()) return;
    const std::u16string* old = find(code);
    if (old == nullptr || old->empty()) set(code, std::move(value));
  }
  const std::u16string* find(std::string_view code) const {
    for (const auto& entry : values) {
      if (sameCode(entry.first, code)) return &entry.second;
    }
    return nullptr;
  }

 private:
  // Field codes are a few letters: compared in place, which is quicker than a call to memcmp
  // for each of the values a lookup passes.
  static bool sameCode(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i] != b[i]) return false;
    }
    return true;
  }
};

}  // namespace sonavid::media
