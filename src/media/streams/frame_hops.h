// Counting the frames of an audio stream by hopping from header to header, where every hop
// waits for the load of the header it lands on. A second run of hops goes beside the first,
// from a header found halfway on, so that the two runs' loads overlap; it counts only when the
// first run lands right on its start, as its hops are then the ones the first would have made.
// The count is always that of a single run.
#pragma once

#include <cstddef>
#include <string_view>

namespace sonavid::media {

// `Run` holds where it stands (`pos`) and what it passed; `run.step()` makes one hop and is
// false where the header at `pos` is not taken; `run.take(other)` goes on from where `other`
// stands, with its counts added. A `second` run at npos does not go.
template <typename Run>
Run hopInTwoRuns(Run first, Run second) {
  const size_t meet = second.pos;
  if (meet != std::string_view::npos) {
    // Side by side while the first is short of the second's start.
    bool secondGoes = true;
    while (first.pos < meet) {
      if (!first.step()) return first;  // stopped before it: the second does not count
      if (secondGoes) secondGoes = second.step();
    }
    if (first.pos == meet) first.take(second);
  }
  while (first.step()) {
  }
  return first;
}

}  // namespace sonavid::media
