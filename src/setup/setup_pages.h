// The pages of the setup dialog, one per media type in media type index order: what each
// page offers in its base field code drop-down and in the sample file dialog.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/plugin_state.h"
#include "settings/settings_store.h"

namespace sonavid::setup {

inline constexpr int kPageCount = kMediaTypeCount;
// Columns of every list: base field code, suffix, description, substitution.
inline constexpr int kColumnCount = kSetupColumnCount;

inline constexpr std::u16string_view kCodeTime = u"TIME";
inline constexpr std::u16string_view kCodeAudio = u"AFMT";
inline constexpr std::u16string_view kCodeVideo = u"VFMT";

struct PageInfo {
  std::u16string_view typeName;
  // AVI, WMA, MP4, Matroska, TS and MPG files can hold video, so their pages also offer "VFMT".
  bool offersVideo;
  // File-type filter of the sample file dialog: description|pattern pairs joined by "|".
  std::u16string_view filter;
  // File name the sample file dialog starts with after the page is shown.
  std::u16string_view defaultFileName;
};

inline constexpr std::array<PageInfo, kPageCount> kPages = {{
    {u"MP3", false, u"MP3(*.mp3)|*.mp3|全てのファイル(*.*)|*.*", u"*.mp3"},
    {u"WAV", false, u"WAV(*.wav)|*.wav|全てのファイル(*.*)|*.*", u"*.wav"},
    {u"AVI", true, u"AVI(*.avi)|*.avi|全てのファイル(*.*)|*.*", u"*.avi"},
    {u"VQF", false, u"TwinVQ(*.vqf)|*.vqf|全てのファイル(*.*)|*.*", u"*.vqf"},
    {u"WMA", true, u"Windows Media(*.wma *.wmv)|*.wma;*.wmv|全てのファイル(*.*)|*.*",
     u"*.wma;*.wmv"},
    {u"OGG", false, u"OggVorbis(*.ogg)|*.ogg|全てのファイル(*.*)|*.*", u"*.ogg"},
    {u"APE", false, u"Monkey's Audio(*.ape)|*.ape|全てのファイル(*.*)|*.*", u"*.ape"},
    {u"MP4", true, u"MP4(*.mp4)|*.mp4|全てのファイル(*.*)|*.*", u"*.mp4"},
    {u"FLAC", false, u"FLAC(*.flac)|*.flac|全てのファイル(*.*)|*.*", u"*.flac"},
    {u"AIFF", false, u"AIFF(*.aif *.aiff *.aifc)|*.aif;*.aiff;*.aifc|全てのファイル(*.*)|*.*",
     u"*.aif;*.aiff;*.aifc"},
    {u"WV", false, u"WavPack(*.wv)|*.wv|全てのファイル(*.*)|*.*", u"*.wv"},
    {u"DSF", false, u"DSF(*.dsf)|*.dsf|全てのファイル(*.*)|*.*", u"*.dsf"},
    {u"MKV", true, u"Matroska(*.mkv *.mka *.webm)|*.mkv;*.mka;*.webm|全てのファイル(*.*)|*.*",
     u"*.mkv;*.mka;*.webm"},
    {u"TS", true,
     u"MPEG-2 TS(*.ts *.m2ts *.mts)|*.ts;*.m2ts;*.mts|全てのファイル(*.*)|*.*",
     u"*.ts;*.m2ts;*.mts"},
    {u"MPG", true,
     u"MPEG-PS(*.mpg *.mpeg *.vob)|*.mpg;*.mpeg;*.vob|全てのファイル(*.*)|*.*",
     u"*.mpg;*.mpeg;*.vob"},
    {u"AAC", false, u"AAC(*.aac)|*.aac|全てのファイル(*.*)|*.*", u"*.aac"},
}};

inline constexpr bool isPage(int page) { return page >= 0 && page < kPageCount; }

// The base field codes the page's drop-down offers, in order.
std::vector<std::u16string_view> offeredBaseCodes(int page);

inline constexpr std::array<std::u16string_view, kColumnCount> kColumnCaptions = {
    u"種別", u"拡張", u"説明", u"正規表現"};

}  // namespace sonavid::setup
