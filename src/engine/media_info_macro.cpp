#include "engine/media_info_macro.h"

#include <array>

#include "engine/value_formatting.h"

namespace sonavid {
namespace {

constexpr std::u16string_view kTimeField = u"TIME";
constexpr std::u16string_view kAudioFormatField = u"AFMT";
constexpr std::u16string_view kCommentPrefix = u"ICMT";

// Prefixes of user item names: the base field, then "_" and the user's suffix.
constexpr std::array<std::u16string_view, 3> kItemPrefixes = {u"TIME_", u"AFMT_", u"VFMT_"};
constexpr size_t kItemPrefixLength = 5;
constexpr size_t kBaseFieldLength = 4;

// Texts per user item in an item list: name, description, expression.
constexpr size_t kItemStride = 3;
constexpr size_t kItemExpressionOffset = 2;

bool isItemName(std::u16string_view fieldCode) {
  const std::u16string_view prefix = fieldCode.substr(0, kItemPrefixLength);
  for (std::u16string_view itemPrefix : kItemPrefixes) {
    if (prefix == itemPrefix) return true;
  }
  return false;
}

}  // namespace

MediaInfoParams parseMediaInfoParams(std::u16string_view text) {
  MediaInfoParams params;
  if (text.empty()) return params;
  std::u16string_view typeName = text;
  const size_t comma = text.find(u',');
  if (comma != std::u16string_view::npos) {
    typeName = text.substr(0, comma);
    params.fieldCode = text.substr(comma + 1);
  }
  params.typeIndex = mediaTypeIndexOfName(typeName);
  return params;
}

std::u16string_view findItemExpression(const ItemList& items, std::u16string_view itemName) {
  std::u16string_view expression;
  // A hand-edited list may end in an incomplete item; it is ignored.
  for (size_t first = 0; items.size() - first >= kItemStride; first += kItemStride) {
    if (items[first] == itemName) expression = items[first + kItemExpressionOffset];
  }
  return expression;
}

const char16_t* mediaInfoMacro(const MacroContext& context, const MacroRequest& request) {
  PluginState& state = context.state;
  std::u16string& result = state.macroResult;
  const MediaInfoParams params = parseMediaInfoParams(request.parameterText);

  const int32_t code = context.reader.type();
  const bool typeMatches = params.typeIndex < 0 ? mediaTypeIndexOfCode(code) >= 0
                                                : code == kMediaTypes[params.typeIndex].code;
  if (!typeMatches) {
    result.clear();
    return kEmptyText;
  }

  // With an explicit type, "TIME_x", "AFMT_x" and "VFMT_x" name user items of that type: the
  // base field's value is asked for and then rewritten by the item's expression.
  std::u16string_view fieldCode = params.fieldCode;
  std::u16string_view itemName;
  if (params.typeIndex >= 0 && isItemName(fieldCode)) {
    itemName = fieldCode;
    fieldCode = fieldCode.substr(0, kBaseFieldLength);
  }

  context.reader.copyValue(fieldCode, result);
  if (fieldCode == kTimeField) {
    if (result.empty()) {
      const std::u16string seconds =
          secondsFromAudioFormat(context.reader.value(kAudioFormatField), context.substitution);
      result = formatPlayingTime(seconds);
    }
    rewriteTimeValue(result);
  }
  if (fieldCode == kAudioFormatField) rewriteAudioFormatValue(result);
  if (fieldCode.substr(0, kCommentPrefix.size()) == kCommentPrefix) removeLineFeeds(result);

  if (!itemName.empty()) {
    const std::u16string_view expression =
        findItemExpression(state.settings.itemLists[params.typeIndex], itemName);
    // Applied to an empty value too, so an item can supply a text for a missing one.
    applySubstitution(result, expression, context.substitution);
  }
  return resultText(result);
}

}  // namespace sonavid
