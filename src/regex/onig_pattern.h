// Oniguruma behind a small interface: a compiled pattern over UTF-16 text and a searcher that
// keeps every search of one substitution within a fixed amount of backtracking and memory.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regex/replacement.h"
#include "regex/subst_command.h"

namespace sonavid::regex {

// Backtracking steps that all searches of one substitution may take together: a fixed share
// and a share per character of the text, up to a ceiling. Ordinary patterns on value-sized
// texts take a few hundred; a runaway pattern on a value stops after some milliseconds instead
// of stalling a rename of thousands of files. The ceiling is reached at about 75,000 characters.
inline constexpr unsigned long kRetryBudgetBase = 200'000;
inline constexpr unsigned long kRetryBudgetPerUnit = 64;
inline constexpr unsigned long kRetryBudgetCeiling = 5'000'000;
// Time one substitution may take, per step of its budget. A step costs some tens of
// nanoseconds in most patterns, but far more in some (a repeated group that can match empty
// checks its captures on every round), so time caps what a budget alone would not: 20 ms for a
// value-sized text.
inline constexpr unsigned long kNanosecondsPerRetry = 100;

unsigned long retryBudgetFor(size_t textUnits);
// Entries of the backtracking stack one search may hold (tens of bytes each).
inline constexpr unsigned int kMatchStackLimit = 1u << 20;
// Depth of the pattern reader's recursion (a group takes two levels, so about 99 nested
// groups); it must fit a host thread's stack of 1 MiB with room to spare.
inline constexpr unsigned int kParseDepthLimit = 200;

class OnigPattern {
 public:
  // Returns null when Oniguruma refuses the pattern, with its message in `error` when given.
  // Flags other than g set the options: without m, "^" is the start of the text and "$" its
  // end or before a final line feed.
  static std::unique_ptr<OnigPattern> compile(std::u16string_view pattern, const SubstFlags& flags,
                                              std::u16string* error = nullptr);
  ~OnigPattern();
  OnigPattern(const OnigPattern&) = delete;
  OnigPattern& operator=(const OnigPattern&) = delete;

  int groupCount() const;
  // Number of the named group (the last one when the name is used twice); -1 when none.
  int groupNumberByName(std::u16string_view name) const;

 private:
  friend class OnigSearcher;
  struct Impl;
  explicit OnigPattern(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

enum class SearchOutcome {
  kMatch,
  kNoMatch,
  kGaveUp,  // a limit was reached or the engine failed: no answer can be given
};

// Runs the searches of one substitution over one text. Not shareable between threads.
class OnigSearcher {
 public:
  // `text` must outlive the searcher and must not contain unpaired surrogates.
  OnigSearcher(const OnigPattern& pattern, std::u16string_view text);
  ~OnigSearcher();
  OnigSearcher(const OnigSearcher&) = delete;
  OnigSearcher& operator=(const OnigSearcher&) = delete;

  // Finds the first match that starts at or after `start` (a UTF-16 index). On a match,
  // `groups` holds the whole match and every group (groupCount() + 1 entries).
  SearchOutcome search(size_t start, std::vector<GroupSpan>& groups);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Replaces every unpaired surrogate with U+FFFD, so the engine never reads half a pair.
std::u16string withPairedSurrogates(std::u16string_view text);
bool hasUnpairedSurrogate(std::u16string_view text);

}  // namespace sonavid::regex
