#include "engine/media_type_macro.h"

#include "common/int_reading.h"
#include "common/text.h"

namespace sonavid {
namespace {

constexpr int kMediaTypeParamCount = 2;
// The reader's "VFMT" value of a file without a video stream.
constexpr std::u16string_view kNoVideo = u"N/A";

}  // namespace

MediaTypeParams parseMediaTypeParams(std::u16string_view text, int32_t defaultCase,
                                     int32_t defaultNonTarget) {
  int32_t values[kMediaTypeParamCount] = {defaultCase, defaultNonTarget};
  std::u16string_view rest = text;
  for (int pass = 0; pass < kMediaTypeParamCount && !rest.empty(); ++pass) {
    const size_t comma = rest.find(u',');
    if (comma == std::u16string_view::npos) {
      values[pass] = readInt32Or(rest, values[pass]);
      break;
    }
    if (comma > 0) values[pass] = readInt32Or(rest.substr(0, comma), values[pass]);
    rest.remove_prefix(comma + 1);
  }
  return {values[0], values[1]};
}

std::u16string_view fileExtension(std::u16string_view fileName) {
  // A period in a folder name is not an extension, should a host pass a relative path.
  const size_t separator = fileName.find_last_of(u"\\/");
  if (separator != std::u16string_view::npos) fileName.remove_prefix(separator + 1);
  const size_t period = fileName.rfind(u'.');
  return period == std::u16string_view::npos ? std::u16string_view() : fileName.substr(period + 1);
}

const char16_t* mediaTypeMacro(const MacroContext& context, const MacroRequest& request) {
  std::u16string& result = context.state.macroResult;
  const MediaTypeParams params =
      parseMediaTypeParams(request.parameterText, context.state.settings.def01, context.state.settings.def02);

  const int typeIndex = mediaTypeIndexOfCode(context.reader.type());
  if (typeIndex < 0) {
    // Not a media file (codes without a name count as such): its extension as it stands.
    result = params.nonTarget != 0 ? fileExtension(request.fileName) : std::u16string_view();
    return resultText(result);
  }

  result = mediaTypeName(typeIndex);
  if (result == u"WMA" && context.reader.value(u"VFMT") != kNoVideo) result = u"WMV";
  if (result == u"MKV") {
    // One type for three names: WebM by its document type, else by whether there is video.
    // A file whose track list was not read (nothing says it has no video) stays MKV.
    if (context.reader.value(u"DOCTYPE") == u"webm") {
      result = u"WEBM";
    } else if (context.reader.value(u"VFMT").empty() && !context.reader.value(u"AFMT").empty()) {
      result = u"MKA";
    }
  }
  // Transport streams in 192-byte packets (Blu-ray, camcorders) and DVD program streams are
  // named by what the reader found.
  if (result == u"TS" && context.reader.value(u"DOCTYPE") == u"m2ts") result = u"M2TS";
  if (result == u"MPG" && context.reader.value(u"DOCTYPE") == u"vob") result = u"VOB";
  if (params.caseChoice != 0) result = asciiLower(result);
  return resultText(result);
}

}  // namespace sonavid
