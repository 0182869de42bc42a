// The field codes the built-in reader gives for every media type where the file holds the
// fact: album facts from the tags, then stream facts in one shape for every type. Every list of
// the media-info parameter dialog ends with them, and the tools list them; new codes are only
// ever appended, so a stored list position keeps its meaning.
#pragma once

#include <string_view>

namespace sonavid {

struct CommonField {
  std::u16string_view code;
  std::u16string_view description;
};

// clang-format off
inline constexpr CommonField kCommonFields[] = {
    {u"AART",     u"アルバムアーティスト"},
    {u"TRACK1",   u"トラック1"},
    {u"TRACK2",   u"トラック2"},
    {u"TRACK00",  u"トラック番号(2桁)"},
    {u"DISC1",    u"ディスク1"},
    {u"DISC2",    u"ディスク2"},
    {u"YEAR",     u"年"},
    {u"COMPOSER", u"作曲"},
    {u"BPM",      u"テンポ"},
    {u"SECS",     u"再生時間(秒)"},
    {u"LENGTH",   u"再生時間(時分秒)"},
    {u"ACODEC",   u"音声コーデック"},
    {u"KBPS",     u"音声ビットレート"},
    {u"SRATE",    u"サンプリング周波数"},
    {u"BITS",     u"量子化ビット数"},
    {u"CH",       u"チャンネル数"},
    {u"VCODEC",   u"映像コーデック"},
    {u"WIDTH",    u"幅"},
    {u"HEIGHT",   u"高さ"},
    {u"RES",      u"解像度"},
    {u"FPS",      u"フレームレート"},
};
// clang-format on

}  // namespace sonavid
