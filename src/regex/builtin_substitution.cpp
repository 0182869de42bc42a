#include "regex/builtin_substitution.h"

#include <algorithm>
#include <new>

#include "regex/onig_pattern.h"
#include "regex/replacement.h"
#include "regex/subst_command.h"

namespace sonavid {

using regex::GroupSpan;
using regex::OnigPattern;
using regex::OnigSearcher;
using regex::SearchOutcome;

struct BuiltinSubstitution::Compiled {
  regex::SubstFlags flags;
  std::unique_ptr<OnigPattern> pattern;
  regex::Replacement replacement;
};

namespace {

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

BuiltinSubstitution::BuiltinSubstitution() = default;
BuiltinSubstitution::~BuiltinSubstitution() = default;

std::shared_ptr<const BuiltinSubstitution::Compiled> BuiltinSubstitution::compiled(
    std::u16string_view command, std::u16string& error) {
  const auto hit = std::find_if(cache_.begin(), cache_.end(),
                                [&](const auto& entry) { return entry.first == command; });
  if (hit != cache_.end()) {
    std::rotate(cache_.begin(), hit, hit + 1);
    return cache_.front().second;
  }

  std::optional<regex::SubstCommand> parsed = regex::parseSubstCommand(command);
  if (!parsed) {
    error = kNotASubstitutionError;
    return nullptr;
  }
  auto result = std::make_shared<Compiled>();
  result->flags = parsed->flags;
  result->pattern = OnigPattern::compile(parsed->pattern, parsed->flags, &error);
  if (!result->pattern) return nullptr;
  const OnigPattern& pattern = *result->pattern;
  result->replacement = regex::Replacement::parse(
      parsed->replacement, pattern.groupCount(),
      [&pattern](std::u16string_view name) { return pattern.groupNumberByName(name); });

  cache_.insert(cache_.begin(), {std::u16string(command), result});
  if (cache_.size() > kCompiledCommandCacheSize) cache_.pop_back();
  return result;
}

SubstResult BuiltinSubstitution::subst(std::u16string_view command, std::u16string_view target) {
  // Running out of memory leaves the text as it was, like any other failed substitution.
  try {
    return substitute(command, target);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

SubstResult BuiltinSubstitution::substitute(std::u16string_view command,
                                            std::u16string_view target) {
  if (command.size() > kMaxSubstCommandUnits) return {-1, {}, std::u16string(kCommandTooLongError)};
  std::u16string error;
  const std::shared_ptr<const Compiled> compiledCommand = compiled(command, error);
  if (!compiledCommand) return {-1, {}, std::move(error)};
  if (target.size() > kMaxSubstTargetUnits) return {};

  std::u16string cleaned;
  // The engine is never handed a null pointer, even for an empty text.
  std::u16string_view text = target.data() != nullptr ? target : std::u16string_view(u"", 0);
  if (regex::hasUnpairedSurrogate(target)) {
    cleaned = regex::withPairedSurrogates(target);
    text = cleaned;
  }

  OnigSearcher searcher(*compiledCommand->pattern, text);
  std::vector<GroupSpan> groups;
  std::u16string out;
  size_t copied = 0;  // text before this index is already in `out`
  size_t from = 0;    // where the next search starts
  int count = 0;
  for (;;) {
    const SearchOutcome outcome = searcher.search(from, groups);
    if (outcome == SearchOutcome::kNoMatch) break;
    if (outcome == SearchOutcome::kGaveUp) return {};
    const auto begin = static_cast<size_t>(groups[0].begin);
    const auto end = static_cast<size_t>(groups[0].end);
    if (begin < copied || end > text.size()) return {};

    if (begin - copied > kMaxSubstOutputUnits - std::min(out.size(), kMaxSubstOutputUnits)) {
      return {};
    }
    out.append(text.substr(copied, begin - copied));
    if (!compiledCommand->replacement.expand(text, groups, out, kMaxSubstOutputUnits)) {
      return {};
    }
    copied = end;
    ++count;
    if (!compiledCommand->flags.global) break;
    if (end > begin) {
      from = end;
      continue;
    }
    // After an empty match the next search starts one character on, never inside a pair.
    if (end >= text.size()) break;
    from = end +
           ((isHighSurrogate(text[end]) && end + 1 < text.size() && isLowSurrogate(text[end + 1]))
                ? 2
                : 1);
  }
  if (count == 0) return {};
  if (text.size() - copied > kMaxSubstOutputUnits - std::min(out.size(), kMaxSubstOutputUnits)) {
    return {};
  }
  out.append(text.substr(copied));
  return {count, std::move(out), {}};
}

}  // namespace sonavid
