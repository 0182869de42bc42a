// Captions of the two parameter dialogs and the pieces of the macro texts they build.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace sonavid {

inline constexpr std::u16string_view kMacroTextStart = u"/";

// Media-type dialog.
inline constexpr std::u16string_view kParam0GroupCaption = u"<大文字/小文字,対象外戻り値>";
inline constexpr std::u16string_view kCaseGroupCaption = u"戻り値";
inline constexpr std::array<std::u16string_view, 2> kCaseItems = {u"大文字", u"小文字"};
inline constexpr std::u16string_view kNonTargetGroupCaption = u"対象外";
inline constexpr std::array<std::u16string_view, 2> kNonTargetItems = {u"なし", u"元拡張子"};
inline constexpr std::u16string_view kMenuRestoreDefaults = u"初期値設定";
inline constexpr std::u16string_view kMenuSaveDefaults = u"初期値保存";
inline constexpr std::u16string_view kMenuDefaultsSubmenu = u"デフォルト値";
inline constexpr std::u16string_view kMenuWriteDefaults = u"そのまま";
inline constexpr std::u16string_view kMenuOmitDefaults = u"省略";

// Media-info dialog.
inline constexpr std::u16string_view kParam1GroupCaption = u"<ファイル種別,取得情報>";
inline constexpr std::u16string_view kTypeLabel = u"ファイル種別";
inline constexpr std::u16string_view kFieldLabel = u"取得情報";

// Both dialogs.
inline constexpr std::u16string_view kOkCaption = u"OK";
inline constexpr std::u16string_view kCancelCaption = u"CANCEL";

inline constexpr uint32_t kParam0HelpContext = 301;
inline constexpr uint32_t kParam1HelpContext = 302;

}  // namespace sonavid
