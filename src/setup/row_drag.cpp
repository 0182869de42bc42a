#include "setup/row_drag.h"

namespace sonavid::setup {

DragMemory& dragMemory() {
  static DragMemory memory;
  return memory;
}

DragScroll dragScrollStep(int row, int topIndex, int rowsPerPage, int rowCount,
                          DragMemory& memory) {
  DragScroll zone;
  if (row <= topIndex) {
    if (row == 0) return DragScroll::None;
    zone = DragScroll::Up;
  } else {
    if (row < topIndex + rowsPerPage - 1) return DragScroll::None;
    if (row == rowCount - 1) return DragScroll::None;
    zone = DragScroll::Down;
  }
  if (memory.scrollDelay < kScrollDelayEvents) {
    ++memory.scrollDelay;
    return DragScroll::Wait;
  }
  memory.scrollDelay = 0;
  return zone;
}

void RowDrag::start(int list, int selected) {
  list_ = list;
  dropTarget_.reset();
  if (selected >= 0) dragMemory().startIndex = selected;
}

bool RowDrag::over(int list, std::optional<int> rowUnderPointer, int& reselect) {
  reselect = -1;
  if (!list_ || *list_ != list) return false;
  DragMemory& memory = dragMemory();
  if (memory.startIndex >= 0) {
    reselect = memory.startIndex;
    memory.startIndex = -1;
  }
  if (rowUnderPointer) dropTarget_ = *rowUnderPointer;
  return true;
}

void RowDrag::end() {
  list_.reset();
  dropTarget_.reset();
  dragMemory().startIndex = -1;
}

}  // namespace sonavid::setup
