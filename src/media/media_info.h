// What the built-in reader found in one file: its type code and its values by field code.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "media/values/album_facts.h"
#include "media/values/stream_facts.h"

namespace sonavid::media {

class MediaInfo {
 public:
  int32_t type = 0;
  // Stream facts as numbers; texts of them are made on request.
  StreamFacts facts;
  // Album facts as the tags store them, in the precedence of the type's tags; texts of them
  // are made on request too.
  AlbumFacts album;

  // Sets the value of a field code (ASCII). A later set() of the same code replaces the
  // earlier value; codes keep the order they were first set in.
  void set(std::string_view code, std::u16string value) {
    settleDerived();
    size_t index = 0;
    if (findEntry(code, index)) {
      Entry& entry = entries_[index];
      entry.value = std::move(value);
      entry.shared = kOwnValue;
      return;
    }
    addEntry(code).value = std::move(value);
  }

  // Sets the value of a code that is not set yet, without looking for it: for the codes of one
  // tag, each set once, when holdsSuffix() said no code of the tag's kind is there.
  void setNew(std::string_view code, std::u16string value) {
    settleDerived();
    addEntry(code).value = std::move(value);
  }

  // Whether the value of a code ending in `suffix` is set (a group's names included).
  bool holdsSuffix(std::string_view suffix) const {
    bool held = false;
    for (const Entry& entry : entries_) {
      forEachName(entry, [&](std::string_view name) {
        held = held || (name.size() >= suffix.size() &&
                        sameCode(name.substr(name.size() - suffix.size()), suffix));
      });
      if (held) return true;
    }
    return false;
  }

  // Sets the value only when it is not empty and no non-empty value is there yet.
  void setIfEmpty(std::string_view code, std::u16string value) {
    if (value.empty()) return;
    const std::u16string* old = find(code);
    if (old == nullptr || old->empty()) set(code, std::move(value));
  }

  // Sets one value under `code` followed by each of `suffixes` (at most 32, kept by the caller
  // for the life of this object), as set() name by name would. The text is kept once and the
  // names not there yet are kept as one entry: a tag that several field codes stand for (a
  // title under "INAM", "INAM_v1", "INAM_v2" ...) costs one copy and one entry.
  template <size_t N>
  void setUnderNames(std::string_view code, const std::string_view (&suffixes)[N],
                     std::u16string value) {
    static_assert(N <= 32);
    settleDerived();
    const auto shared = static_cast<uint32_t>(shared_.size());
    shared_.push_back(std::move(value));
    // Usually none of the names is there yet: one entry for all of them.
    const bool anyThere = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& entry) {
      return std::string_view(entry.code).substr(0, code.size()) == code;
    });
    if (!anyThere) {
      addGroup(code, shared, suffixes, N, N == 32 ? UINT32_MAX : (uint32_t{1} << N) - 1);
      return;
    }
    uint32_t missing = 0;
    for (size_t i = 0; i < N; ++i) {
      std::string name(code);
      name += suffixes[i];
      size_t index = 0;
      if (findEntry(name, index)) {
        entries_[index].value.clear();
        entries_[index].shared = shared;
      } else {
        missing |= uint32_t{1} << i;
      }
    }
    if (missing != 0) {
      addGroup(code, shared, suffixes, N, missing);
    }
  }

  // For each of `codes` (at most 32), in order: among the names code + suffix that hold a
  // non-empty value, the one with the earliest of `suffixes` gives `code` that value too. The
  // text is kept once for both names, as with setUnderNames. One walk over the list finds
  // them all.
  void setFromFirstSuffixed(std::span<const std::string_view> codes,
                            std::span<const std::string_view> suffixes) {
    settleDerived();
    constexpr size_t kMaxCodes = 32;
    constexpr size_t kNone = SIZE_MAX;
    const size_t codeCount = std::min(codes.size(), kMaxCodes);
    size_t bestRank[kMaxCodes];
    size_t bestEntry[kMaxCodes];
    size_t plainEntry[kMaxCodes];
    std::fill_n(bestRank, codeCount, kNone);
    std::fill_n(plainEntry, codeCount, kNone);
    bool groups = false;
    const auto consider = [&](std::string_view name, size_t entry) {
      size_t underscore = 0;
      while (underscore < name.size() && name[underscore] != '_') ++underscore;
      const std::string_view base = name.substr(0, underscore);
      size_t rank = kNone;
      if (underscore < name.size()) {
        const std::string_view suffix = name.substr(underscore);
        for (size_t r = 0; r < suffixes.size() && rank == kNone; ++r) {
          if (sameCode(suffix, suffixes[r])) rank = r;
        }
        if (rank == kNone) return;
      }
      for (size_t c = 0; c < codeCount; ++c) {
        if (!sameCode(base, codes[c])) continue;
        if (rank == kNone) {
          plainEntry[c] = entry;
        } else if (rank < bestRank[c] && !valueOf(entries_[entry]).empty()) {
          bestRank[c] = rank;
          bestEntry[c] = entry;
        }
        return;
      }
    };
    for (size_t i = 0; i < entries_.size(); ++i) {
      groups = groups || entries_[i].suffixes != nullptr;
      forEachName(entries_[i], [&](std::string_view name) { consider(name, i); });
    }
    // The chosen texts become shared values first: the list does not change shape meanwhile.
    uint32_t shared[kMaxCodes];
    for (size_t c = 0; c < codeCount; ++c) {
      if (bestRank[c] == kNone) continue;
      Entry& source = entries_[bestEntry[c]];
      if (source.shared == kOwnValue) {
        source.shared = static_cast<uint32_t>(shared_.size());
        shared_.push_back(std::move(source.value));
        source.value.clear();
      }
      shared[c] = source.shared;
    }
    for (size_t c = 0; c < codeCount; ++c) {
      if (bestRank[c] == kNone) continue;
      size_t index = plainEntry[c];
      // A code kept in a group entry is found (and taken out of the group) by findEntry.
      if (groups && !findEntry(codes[c], index)) index = kNone;
      if (index == kNone) {
        addEntry(codes[c]).shared = shared[c];
      } else {
        entries_[index].value.clear();
        entries_[index].shared = shared[c];
      }
    }
  }

  // As setFromFirstSuffixed, but the values of `codes` are worked out when they are asked for
  // (by find or forEach, where they come after the values set before this call), not kept:
  // most hosts ask for one or two codes of a file. The arrays are kept by the caller for the
  // life of this object. When a code is already set, or group entries are there, or a value
  // is set later, the values are set as setFromFirstSuffixed sets them.
  void deriveFromFirstSuffixed(std::span<const std::string_view> codes,
                               std::span<const std::string_view> suffixes) {
    settleDerived();
    size_t longest = 0;
    for (const std::string_view code : codes) longest = std::max(longest, code.size());
    for (const Entry& entry : entries_) {
      bool kept = entry.suffixes != nullptr;
      for (size_t c = 0; !kept && entry.code.size() <= longest && c < codes.size(); ++c) {
        kept = sameCode(entry.code, codes[c]);
      }
      if (kept) {
        setFromFirstSuffixed(codes, suffixes);
        return;
      }
    }
    derivedCodes_ = codes;
    derivedSuffixes_ = suffixes;
  }

  // The value of a field code, or null when none was set.
  const std::u16string* find(std::string_view code) const {
    if (const std::u16string* value = findSet(code)) return value;
    for (const std::string_view derived : derivedCodes_) {
      if (sameCode(derived, code)) return derivedValue(code);
    }
    return nullptr;
  }

  // Every field code and its value, in order.
  template <typename Visit>
  void forEach(Visit&& visit) const {
    for (const Entry& entry : entries_) {
      forEachName(entry, [&](std::string_view name) { visit(name, valueOf(entry)); });
    }
    for (const std::string_view code : derivedCodes_) {
      if (const std::u16string* value = derivedValue(code)) visit(code, *value);
    }
  }

  // Room for `count` entries in all, so that values found before further set() calls of new
  // codes stay where they are.
  void reserve(size_t count) { entries_.reserve(count); }
  // No type and no values; the memory is kept for the next file.
  void clear() {
    type = 0;
    facts = StreamFacts{};
    album.clear();
    entries_.clear();
    shared_.clear();
    derivedCodes_ = {};
    derivedSuffixes_ = {};
  }
  // The number of field codes set.
  size_t size() const {
    size_t count = 0;
    forEach([&](std::string_view, const std::u16string&) { ++count; });
    return count;
  }

 private:
  static constexpr uint32_t kOwnValue = UINT32_MAX;

  // One field code and its value, or (with `suffixes`) the codes `code` + suffixes[i] for
  // each bit i of `nameBits`, all with one shared value.
  struct Entry {
    explicit Entry(std::string_view name) : code(name) {}

    std::string code;
    std::u16string value;  // the value, unless it is shared
    uint32_t shared = kOwnValue;
    const std::string_view* suffixes = nullptr;
    size_t suffixCount = 0;
    uint32_t nameBits = 0;

    bool names(std::string_view name) const {
      if (suffixes == nullptr) return sameCode(code, name);
      if (name.size() < code.size() || !sameCode(code, name.substr(0, code.size()))) return false;
      const std::string_view suffix = name.substr(code.size());
      for (size_t i = 0; i < suffixCount; ++i) {
        if ((nameBits & (uint32_t{1} << i)) != 0 && sameCode(suffixes[i], suffix)) return true;
      }
      return false;
    }
  };

  // The value of the derived code `code`: the first non-empty one of its suffixed names.
  const std::u16string* derivedValue(std::string_view code) const {
    char name[64];
    if (code.size() > sizeof name) return nullptr;
    std::copy(code.begin(), code.end(), name);
    for (const std::string_view suffix : derivedSuffixes_) {
      if (suffix.size() > sizeof name - code.size()) continue;
      std::copy(suffix.begin(), suffix.end(), name + code.size());
      const std::u16string* value = findSet(std::string_view(name, code.size() + suffix.size()));
      if (value != nullptr && !value->empty()) return value;
    }
    return nullptr;
  }

  // The value set under `code` (a derived code's is not), or null.
  const std::u16string* findSet(std::string_view code) const {
    for (const Entry& entry : entries_) {
      if (entry.names(code)) return &valueOf(entry);
    }
    return nullptr;
  }

  // Sets the derived codes' values as setFromFirstSuffixed does, before a change of the list.
  void settleDerived() {
    if (derivedCodes_.empty()) return;
    const auto codes = derivedCodes_;
    const auto suffixes = derivedSuffixes_;
    derivedCodes_ = {};
    derivedSuffixes_ = {};
    setFromFirstSuffixed(codes, suffixes);
  }

  // Calls `visit` with each field code an entry holds the value of: its code, or those of a
  // group, each made in a buffer of its own (codes and suffixes are a few letters each).
  template <typename Visit>
  static void forEachName(const Entry& entry, Visit&& visit) {
    if (entry.suffixes == nullptr) {
      visit(std::string_view(entry.code));
      return;
    }
    char name[64];
    const size_t codeSize = std::min(entry.code.size(), sizeof name);
    std::copy_n(entry.code.data(), codeSize, name);
    for (size_t i = 0; i < entry.suffixCount; ++i) {
      if ((entry.nameBits & (uint32_t{1} << i)) == 0) continue;
      const size_t suffixSize = std::min(entry.suffixes[i].size(), sizeof name - codeSize);
      std::copy_n(entry.suffixes[i].data(), suffixSize, name + codeSize);
      visit(std::string_view(name, codeSize + suffixSize));
    }
  }

  // A new entry for `code`, built in place in the list (an entry is large: a temporary one
  // would cost a move and a destruction).
  Entry& addEntry(std::string_view code) {
    return entries_.emplace_back(code);
  }

  void addGroup(std::string_view code, uint32_t shared, const std::string_view* suffixes,
                size_t suffixCount, uint32_t nameBits) {
    Entry& entry = addEntry(code);
    entry.shared = shared;
    entry.suffixes = suffixes;
    entry.suffixCount = suffixCount;
    entry.nameBits = nameBits;
  }

  const std::u16string& valueOf(const Entry& entry) const {
    return entry.shared == kOwnValue ? entry.value : shared_[entry.shared];
  }

  // Finds the entry of a single field code. A code kept in a group entry is first taken out of
  // it: the group is split into single entries at its place, so the order stays.
  bool findEntry(std::string_view code, size_t& index) {
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (!entries_[i].names(code)) continue;
      if (entries_[i].suffixes != nullptr) split(i);
      for (size_t j = i; j < entries_.size(); ++j) {
        if (sameCode(entries_[j].code, code)) {
          index = j;
          return true;
        }
      }
    }
    return false;
  }

  void split(size_t at) {
    const Entry group = entries_[at];
    std::vector<Entry> singles;
    for (size_t i = 0; i < group.suffixCount; ++i) {
      if ((group.nameBits & (uint32_t{1} << i)) == 0) continue;
      singles.emplace_back(group.code + std::string(group.suffixes[i])).shared = group.shared;
    }
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), singles.begin(),
                    singles.end());
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
  // Codes worked out on request (deriveFromFirstSuffixed), after the entries.
  std::span<const std::string_view> derivedCodes_;
  std::span<const std::string_view> derivedSuffixes_;
};

}  // namespace sonavid::media
