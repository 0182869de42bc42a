#include "engine/macro_context.h"

namespace sonavid {

int mediaTypeIndexOfName(std::u16string_view name) {
  for (int index = 0; index < kMediaTypeCount; ++index) {
    if (kMediaTypeNames[index] == name) return index;
  }
  return -1;
}

int mediaTypeIndexOfCode(int32_t code) {
  for (int index = 0; index < kMediaTypeCount; ++index) {
    if (kMediaTypeCodes[index] == code) return index;
  }
  return -1;
}

}  // namespace sonavid
