// What the built-in reader found in one file: its type code and its values by field code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sonavid::media {

class MediaInfo {
 public:
  int32_t type = 0;

  // Sets the value of a field code (ASCII). A later set() of the same code replaces the
  // earlier value; codes keep the order they were first set in.
  void set(std::string_view code, std::u16string value) {
    if (Entry* entry = findEntry(code)) {
      entry->value = std::move(value);
      entry->shared = kOwnValue;
      return;
    }
    entries_.push_back(Entry{std::string(code), std::move(value), kOwnValue});
  }

  // Sets the value only when it is not empty and no non-empty value is there yet.
  void setIfEmpty(std::string_view code, std::u16string value) {
    if (value.empty()) return;
    const std::u16string* old = find(code);
    if (old == nullptr || old->empty()) set(code, std::move(value));
  }

  // Sets one value under `code` followed by each of `suffixes`, as set() name by name would,
  // but keeps the text once: a tag that several field codes stand for (a title under "INAM",
  // "INAM_v1", "INAM_v2" ...) costs one copy.
  template <size_t N>
  void setUnderNames(std::string_view code, const std::string_view (&suffixes)[N],
                     const std::u16string& value) {
    bool present[N] = {};
    const auto shared = static_cast<uint32_t>(shared_.size());
    bool used = false;
    for (Entry& entry : entries_) {
      if (!entry.code.starts_with(code)) continue;
      const std::string_view suffix = std::string_view(entry.code).substr(code.size());
      for (size_t i = 0; i < N; ++i) {
        if (!present[i] && suffix == suffixes[i]) {
          entry.value.clear();
          entry.shared = shared;
          present[i] = used = true;
          break;
        }
      }
    }
    for (size_t i = 0; i < N; ++i) {
      if (present[i]) continue;
      std::string name(code);
      name += suffixes[i];
      entries_.push_back(Entry{std::move(name), std::u16string(), shared});
      used = true;
    }
    if (used) shared_.push_back(value);
  }

  // The value of a field code, or null when none was set.
  const std::u16string* find(std::string_view code) const {
    for (const Entry& entry : entries_) {
      if (sameCode(entry.code, code)) return &valueOf(entry);
    }
    return nullptr;
  }

  // Every field code and its value, in order.
  template <typename Visit>
  void forEach(Visit&& visit) const {
    for (const Entry& entry : entries_) visit(std::string_view(entry.code), valueOf(entry));
  }

  // Room for `count` field codes in all, so that values found before further set() calls stay
  // where they are.
  void reserve(size_t count) { entries_.reserve(count); }
  size_t size() const { return entries_.size(); }

 private:
  static constexpr uint32_t kOwnValue = UINT32_MAX;
  struct Entry {
    std::string code;
    std::u16string value;         // the value, unless it is shared
    uint32_t shared = kOwnValue;  // else the index of the shared value
  };

  const std::u16string& valueOf(const Entry& entry) const {
    return entry.shared == kOwnValue ? entry.value : shared_[entry.shared];
  }
  Entry* findEntry(std::string_view code) {
    for (Entry& entry : entries_) {
      if (sameCode(entry.code, code)) return &entry;
    }
    return nullptr;
  }
  // Field codes are a few letters: compared in place, which is quicker than a call to memcmp
  // for each of the values a lookup passes.
  static bool sameCode(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i] != b[i]) return false;
    }
    return true;
  }

  std::vector<Entry> entries_;
  std::vector<std::u16string> shared_;
};

}  // namespace sonavid::media
