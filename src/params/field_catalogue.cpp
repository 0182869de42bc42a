#include "params/field_catalogue.h"

#include <algorithm>

#include "core/common_fields.h"

namespace sonavid {
namespace {

// Each list starts with TIME at 0 and AFMT at 1; AVI, WMA and MP4 have VFMT at 2. The user
// items are merged in behind these anchors.

// One entry per line, exactly as shown.
// clang-format off

// Every field of every type, for the automatic choice.
constexpr std::u16string_view kAllTypesFields[] = {
    u"TIME     再生時間",
    u"AFMT     音声フォーマット",
    u"VFMT     映像フォーマット",
    u"INAM_v1  タイトル(ID3v1)",
    u"INAM_v2  タイトル(ID3v2)",
    u"INAM_rmp タイトル(RiffSIF)",
    u"INAM_APE タイトル(APE)",
    u"IART_v1  アーティスト(ID3v1)",
    u"IART_v2  アーティスト(ID3v2)",
    u"IART_rmp アーティスト(RiffSIF)",
    u"IART_APE アーティスト(APE)",
    u"IPRD_v1  アルバム(ID3v1)",
    u"IPRD_v2  アルバム(ID3v2)",
    u"IPRD_rmp アルバム(RiffSIF)",
    u"IPRD_APE アルバム(APE)",
    u"ICMT_v1  コメント(ID3v1)",
    u"ICMT_v2  コメント(ID3v2)",
    u"ICMT_rmp コメント(RiffSIF)",
    u"ICMT_APE コメント(APE)",
    u"ICRD_v1  作成日(ID3v1)",
    u"ICRD_v2  作成日(ID3v2)",
    u"ICRD_rmp 作成日(RiffSIF)",
    u"ICRD_APE 作成日(APE)",
    u"IGNR_v1  ジャンル(ID3v1)",
    u"IGNR_v2  ジャンル(ID3v2)",
    u"IGNR_rmp ジャンル(RiffSIF)",
    u"IGNR_APE ジャンル(APE)",
    u"ICOP_v2  著作権(ID3v2)",
    u"ICOP_rmp 著作権(RiffSIF)",
    u"ISFT_v2  ソフトウェア(ID3v2)",
    u"ISFT_rmp ソフトウェア(RiffSIF)",
    u"COMP_v2  作曲(ID3v2)",
    u"OART_v2  Orig.アーティスト(ID3v2)",
    u"URL_v2   URL(ID3v2)",
    u"ENC2_v2  エンコードした人(ID3v2)",
    u"ISRC_rmp ソース(RiffSIF)",
    u"IENG_rmp エンジニア(RiffSIF)",
    u"TRACK_v1 トラック番号(ID3v1)",
    u"TRACK_v2 トラック番号(ID3v2)",
    u"TRACK_APEトラック番号(APE)",
    u"TRACK1   トラック1",
    u"TRACK2   トラック2",
    u"INAM     タイトル",
    u"ISBJ     タイトル",
    u"IART     アーティスト",
    u"IPRD     アルバム",
    u"ICMT     コメント",
    u"ICRD     作成日",
    u"IGNR     ジャンル",
    u"ICOP     著作権",
    u"ISFT     ソフトウェア",
    u"ISRC     ソース",
    u"IENG     エンジニア",
    u"AVIV     AVIバージョン",
    u"FILE     保存名",
    u"TRACK    トラック番号",
    u"URL1     URL(Album)",
    u"URL2     URL(関連)",
    u"IGRP     グループ",
    u"COMPOSER 作曲",
    u"DISC1    ディスク1",
    u"DISC2    ディスク2",
    u"BPM      テンポ",
    u"TOOL     ツール",
    u"CHANNEL  放送局",
    u"START    開始時刻",
};

constexpr std::u16string_view kMp3Fields[] = {
    u"TIME     再生時間",
    u"AFMT     音声フォーマット",
    u"INAM_v1  タイトル(ID3v1)",
    u"INAM_v2  タイトル(ID3v2)",
    u"INAM_rmp タイトル(RiffSIF)",
    u"INAM_APE タイトル(APE)",
    u"IART_v1  アーティスト(ID3v1)",
    u"IART_v2  アーティスト(ID3v2)",
    u"IART_rmp アーティスト(RiffSIF)",
    u"IART_APE アーティスト(APE)",
    u"IPRD_v1  アルバム(ID3v1)",
    u"IPRD_v2  アルバム(ID3v2)",
    u"IPRD_rmp アルバム(RiffSIF)",
    u"IPRD_APE アルバム(APE)",
    u"ICMT_v1  コメント(ID3v1)",
    u"ICMT_v2  コメント(ID3v2)",
    u"ICMT_rmp コメント(RiffSIF)",
    u"ICMT_APE コメント(APE)",
    u"ICRD_v1  作成日(ID3v1)",
    u"ICRD_v2  作成日(ID3v2)",
    u"ICRD_rmp 作成日(RiffSIF)",
    u"ICRD_APE 作成日(APE)",
    u"IGNR_v1  ジャンル(ID3v1)",
    u"IGNR_v2  ジャンル(ID3v2)",
    u"IGNR_rmp ジャンル(RiffSIF)",
    u"IGNR_APE ジャンル(APE)",
    u"ICOP_v2  著作権(ID3v2)",
    u"ICOP_rmp 著作権(RiffSIF)",
    u"ISFT_v2  ソフトウェア(ID3v2)",
    u"ISFT_rmp ソフトウェア(RiffSIF)",
    u"COMP_v2  作曲(ID3v2)",
    u"OART_v2  Orig.アーティスト(ID3v2)",
    u"URL_v2   URL(ID3v2)",
    u"ENC2_v2  エンコードした人(ID3v2)",
    u"ISRC_rmp ソース(RiffSIF)",
    u"IENG_rmp エンジニア(RiffSIF)",
    u"TRACK_v1 トラック番号(ID3v1)",
    u"TRACK_v2 トラック番号(ID3v2)",
    u"TRACK_APEトラック番号(APE)",
};

constexpr std::u16string_view kWavFields[] = {
    u"TIME     再生時間",
    u"AFMT     音声フォーマット",
    u"INAM     タイトル",
    u"ISBJ     タイトル",
    u"IART     アーティスト",
    u"IPRD     アルバム",
    u"ICMT     コメント",
    u"ICRD     作成日",
    u"IGNR     ジャンル",
    u"ICOP     著作権",
    u"ISFT     ソフトウェア",
    u"ISRC     ソース",
    u"IENG     エンジニア",
};

constexpr std::u16string_view kAviFields[] = {
    u"TIME     再生時間",
    u"AFMT     音声フォーマット",
    u"VFMT     映像フォーマット",
    u"INAM     タイトル",
    u"ISBJ     タイトル",
    u"IART     アーティスト",
    u"ICMT     コメント",
    u"ICRD     作成日",
    u"IGNR     ジャンル",
    u"ICOP     著作権",
    u"ISFT     ソフトウェア",
    u"ISRC     ソース",
    u"IENG     エンジニア",
    u"AVIV     AVIバージョン",
};

constexpr std::u16string_view kVqfFields[] = {
    u"TIME     再生時間",
    u"AFMT     音声フォーマット",
    u"INAM     タイトル",
    u"IART     アーティスト",
    u"ICMT     コメント",
    u"ICOP     著作権",
    u"FILE     保存名",
};

constexpr std::u16string_view kWmaFields[] = {
    u"TIME     再生時間",
    u"AFMT     音声フォーマット",
    u"VFMT     映像フォーマット",
    u"INAM     タイトル",
    u"TRACK    トラック",
    u"IART     アーティスト",
    u"IPRD     アルバム",
    u"ICMT     コメント",
    u"ICRD     作成日",
    u"IGNR     ジャンル",
    u"ICOP     著作権",
    u"URL1     URL(Album)",
    u"URL2     URL(関連)",
};

// One list serves both OGG and APE.
constexpr std::u16string_view kOggApeFields[] = {
    u"TIME     再生時間",
    u"AFMT     音声フォーマット",
    u"INAM     タイトル",
    u"IART     アーティスト",
    u"IPRD     アルバム",
    u"ICMT     コメント",
    u"ICRD     作成日",
    u"IGNR     ジャンル",
    u"TRACK    トラック",
};

// The OGG and APE list and the copyright field of AIFF's own text chunks.
constexpr std::u16string_view kAiffFields[] = {
    u"TIME     再生時間",
    u"AFMT     音声フォーマット",
    u"INAM     タイトル",
    u"IART     アーティスト",
    u"IPRD     アルバム",
    u"ICMT     コメント",
    u"ICRD     作成日",
    u"IGNR     ジャンル",
    u"TRACK    トラック",
    u"ICOP     著作権",
};

constexpr std::u16string_view kMatroskaFields[] = {
    u"TIME     再生時間",
    u"AFMT     音声フォーマット",
    u"VFMT     映像フォーマット",
    u"INAM     タイトル",
    u"IART     アーティスト",
    u"IPRD     アルバム",
    u"ICMT     コメント",
    u"ICRD     作成日",
    u"IGNR     ジャンル",
    u"TRACK    トラック",
};

// A TV recording names its program and channel in the tables the broadcast carries.
constexpr std::u16string_view kTsFields[] = {
    u"TIME     再生時間",
    u"AFMT     音声フォーマット",
    u"VFMT     映像フォーマット",
    u"INAM     番組名",
    u"ICMT     番組内容",
    u"CHANNEL  放送局",
    u"ICRD     放送日",
    u"START    開始時刻",
    u"IGNR     ジャンル",
};

// Program streams carry no tags of their own.
constexpr std::u16string_view kMpgFields[] = {
    u"TIME     再生時間",
    u"AFMT     音声フォーマット",
    u"VFMT     映像フォーマット",
};

constexpr std::u16string_view kMp4Fields[] = {
    u"TIME     再生時間",
    u"AFMT     音声フォーマット",
    u"VFMT     映像フォーマット",
    u"INAM     タイトル",
    u"TRACK1   トラック1",
    u"TRACK2   トラック2",
    u"IART     アーティスト",
    u"IPRD     アルバム",
    u"ICMT     コメント",
    u"ICRD     作成日",
    u"IGNR     ジャンル",
    u"IGRP     グループ",
    u"COMPOSER 作曲",
    u"DISC1    ディスク1",
    u"DISC2    ディスク2",
    u"BPM      テンポ",
    u"TOOL     ツール",
};

// clang-format on

struct MergePass {
  std::u16string_view baseCode;
  size_t anchor;  // position just behind the base field's own entry
};

// VFMT first, TIME last: each pass inserts in front of the anchors of the passes before it,
// so the earlier insertions never move a later pass's anchor.
constexpr MergePass kVfmtPass{u"VFMT", 3};
constexpr MergePass kAfmtPass{u"AFMT", 2};
constexpr MergePass kTimePass{u"TIME", 1};

constexpr int kAviSelector = 3;
constexpr int kWmaSelector = 5;
constexpr int kMatroskaSelector = 13;
constexpr int kTsSelector = 14;
constexpr int kMpgSelector = 15;

bool isMediaTypeSelector(int selectorIndex) {
  return selectorIndex >= 1 && selectorIndex < kTypeSelectorCount;
}

void runMergePass(const MergePass& pass, const ItemList& items,
                  std::vector<std::u16string>& entries) {
  size_t inserted = 0;
  for (size_t i = 0; i < items.size(); i += 3) {
    const std::u16string& name = items[i];
    if (name.size() < pass.baseCode.size() ||
        std::u16string_view(name).substr(0, pass.baseCode.size()) != pass.baseCode) {
      continue;
    }
    // A list cut short by a damaged data file has no description for its last name.
    const std::u16string_view description =
        i + 1 < items.size() ? std::u16string_view(items[i + 1]) : std::u16string_view();
    const size_t at = std::min(pass.anchor + inserted, entries.size());
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at),
                   userItemEntry(name, description));
    ++inserted;
  }
}

// The type's own fields, as they were before the common ones were added.
std::span<const std::u16string_view> ownFieldList(int selectorIndex) {
  switch (selectorIndex) {
    case 0:
      return kAllTypesFields;
    case 1:
      return kMp3Fields;
    case 2:
      return kWavFields;
    case 3:
      return kAviFields;
    case 4:
      return kVqfFields;
    case 5:
      return kWmaFields;
    case 8:
      return kMp4Fields;
    case 10:
      return kAiffFields;
    case kMatroskaSelector:
      return kMatroskaFields;
    case kTsSelector:
      return kTsFields;
    case kMpgSelector:
      return kMpgFields;
    default:  // 6 OGG, 7 APE, 9 FLAC, 11 WV, 12 DSF, 16 AAC, and no selection
      return kOggApeFields;
  }
}

}  // namespace

std::span<const std::u16string_view> fixedFieldList(int selectorIndex) {
  // Each list is the type's own fields, then the common fields it does not show already (MP4
  // and the automatic choice have TRACK1, TRACK2, COMPOSER, DISC1, DISC2 and BPM of their own):
  // each code once, and every earlier entry at its old position. Made once, on first use;
  // selector kTypeSelectorCount stands for no selection, which has the OGG and APE list.
  static const std::vector<std::u16string> commonEntries = [] {
    std::vector<std::u16string> made;
    for (const CommonField& field : kCommonFields) {
      made.push_back(userItemEntry(field.code, field.description));
    }
    return made;
  }();
  // One list per own list: the types that share one (OGG, APE, FLAC ...) share it whole.
  struct Lists {
    std::vector<std::vector<std::u16string_view>> made;
    std::array<size_t, kTypeSelectorCount + 1> ofSelector{};
  };
  static const Lists lists = [] {
    Lists out;
    std::vector<const std::u16string_view*> owns;
    for (int i = 0; i <= kTypeSelectorCount; ++i) {
      const std::span<const std::u16string_view> own = ownFieldList(i);
      const auto known = std::find(owns.begin(), owns.end(), own.data());
      out.ofSelector[static_cast<size_t>(i)] = static_cast<size_t>(known - owns.begin());
      if (known != owns.end()) continue;
      owns.push_back(own.data());
      std::vector<std::u16string_view> entries(own.begin(), own.end());
      for (const std::u16string& common : commonEntries) {
        const std::u16string code = codeOfEntry(common);
        if (std::none_of(own.begin(), own.end(),
                         [&](std::u16string_view entry) { return codeOfEntry(entry) == code; })) {
          entries.push_back(common);
        }
      }
      out.made.push_back(std::move(entries));
    }
    return out;
  }();
  const bool inRange = selectorIndex >= 0 && selectorIndex < kTypeSelectorCount;
  const size_t selector = static_cast<size_t>(inRange ? selectorIndex : kTypeSelectorCount);
  return lists.made[lists.ofSelector[selector]];
}

std::vector<std::u16string> buildFieldList(int selectorIndex,
                                           const std::array<ItemList, kMediaTypeCount>& itemLists) {
  const auto fixed = fixedFieldList(selectorIndex);
  std::vector<std::u16string> entries(fixed.begin(), fixed.end());
  if (!isMediaTypeSelector(selectorIndex)) return entries;

  const ItemList& items = itemLists[static_cast<size_t>(selectorIndex - 1)];
  // Video-format variants are offered for AVI, WMA, Matroska, TS and MPG only.
  if (selectorIndex == kAviSelector || selectorIndex == kWmaSelector ||
      selectorIndex == kMatroskaSelector || selectorIndex == kTsSelector ||
      selectorIndex == kMpgSelector) {
    runMergePass(kVfmtPass, items, entries);
  }
  runMergePass(kAfmtPass, items, entries);
  runMergePass(kTimePass, items, entries);
  return entries;
}

std::u16string userItemEntry(std::u16string_view itemName, std::u16string_view description) {
  std::u16string entry(itemName);
  if (entry.size() < kEntryCodeWidth) entry.resize(kEntryCodeWidth, u' ');
  entry += description;
  return entry;
}

std::u16string codeOfEntry(std::u16string_view entry) {
  std::u16string_view code = entry.substr(0, std::min(entry.size(), kEntryCodeWidth));
  while (!code.empty() && code.back() <= u' ') code.remove_suffix(1);
  return std::u16string(code);
}

}  // namespace sonavid
