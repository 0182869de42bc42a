#include "engine/engine_services.h"

#include "host/plugin_state.h"
#include "media/builtin_reader.h"

#if __has_include("regex/builtin_substitution.h")
#include "regex/builtin_substitution.h"
#define SONAVID_HAS_BUILTIN_SUBSTITUTION 1
#endif

namespace sonavid {
namespace {

#ifndef SONAVID_HAS_BUILTIN_SUBSTITUTION
// Stand-in until the built-in engine is linked: every command counts as invalid, so values
// stay unchanged.
class NoSubstitution : public Substitution {
 public:
  SubstResult subst(std::u16string_view, std::u16string_view) override { return {-1, {}}; }
};
#endif

}  // namespace

MediaReader& activeReader() {
  PluginState& state = pluginState();
  if (state.reader) return *state.reader;
  static media::BuiltinReader builtin;
  return builtin;
}

Substitution& activeSubstitution() {
  PluginState& state = pluginState();
  if (state.substitution) return *state.substitution;
#ifdef SONAVID_HAS_BUILTIN_SUBSTITUTION
  static BuiltinSubstitution builtin;
#else
  static NoSubstitution builtin;
#endif
  return builtin;
}

}  // namespace sonavid
