// The built-in substitution engine: Perl-style "s/pattern/replacement/flags" commands run on
// Oniguruma. The macro and the setup dialog's test button both go through it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/substitution.h"

namespace sonavid {

// A longer command is refused (count -1).
inline constexpr size_t kMaxSubstCommandUnits = 64 * 1024;
// A longer target is left alone (count 0).
inline constexpr size_t kMaxSubstTargetUnits = 1024 * 1024;
// A substitution whose output would be longer is abandoned (count 0).
inline constexpr size_t kMaxSubstOutputUnits = 4 * 1024 * 1024;
// Compiled commands kept for reuse: the same user item runs for every file of a rename.
inline constexpr size_t kCompiledCommandCacheSize = 16;

// Reasons for refusing a command before the pattern reaches the engine.
inline constexpr std::u16string_view kNotASubstitutionError =
    u"s/パターン/置換文字列/ の形になっていません";
inline constexpr std::u16string_view kCommandTooLongError = u"置換コマンドが長すぎます";

// Results: the number of substitutions made (more than one only with g); 0 when nothing
// matched, when the target is too long, or when the search was given up because the pattern
// took too many steps or the output grew too large; -1 for a command that is not a
// substitution or a pattern the engine refuses, with the reason in `error` (Oniguruma's
// message for a pattern it refuses). An empty pattern matches at the start.
// Unpaired surrogates in the target are read, and returned, as U+FFFD.
//
// One instance must not be used by two threads at once (the cache is not locked).
class BuiltinSubstitution : public Substitution {
 public:
  BuiltinSubstitution();
  ~BuiltinSubstitution() override;

  SubstResult subst(std::u16string_view command, std::u16string_view target) override;

 private:
  struct Compiled;
  SubstResult substitute(std::u16string_view command, std::u16string_view target);
  // Null when the command cannot run; `error` then says why.
  std::shared_ptr<const Compiled> compiled(std::u16string_view command, std::u16string& error);

  // Most recently used first.
  std::vector<std::pair<std::u16string, std::shared_ptr<const Compiled>>> cache_;
};

}  // namespace sonavid
