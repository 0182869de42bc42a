#include "core/media_types.h"

#include <algorithm>
#include <array>
#include <utility>

namespace sonavid {
namespace {

// Media type index by reader type code, for every code up to the largest named one (-1 where a
// code has no name): the macros ask for it on every call.
constexpr int32_t kLargestTypeCode =
    std::max_element(kMediaTypes.begin(), kMediaTypes.end(),
                     [](const MediaType& a, const MediaType& b) { return a.code < b.code; })
        ->code;

constexpr auto kIndexByCode = [] {
  std::array<int8_t, kLargestTypeCode + 1> table{};
  table.fill(-1);
  for (int index = 0; index < kMediaTypeCount; ++index) {
    table[kMediaTypes[index].code] = static_cast<int8_t>(index);
  }
  return table;
}();

// The shortest and longest type name: most parameter texts name no type at all (automatic), and
// a text of another length is turned down without a comparison.
constexpr auto kNameLengths = [] {
  size_t shortest = kMediaTypes[0].name.size(), longest = shortest;
  for (const MediaType& type : kMediaTypes) {
    shortest = std::min(shortest, type.name.size());
    longest = std::max(longest, type.name.size());
  }
  return std::pair{shortest, longest};
}();

}  // namespace

int mediaTypeIndexOfName(std::u16string_view name) {
  if (name.size() < kNameLengths.first || name.size() > kNameLengths.second) return -1;
  for (int index = 0; index < kMediaTypeCount; ++index) {
    const std::u16string_view candidate = kMediaTypes[index].name;
    if (candidate.size() == name.size() && candidate[0] == name[0] && candidate == name) {
      return index;
    }
  }
  return -1;
}

int mediaTypeIndexOfCode(int32_t code) {
  if (code < 0 || code > kLargestTypeCode) return -1;
  return kIndexByCode[static_cast<size_t>(code)];
}

}  // namespace sonavid
