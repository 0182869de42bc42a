// Reordering rows by dragging: which row the drag started from, the row it would be dropped
// on, and when the list scrolls while the pointer rests near its top or bottom edge.
#pragma once

#include <optional>

namespace sonavid::setup {

// Kept for the life of the plug-in: the row a drag started from (-1: none) and how many
// drag-over events have waited in a scroll zone since the last scroll. The counter is not
// reset when a drag starts or ends, so the first scroll of a drag may come sooner.
struct DragMemory {
  int startIndex = -1;
  int scrollDelay = 0;
};
DragMemory& dragMemory();

// Drag-over events to wait in a scroll zone before the list scrolls by one row.
inline constexpr int kScrollDelayEvents = 3;
inline constexpr int kScrollWaitMilliseconds = 10;

enum class DragScroll {
  None,  // not in a scroll zone
  Wait,  // in a zone: sleep kScrollWaitMilliseconds, no scroll yet
  Up,    // make the row above the first visible row visible
  Down,  // make the row below the pointer's row visible
};

// Where the pointer's row lies: on the first visible row (upper zone, unless it is row 0) or
// on the last row that fits (lower zone, unless it is the list's last row). Advances the
// counter while waiting and resets it after a scroll.
DragScroll dragScrollStep(int row, int topIndex, int rowsPerPage, int rowCount, DragMemory& memory);

// One drag of rows within one list.
class RowDrag {
 public:
  // The drag starts from the selected row (-1: none); the view then clears the selection.
  void start(int list, int selected);
  bool active() const { return list_.has_value(); }
  int list() const { return list_.value_or(-1); }
  // A drag-over event on `list` with `rowUnderPointer` (nullopt over empty space). Returns
  // false when the drag is refused (it started in another list). `reselect` receives the
  // start row to select again on the first event, else -1.
  bool over(int list, std::optional<int> rowUnderPointer, int& reselect);
  // The pointer left the list: no row to drop on any more.
  void leave() { dropTarget_.reset(); }
  // The row most recently under the pointer, if any.
  std::optional<int> dropTarget() const { return dropTarget_; }
  // Ends the drag, dropped or not.
  void end();

 private:
  std::optional<int> list_;
  std::optional<int> dropTarget_;
};

}  // namespace sonavid::setup
