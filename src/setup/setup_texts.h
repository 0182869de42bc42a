// Texts of the setup dialog that are not control captions: the window title and the messages
// it shows.
#pragma once

#include <string>
#include <string_view>

namespace sonavid::setup {

inline constexpr std::u16string_view kSetupCaption = u"音声/動画ファイル情報取得マクロ設定";

// A save the data file did not take: the first line, the file's path, then what to check.
inline constexpr std::u16string_view kSaveFailedText = u"設定を保存できませんでした。";
inline constexpr std::u16string_view kSaveFailedHint =
    u"変更はまだ保存されていません。ファイルが読み取り専用になっていないか、"
    u"他のプログラムで開かれていないか確認してください。";

inline std::u16string saveFailedMessage(std::u16string_view dataFilePath) {
  std::u16string message(kSaveFailedText);
  message.append(u"\r\n").append(dataFilePath).append(u"\r\n\r\n").append(kSaveFailedHint);
  return message;
}

// The sample test's result box for a substitution that cannot run: this label, then the
// regular-expression library's reason when it gives one.
inline constexpr std::u16string_view kSubstitutionErrorLabel = u"正規表現エラー";

}  // namespace sonavid::setup
