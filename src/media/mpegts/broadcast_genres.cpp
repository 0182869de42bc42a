#include "media/mpegts/broadcast_genres.h"

#include <array>

namespace sonavid::media {
namespace {

// ARIB STD-B10, second part, appendix H: 0x0-0xB, then 0xC-0xD reserved, 0xE extension, 0xF other.
constexpr std::array<std::u16string_view, 16> kIsdbGenres = {u"ニュース／報道",
                                                             u"スポーツ",
                                                             u"情報／ワイドショー",
                                                             u"ドラマ",
                                                             u"音楽",
                                                             u"バラエティ",
                                                             u"映画",
                                                             u"アニメ／特撮",
                                                             u"ドキュメンタリー／教養",
                                                             u"劇場／公演",
                                                             u"趣味／教育",
                                                             u"福祉",
                                                             u"",
                                                             u"",
                                                             u"",
                                                             u"その他"};

// ETSI EN 300 468 table 29: 0x0 undefined, 0xC-0xE reserved, 0xF user defined.
constexpr std::array<std::u16string_view, 16> kDvbGenres = {u"",
                                                            u"Movie/Drama",
                                                            u"News/Current affairs",
                                                            u"Show/Game show",
                                                            u"Sports",
                                                            u"Children's/Youth programmes",
                                                            u"Music/Ballet/Dance",
                                                            u"Arts/Culture (without music)",
                                                            u"Social/Political issues/Economics",
                                                            u"Education/Science/Factual topics",
                                                            u"Leisure hobbies",
                                                            u"Special characteristics",
                                                            u"",
                                                            u"",
                                                            u"",
                                                            u""};

}  // namespace

std::u16string_view isdbGenreName(int level1) {
  return level1 >= 0 && level1 < 16 ? kIsdbGenres[level1] : std::u16string_view();
}

std::u16string_view dvbGenreName(int level1) {
  return level1 >= 0 && level1 < 16 ? kDvbGenres[level1] : std::u16string_view();
}

}  // namespace sonavid::media
