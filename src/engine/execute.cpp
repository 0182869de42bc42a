#include "engine/execute.h"

#include <array>

#include "engine/media_info_macro.h"
#include "engine/media_type_macro.h"

namespace sonavid {
namespace {

// Indexed by the request's macro index.
constexpr std::array<MacroFunction, 2> kMacroTable = {mediaTypeMacro, mediaInfoMacro};

// Loads the request's file on the first call for a new file number. The counter advances by
// one per load attempt (not to the file number), so under the host's numbering it always holds
// the number of the file last loaded. Returns false when a load was tried and failed.
bool loadOncePerFile(const MacroContext& context, const MacroRequest& request) {
  PluginState& state = context.state;
  if (request.callNumber != kFirstCallOnFile) return true;
  if (request.fileNumber == state.loadedFileNumber) return true;
  // Wraps around like the host's own 32-bit counter instead of overflowing.
  state.loadedFileNumber = static_cast<int32_t>(static_cast<uint32_t>(state.loadedFileNumber) + 1u);
  joinMediaPath(request.directory, request.fileName, state.mediaPath);
  return context.reader.load(state.mediaPath);
}

}  // namespace

void joinMediaPath(std::u16string_view directory, std::u16string_view fileName,
                   std::u16string& path) {
  path.assign(directory);
  if (path.empty() || (path.back() != u'\\' && path.back() != u'/')) path += u'\\';
  path += fileName;
}

const char16_t* executeMacro(const MacroContext& context, const MacroRequest* request) {
  if (request == nullptr) {
    context.state.loadedFileNumber = -1;
    return kEmptyText;
  }
  if (request->skipFlag != 0) return kEmptyText;
  if (!loadOncePerFile(context, *request)) return kEmptyText;
  // An index the plug-in does not offer yields nothing rather than a wild call.
  if (request->macroIndex < 0 || static_cast<size_t>(request->macroIndex) >= kMacroTable.size()) {
    return kEmptyText;
  }
  return kMacroTable[request->macroIndex](context, *request);
}

}  // namespace sonavid
