// Texts the plug-in hands to the host.
#pragma once

#include <string_view>

namespace sonavid {

inline constexpr std::u16string_view kPluginName = u"音声/動画ファイル情報取得マクロ";
inline constexpr std::u16string_view kPluginVersionText = u"5.0.0.2";

struct MacroTexts {
  std::u16string_view name;
  std::u16string_view description;
};

inline constexpr MacroTexts kMacroTexts[2] = {
    {u"音声/動画種別", u"音声/動画ファイルの種別"},
    {u"音声/動画情報", u"音声/動画ファイルの各種情報"},
};

inline constexpr std::u16string_view kHelpFileName = u"mac_Sonavid.chm";

}  // namespace sonavid
