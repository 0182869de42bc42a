#include "media/tags/byte_text.h"

#include <gtest/gtest.h>

#include "common/platform_posix.h"
#include "common/text.h"

namespace sonavid::media {
namespace {

// Titles as Japanese and Western taggers store them: each must read right on a Japanese and
// on a Western system alike.
TEST(ByteText, ShiftJisAndWindows1252TitlesReadRightUnderBothCodePages) {
  PosixPlatform japanese("CP932");
  PosixPlatform western("WINDOWS-1252");
  struct Title {
    const char* utf8;
    bool shiftJis;
  };
  const Title titles[] = {
      {"日本語の曲", true},
      {"さくら", true},
      {"ラブ・ストーリー", true},
      {"東京", true},
      {"愛", true},
      {"四次元", true},
      {"外型", true},
      {"羊羹 Remix", true},
      {"ｱｲｼﾃﾙ", true},
      {"ＡＢＣ", true},
      {"DJ 海", true},
      {"①はじまり", true},
      {"夏祭り ～Remix～", true},
      {"μ's ミュージック", true},
      {"Café Crème Brûlée", false},
      {"Crème", false},
      {"Über den Wolken", false},
      {"Straße", false},
      {"Mañana", false},
      {"¿Qué pasa?", false},
      {"L’été indien", false},
      {"“Señor”", false},
      {"„Hallo“", false},
      {"naïve", false},
      {"Déjà vu", false},
      {"À bientôt", false},
      {"ÉTÉ", false},
      {"Ærø", false},
      {"CAFÉ DEL MAR", false},
      {"25°C", false},
      {"© 2001", false},
      {"Wait…", false},
      {"cœur", false},
      {"Smörgåsbord", false},
  };
  for (const Title& title : titles) {
    const std::u16string text = utf8ToUtf16(title.utf8);
    const std::string bytes =
        title.shiftJis ? japanese.utf16ToAnsi(text) : western.utf16ToAnsi(text);
    for (PosixPlatform* system : {&japanese, &western}) {
      setPlatform(system);
      EXPECT_EQ(utf16ToUtf8(decodeByteText(bytes)), title.utf8)
          << (system == &japanese ? "on 932" : "on 1252");
    }
  }
  setPlatform(nullptr);
}

TEST(ByteText, TiesCutCharactersAndOtherCodePages) {
  PosixPlatform japanese("CP932");
  PosixPlatform western("WINDOWS-1252");
  PosixPlatform cyrillic("CP1251");
  // A Cyrillic capital A or "„@": nothing tells them apart, so the system's code page does.
  setPlatform(&japanese);
  EXPECT_EQ(decodeByteText("\x84\x40"), u"А");
  // A Shift-JIS field cut in the middle of its last character loses only that half.
  EXPECT_EQ(decodeByteText("\x83\x65\x83\x58\x83\x67\x83"), u"テスト");
  setPlatform(&western);
  EXPECT_EQ(decodeByteText("\x84\x40"), u"„@");
  // Bytes Windows-1252 leaves undefined keep their codes, as Windows' conversion does.
  EXPECT_EQ(decodeByteText("x\x90 \x9D"), u"x\u0090 \u009D");
  // A system of another code page reads its own legacy texts.
  setPlatform(&cyrillic);
  EXPECT_EQ(decodeByteText("\xCC\xE8\xF0"), u"Мир");
  setPlatform(nullptr);
}

}  // namespace
}  // namespace sonavid::media
