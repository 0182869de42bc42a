#include "core/media_types.h"

namespace sonavid {

int mediaTypeIndexOfName(std::u16string_view name) {
  for (int index = 0; index < kMediaTypeCount; ++index) {
    if (kMediaTypes[index].name == name) return index;
  }
  return -1;
}

int mediaTypeIndexOfCode(int32_t code) {
  for (int index = 0; index < kMediaTypeCount; ++index) {
    if (kMediaTypes[index].code == code) return index;
  }
  return -1;
}

}  // namespace sonavid
