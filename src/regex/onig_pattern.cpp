#include "regex/onig_pattern.h"

#include <oniguruma.h>

#include <algorithm>
#include <bit>
#include <chrono>

#include "regex/perl_pattern.h"

namespace sonavid::regex {
namespace {

static_assert(std::endian::native == std::endian::little,
              "texts are handed to the engine as UTF-16LE bytes");

// A first search gets a share of the budget sized so that even one search per character of
// the text leaves most of it; a search that needs more retries with a limit this many times
// larger, drawn from what is left.
constexpr unsigned long kFirstShareDivisor = 4;
constexpr unsigned long kLimitGrowth = 8;

// Oniguruma keeps a few process-wide settings; they are made once, before the first pattern.
void ensureEngineReady() {
  static const bool ready = [] {
    OnigEncoding encodings[] = {ONIG_ENCODING_UTF16_LE};
    onig_initialize(encodings, 1);
    onig_set_parse_depth_limit(kParseDepthLimit);
    return true;
  }();
  (void)ready;
}

const OnigUChar* bytesOf(const char16_t* p) { return reinterpret_cast<const OnigUChar*>(p); }

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

using Clock = std::chrono::steady_clock;

}  // namespace

unsigned long retryBudgetFor(size_t textUnits) {
  const unsigned long perUnitShare =
      textUnits >= kRetryBudgetCeiling / kRetryBudgetPerUnit
          ? kRetryBudgetCeiling
          : static_cast<unsigned long>(textUnits) * kRetryBudgetPerUnit;
  return std::min(kRetryBudgetCeiling, kRetryBudgetBase + perUnitShare);
}

bool hasUnpairedSurrogate(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (isHighSurrogate(text[i])) {
      if (i + 1 >= text.size() || !isLowSurrogate(text[i + 1])) return true;
      ++i;
    } else if (isLowSurrogate(text[i])) {
      return true;
    }
  }
  return false;
}

std::u16string withPairedSurrogates(std::u16string_view text) {
  std::u16string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    if (isHighSurrogate(out[i])) {
      if (i + 1 < out.size() && isLowSurrogate(out[i + 1])) {
        ++i;
      } else {
        out[i] = 0xFFFD;
      }
    } else if (isLowSurrogate(out[i])) {
      out[i] = 0xFFFD;
    }
  }
  return out;
}

struct OnigPattern::Impl {
  OnigRegex regex = nullptr;
  ~Impl() {
    if (regex != nullptr) onig_free(regex);
  }
};

OnigPattern::OnigPattern(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
OnigPattern::~OnigPattern() = default;

std::unique_ptr<OnigPattern> OnigPattern::compile(std::u16string_view pattern,
                                                  const SubstFlags& flags, std::u16string* error) {
  ensureEngineReady();
  // Numbered groups keep their numbers when the pattern also has named ones.
  OnigOptionType options = ONIG_OPTION_CAPTURE_GROUP;
  if (flags.ignoreCase) options |= ONIG_OPTION_IGNORECASE;
  if (flags.extended) options |= ONIG_OPTION_EXTEND;
  // Oniguruma's "multiline" is the dot that matches a line feed.
  if (flags.dotAll) options |= ONIG_OPTION_MULTILINE;
  // The Perl syntax reads ^ and $ at the text's ends; this lifts that for every line.
  if (flags.multiLine) options |= ONIG_OPTION_NEGATE_SINGLELINE;

  const std::u16string text = adaptPerlPattern(withPairedSurrogates(pattern));
  auto impl = std::make_unique<Impl>();
  OnigErrorInfo errorInfo{};
  const int rc = onig_new(&impl->regex, bytesOf(text.data()), bytesOf(text.data() + text.size()),
                          options, ONIG_ENCODING_UTF16_LE, ONIG_SYNTAX_PERL_NG, &errorInfo);
  if (rc != ONIG_NORMAL) {
    impl->regex = nullptr;  // onig_new frees what it allocated when it fails
    if (error != nullptr) {
      // The message is ASCII: the engine writes the pattern's characters in it as escapes.
      OnigUChar message[ONIG_MAX_ERROR_MESSAGE_LEN] = {};
      const int length = onig_error_code_to_str(message, rc, &errorInfo);
      error->assign(message, message + std::clamp(length, 0, ONIG_MAX_ERROR_MESSAGE_LEN));
    }
    return nullptr;
  }
  return std::unique_ptr<OnigPattern>(new OnigPattern(std::move(impl)));
}

int OnigPattern::groupCount() const { return onig_number_of_captures(impl_->regex); }

int OnigPattern::groupNumberByName(std::u16string_view name) const {
  if (name.empty()) return -1;
  const std::u16string text = withPairedSurrogates(name);
  const int number = onig_name_to_backref_number(impl_->regex, bytesOf(text.data()),
                                                 bytesOf(text.data() + text.size()), nullptr);
  return number > 0 ? number : -1;
}

struct OnigSearcher::Impl {
  OnigRegex regex = nullptr;
  std::u16string_view text;
  OnigRegion* region = nullptr;
  OnigMatchParam* param = nullptr;
  unsigned long remaining = 0;
  unsigned long firstLimit = 1;
  Clock::time_point deadline;
  Clock::time_point lastCheck;  // start, or when a search last ran out of steps

  ~Impl() {
    if (region != nullptr) onig_region_free(region, 1);
    if (param != nullptr) onig_free_match_param(param);
  }
};

OnigSearcher::OnigSearcher(const OnigPattern& pattern, std::u16string_view text)
    : impl_(std::make_unique<Impl>()) {
  impl_->regex = pattern.impl_->regex;
  impl_->text = text;
  impl_->region = onig_region_new();
  impl_->param = onig_new_match_param();
  if (impl_->param != nullptr) {
    onig_initialize_match_param(impl_->param);
    onig_set_match_stack_limit_size_of_match_param(impl_->param, kMatchStackLimit);
  }
  const unsigned long budget = retryBudgetFor(text.size());
  impl_->remaining = budget;
  const unsigned long searchesAtMost = static_cast<unsigned long>(text.size()) + 1;
  impl_->firstLimit = std::max(1ul, budget / kFirstShareDivisor / std::max(1ul, searchesAtMost));
  impl_->lastCheck = Clock::now();
  impl_->deadline = impl_->lastCheck +
                    std::chrono::nanoseconds(static_cast<long long>(budget) * kNanosecondsPerRetry);
}

OnigSearcher::~OnigSearcher() = default;

SearchOutcome OnigSearcher::search(size_t start, std::vector<GroupSpan>& groups) {
  Impl& s = *impl_;
  if (s.region == nullptr || s.param == nullptr || start > s.text.size()) {
    return SearchOutcome::kGaveUp;
  }
  const OnigUChar* begin = bytesOf(s.text.data());
  const OnigUChar* end = bytesOf(s.text.data() + s.text.size());
  const OnigUChar* from = bytesOf(s.text.data() + start);

  unsigned long limit = s.firstLimit;
  for (;;) {
    limit = std::min(limit, s.remaining);
    // A limit of 0 would mean "no limit" to the engine.
    if (limit == 0) return SearchOutcome::kGaveUp;
    onig_set_retry_limit_in_match_of_match_param(s.param, limit);
    onig_set_retry_limit_in_search_of_match_param(s.param, limit);
    const int rc =
        onig_search_with_param(s.regex, begin, end, from, end, s.region, ONIG_OPTION_NONE, s.param);
    // Whatever the search used is at most its limit.
    s.remaining -= limit;
    if (rc == ONIG_MISMATCH) return SearchOutcome::kNoMatch;
    if (rc == ONIGERR_RETRY_LIMIT_IN_MATCH_OVER || rc == ONIGERR_RETRY_LIMIT_IN_SEARCH_OVER) {
      // The clock is read only here, so searches that stay within their share pay nothing.
      const Clock::time_point now = Clock::now();
      if (now >= s.deadline) return SearchOutcome::kGaveUp;
      unsigned long next = limit > s.remaining / kLimitGrowth ? s.remaining : limit * kLimitGrowth;
      // The next try gets no more steps than fit the time left at the pace of this one.
      const auto spent = std::max<long long>(1, (now - s.lastCheck).count());
      const auto left = (s.deadline - now).count();
      const double fitting = static_cast<double>(limit) * static_cast<double>(left) / spent;
      if (fitting < static_cast<double>(next)) next = static_cast<unsigned long>(fitting);
      s.lastCheck = now;
      // A try with no more steps than the last one cannot get further.
      if (next <= limit) return SearchOutcome::kGaveUp;
      limit = next;
      continue;
    }
    if (rc < 0) return SearchOutcome::kGaveUp;
    break;
  }

  groups.assign(static_cast<size_t>(std::max(s.region->num_regs, 1)), GroupSpan{});
  const auto units = static_cast<std::ptrdiff_t>(s.text.size());
  for (int i = 0; i < s.region->num_regs; ++i) {
    const std::ptrdiff_t b = s.region->beg[i];
    const std::ptrdiff_t e = s.region->end[i];
    if (b < 0 || e < b || b % 2 != 0 || e % 2 != 0 || e / 2 > units) continue;
    groups[static_cast<size_t>(i)] = GroupSpan{b / 2, e / 2};
  }
  // The whole match must be usable, or the caller could not go on.
  if (!groups[0].matched()) return SearchOutcome::kGaveUp;
  return SearchOutcome::kMatch;
}

}  // namespace sonavid::regex
