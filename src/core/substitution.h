// The substitution seam: applies a Perl-style "s/pattern/replacement/flags" command to a text.
// Implementations: the built-in engine and an adapter to an installed regex library.
#pragma once

#include <string>
#include <string_view>

namespace sonavid {

struct SubstResult {
  // Number of substitutions made (more than 1 with the g flag); 0 when nothing matched;
  // negative when the command is not a valid substitution.
  int count = 0;
  // The whole text after substitution; meaningful only when count > 0.
  std::u16string output;
  // Why the command was refused when count is negative, in the regex library's words; empty
  // when the library gives no reason.
  std::u16string error{};
};

class Substitution {
 public:
  virtual ~Substitution() = default;
  virtual SubstResult subst(std::u16string_view command, std::u16string_view target) = 0;
};

}  // namespace sonavid
