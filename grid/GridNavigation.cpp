// Moves of the current cell and the view, each offered to the data source and the host
// first and reported through the change hooks afterwards.
#include <algorithm>

#include "grid/GridCore.h"

int CGridCore::MoveToCell(int column, int row) {
  CGridSheetInfo& s = *m_sheet;
  if (column < 0 || row < 0 || column >= s.columns || row >= s.rows) return 1;
  if (column == s.targetColumn && row == s.targetRow) {
    if ((m_modifiers & kMkShift) && s.multiSelectMode) {
      s.selection.HandleLeftClick(column, row, s.mouseKeyFlags | kMkShift);
      RedrawAll();
    }
    return 0;
  }
  if (s.joins) JoinOrigin(column, row);
  if (s.DefaultSource().OnQueryCellMove(s.currentColumn, s.currentRow, column, row) != 1) return 2;
  if (OnQueryCellMove(s.currentColumn, s.currentRow, column, row) == 0) return 2;
  if (!RowVisible(row) || !ColumnVisible(column)) {
    if (OnQueryViewMove(s.leftColumn, s.topRow, column, row) == 0) return 2;
    s.topRow = TopRowShowing(row);
    s.leftColumn = LeftColumnShowing(column);
  }
  s.targetColumn = column;
  s.targetRow = row;
  UpdateAfterMove();
  return 0;
}

int CGridCore::MoveToRow(int row) {
  CGridSheetInfo& s = *m_sheet;
  if (s.moveSource == kMoveKeyboard && !(m_modifiers & (kMkShift | kMkControl))) {
    int c, r;
    if (s.selection.GetBlockAnchor(c, r) == 0) {
      s.currentColumn = s.targetColumn = c;
      s.currentRow = s.targetRow = r;
    }
  }
  // A sheet without rows has no row to go to.
  if (s.rows <= 0) return 1;
  if (row == s.targetRow) return 0;
  if (row >= s.rows) {
    int found = 0;
    s.DefaultSource().OnPastLastRow(s.rows, row - s.rows + 1, found);
    OnPastLastRow(s.rows, row - s.rows + 1, found);
    // A hook may have added rows.
    if (row >= s.rows) {
      if (s.targetRow == s.rows - 1) return 1;
      row = s.rows - 1;
    }
  }
  if (row < 0) row = 0;
  if (s.DefaultSource().OnQueryCellMove(s.targetColumn, s.targetRow, s.targetColumn, row) != 1) return 2;
  if (OnQueryCellMove(s.targetColumn, s.targetRow, s.targetColumn, row) == 0) return 2;
  if (!RowVisible(row)) {
    if (OnQueryViewMove(s.leftColumn, s.topRow, s.leftColumn, row) == 0) return 2;
    s.topRow = TopRowShowing(row);
  }
  s.targetRow = row;
  UpdateAfterMove();
  return 0;
}

int CGridCore::MoveToColumn(int column) {
  CGridSheetInfo& s = *m_sheet;
  if (s.columns <= 0) return 1;
  if (column == s.targetColumn) return 0;
  if (column >= s.columns) {
    if (s.targetColumn == s.columns - 1) return 1;
    column = s.columns - 1;
  }
  if (column < 0) column = 0;
  if (s.DefaultSource().OnQueryCellMove(s.targetColumn, s.targetRow, column, s.targetRow) != 1) return 2;
  if (OnQueryCellMove(s.targetColumn, s.targetRow, column, s.targetRow) == 0) return 2;
  if (!ColumnVisible(column)) {
    if (OnQueryViewMove(s.leftColumn, s.topRow, column, s.topRow) == 0) return 2;
    s.leftColumn = LeftColumnShowing(column);
  }
  s.targetColumn = column;
  UpdateAfterMove();
  return 0;
}

int CGridCore::ScrollTopRowTo(int row) {
  CGridSheetInfo& s = *m_sheet;
  row = std::clamp(row, s.lockedRows, std::max(LargestTopRow(), s.lockedRows));
  if (row == s.topRow) return 0;
  if (OnQueryViewMove(s.leftColumn, s.topRow, s.leftColumn, row) == 0) return 2;
  s.topRow = row;
  UpdateAfterMove();
  return 0;
}

int CGridCore::ScrollLeftColumnTo(int column) {
  CGridSheetInfo& s = *m_sheet;
  column = std::clamp(column, s.lockedColumns, std::max(LargestLeftColumn(), s.lockedColumns));
  if (column == s.leftColumn) return 0;
  if (OnQueryViewMove(s.leftColumn, s.topRow, column, s.topRow) == 0) return 2;
  s.leftColumn = column;
  UpdateAfterMove();
  return 0;
}

// The rows (columns) a page moves past: those that fit into the area after (before) the
// given one, hidden ones included, found from the positions instead of row by row.
int CGridCore::PageRows(int fromRow, bool down) const {
  const CGridSheetInfo& s = *m_sheet;
  const long long avail = s.cellAreaHeight - s.lockedHeight;
  if (avail < 0) return 1;
  int n;
  if (down) {
    n = s.RowAtPosition(s.RowPosition(fromRow + 1) + avail) - fromRow - 1;
  } else {
    const long long limit = s.RowPosition(fromRow) - avail;
    n = limit <= 0 ? fromRow : fromRow - s.RowAtPosition(limit - 1) - 1;
  }
  return std::max(n, 1);
}

int CGridCore::PageColumns(int fromColumn, bool right) const {
  const CGridSheetInfo& s = *m_sheet;
  const long long avail = s.cellAreaWidth - s.lockedWidth;
  if (avail < 0) return 1;
  int n;
  if (right) {
    n = s.ColumnAtPosition(s.ColumnPosition(fromColumn + 1) + avail) - fromColumn - 1;
  } else {
    const long long limit = s.ColumnPosition(fromColumn) - avail;
    n = limit <= 0 ? fromColumn : fromColumn - s.ColumnAtPosition(limit - 1) - 1;
  }
  return std::max(n, 1);
}

int CGridCore::StepRow(int how) {
  const CGridSheetInfo& s = *m_sheet;
  if (s.rows <= 0) return 1;
  const int cur = s.targetRow;
  switch (how) {
    case 0: return MoveToRow(cur - 1);
    case 1: return MoveToRow(cur + 1);
    case 2: return MoveToRow(cur - PageRows(cur, false));
    case 3: return MoveToRow(cur + PageRows(cur, true));
    case 4: return MoveToRow(0);
    case 5: return MoveToRow(s.rows - 1);
    default: return 0;
  }
}

int CGridCore::StepColumn(int how) {
  const CGridSheetInfo& s = *m_sheet;
  if (s.columns <= 0) return 1;
  const int cur = s.targetColumn;
  switch (how) {
    case 0: return MoveToColumn(cur - 1);
    case 1: return MoveToColumn(cur + 1);
    case 2: return MoveToColumn(cur - PageColumns(cur, false));
    case 3: return MoveToColumn(cur + PageColumns(cur, true));
    case 4: return MoveToColumn(0);
    case 5: return MoveToColumn(s.columns - 1);
    default: return 0;
  }
}

int CGridCore::StepTopRow(int how) {
  const CGridSheetInfo& s = *m_sheet;
  if (s.rows <= 0) return 1;
  int top = s.topRow;
  switch (how) {
    // One shown row up or down; the hidden ones between are passed over.
    case 0:
      --top;
      if (top > s.lockedRows) top = std::max(s.PreviousShownRow(top), s.lockedRows);
      return ScrollTopRowTo(top);
    case 1:
      ++top;
      if (top < s.rows - 1) top = std::min(s.NextShownRow(top), s.rows - 1);
      return ScrollTopRowTo(top);
    case 2: return ScrollTopRowTo(top - PageRows(top, false));
    case 3: return ScrollTopRowTo(top + PageRows(top, true));
    case 4: return ScrollTopRowTo(s.lockedRows);
    case 5: return ScrollTopRowTo(LargestTopRow());
    default: return 0;
  }
}

void CGridCore::PlaceFindDialog() {
  GridRect dialog, cell;
  if (!m_view || !m_view->FindDialogRect(dialog)) return;
  if (CellRectangle(m_sheet->currentColumn, m_sheet->currentRow, cell) != 0) return;
  const bool covers = dialog.left < cell.right && cell.left < dialog.right && dialog.top < cell.bottom &&
                      cell.top < dialog.bottom;
  if (!covers) return;
  // Below the cell, or above it when the cell is in the lower half of the area.
  GridRect moved = dialog;
  const int height = dialog.Height();
  if (cell.top > m_sheet->cellAreaHeight / 2) {
    moved.bottom = cell.top - 1;
    moved.top = moved.bottom - height;
  } else {
    moved.top = cell.bottom + 1;
    moved.bottom = moved.top + height;
  }
  OnPlaceFindDialog(cell, moved);
  m_view->MoveFindDialog(moved);
}

void CGridCore::UpdateAfterMove() {
  CGridSheetInfo& s = *m_sheet;
  const int oldColumn = s.previousColumn, oldRow = s.previousRow;
  if (s.multiSelectMode && !m_editActive) {
    switch (s.moveSource) {
      case kMoveKeyboard: s.selection.HandleKeyMove(s.targetColumn, s.targetRow, m_modifiers); break;
      case kMoveLeftButton: s.selection.HandleLeftClick(s.targetColumn, s.targetRow, s.mouseKeyFlags); break;
      case kMoveRightButton: s.selection.HandleRightClick(s.targetColumn, s.targetRow, s.mouseKeyFlags); break;
      case kMoveDrag: s.selection.HandleMouseDrag(s.targetColumn, s.targetRow, s.mouseKeyFlags); break;
      default: break;
    }
    int c = s.targetColumn, r = s.targetRow;
    s.selection.GetBlockAnchor(c, r);
    s.currentColumn = c;
    s.currentRow = r;
  } else {
    s.currentColumn = s.targetColumn;
    s.currentRow = s.targetRow;
  }
  const bool columnChanged = s.currentColumn != oldColumn;
  const bool rowChanged = s.currentRow != oldRow;
  if (columnChanged) {
    s.DefaultSource().OnCurrentColumnChanged(oldColumn, s.currentColumn);
    OnCurrentColumnChanged(oldColumn, s.currentColumn);
  }
  if (rowChanged) {
    s.DefaultSource().OnCurrentRowChanged(oldRow, s.currentRow);
    OnCurrentRowChanged(oldRow, s.currentRow);
  }
  if (columnChanged || rowChanged) OnCurrentCellChanged(oldColumn, s.currentColumn, oldRow, s.currentRow);
  const bool leftChanged = s.leftColumn != s.previousLeftColumn;
  const bool topChanged = s.topRow != s.previousTopRow;
  if (leftChanged) OnLeftColumnScrolled(s.previousLeftColumn, s.leftColumn);
  if (topChanged) OnTopRowScrolled(s.previousTopRow, s.topRow);
  PlaceFindDialog();
  if (columnChanged || rowChanged) {
    CGridCell oldCell, newCell;
    if (oldColumn >= 0 && oldRow >= 0 && GetMergedCell(oldColumn, oldRow, oldCell) == 0) {
      CellTypeOf(oldCell).OnCurrentCellLeave(oldColumn, oldRow, oldCell);
    }
    if (GetMergedCell(s.currentColumn, s.currentRow, newCell) == 0) {
      CellTypeOf(newCell).OnCurrentCellEnter(s.currentColumn, s.currentRow, newCell);
    }
  }
  if (m_view && s.paintEnabled && m_redraw) {
    if (leftChanged || topChanged) {
      m_view->InvalidateSection(kSectionCells);
    } else {
      if (oldColumn >= 0 && oldRow >= 0) m_view->InvalidateCells(oldColumn, oldRow, oldColumn, oldRow);
      m_view->InvalidateCells(s.currentColumn, s.currentRow, s.currentColumn, s.currentRow);
    }
    m_view->InvalidateSection(kSectionSideHeading);
    if (leftChanged) m_view->InvalidateSection(kSectionTopHeading);
    m_view->UpdateScrollBars();
  }
  s.previousColumn = s.currentColumn;
  s.previousRow = s.currentRow;
  s.previousLeftColumn = s.leftColumn;
  s.previousTopRow = s.topRow;
  s.bottomRow = LastVisibleRow();
  s.rightColumn = LastVisibleColumn();
}
