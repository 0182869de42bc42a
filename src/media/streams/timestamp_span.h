// The playing time of a transport or program stream from its timestamps: the earliest one found
// at the head, the latest one at the tail (plus the length of the unit it stamps), with the
// 33-bit clock's wrap handled. Head stamps are taken relative to the first one seen, either way
// round; a tail stamp must lie after it, by less than half the clock's range (13 hours): one that
// seems to lie before it (the clock jumped back, or was reset) is left out.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

#include "media/streams/pes_packet.h"

namespace sonavid::media {

class TimestampSpan {
 public:
  void atHead(uint64_t stamp) {
    stamp &= kPtsWrap - 1;
    if (!reference_) reference_ = stamp;
    start_ = std::min(start_, signedDistance(*reference_, stamp));
  }
  void atTail(uint64_t stamp, uint64_t unitTicks) {
    const std::optional<uint64_t> distance = tailDistance(stamp);
    if (distance) endAfter(*distance, unitTicks);
  }
  // How far a tail stamp lies after the head's first one; nothing when it is left out. With
  // endAfter, a walk can keep only the farthest stamp of each stream and add the length of its
  // unit once that is known: the same end as atTail for every stamp.
  std::optional<uint64_t> tailDistance(uint64_t stamp) const {
    if (!reference_) return std::nullopt;
    const uint64_t distance = (stamp - *reference_) & (kPtsWrap - 1);
    if (distance > kPtsWrap / 2) return std::nullopt;
    return distance;
  }
  void endAfter(uint64_t distance, uint64_t unitTicks) {
    end_ = std::max(end_.value_or(0), static_cast<int64_t>(distance + unitTicks));
  }
  bool started() const { return reference_.has_value(); }
  // Milliseconds from the earliest head stamp to the latest tail end; nothing when the tail
  // gave no stamp after the head's.
  std::optional<int64_t> milliseconds() const {
    if (!end_ || *end_ <= start_) return std::nullopt;
    return (*end_ - start_) * 1000 / static_cast<int64_t>(kPtsClock);
  }

 private:
  static int64_t signedDistance(uint64_t from, uint64_t to) {
    const uint64_t d = (to - from) & (kPtsWrap - 1);
    return d >= kPtsWrap / 2 ? static_cast<int64_t>(d) - static_cast<int64_t>(kPtsWrap)
                             : static_cast<int64_t>(d);
  }

  std::optional<uint64_t> reference_;
  int64_t start_ = 0;
  std::optional<int64_t> end_;
};

}  // namespace sonavid::media
