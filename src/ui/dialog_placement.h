// Where a dialog goes on the host's rectangle: centred, with the host's 16-bit fields widened
// and every halving truncated toward zero (-7 / 2 is -3). No clamping to the screen.
#pragma once

#include <cstdint>

#include "core/host_abi.h"

namespace sonavid {

struct DialogOrigin {
  int32_t left;
  int32_t top;
};

constexpr DialogOrigin centredOn(const HostRect& rect, int32_t dialogWidth, int32_t dialogHeight) {
  return {int32_t{rect.left} + int32_t{rect.width} / 2 - dialogWidth / 2,
          int32_t{rect.top} + int32_t{rect.height} / 2 - dialogHeight / 2};
}

}  // namespace sonavid
