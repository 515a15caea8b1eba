#include "grid/GridMultiSelect.h"

#include <algorithm>

#include "grid/GridCore.h"

int CGridMultiSelect::LastColumn() const { return m_control ? m_control->GetColumnCount() - 1 : 0; }

void CGridMultiSelect::Normalise(Block& b) const {
  b.left = std::min(b.startColumn, b.endColumn);
  b.right = std::max(b.startColumn, b.endColumn);
  b.top = std::min(b.startRow, b.endRow);
  b.bottom = std::max(b.startRow, b.endRow);
  if (m_mode & kRowMode) {
    // Whole rows end at the last column that exists.
    b.left = 0;
    b.right = std::max(LastColumn(), 0);
  }
}

void CGridMultiSelect::Report(const Block& b) {
  if (m_control) m_control->OnSelectionBlockChanged(b.left, b.top, b.right, b.bottom, GetBlockCount());
}

void CGridMultiSelect::RedrawUnion() {
  int l, t, r, b;
  if (m_control && GetUnionRect(l, t, r, b) == 0) m_control->InvalidateCells(l, t, r, b);
}

void CGridMultiSelect::RemoveAllBlocks() {
  m_blocks.clear();
  m_current = -1;
  m_justStarted = false;
  m_lastColumn = m_lastRow = -1;
}

void CGridMultiSelect::BeginBlock(int column, int row) {
  Block b{column, row, column, row, 0, 0, 0, 0, true};
  Normalise(b);
  m_blocks.push_back(b);
  m_current = static_cast<int>(m_blocks.size()) - 1;
  m_justStarted = true;
  Report(b);
  if (m_control) m_control->InvalidateCells(b.left, b.top, b.right, b.bottom);
}

int CGridMultiSelect::MoveBlockEnd(int column, int row) {
  if (m_current < 0) return 1;
  Block& b = m_blocks[static_cast<size_t>(m_current)];
  const Block old = b;
  b.endColumn = column;
  b.endRow = row;
  Normalise(b);
  b.selected = true;
  m_justStarted = false;
  Report(b);
  if (m_control) {
    m_control->InvalidateCells(std::min(old.left, b.left), std::min(old.top, b.top), std::max(old.right, b.right),
                               std::max(old.bottom, b.bottom));
  }
  return 0;
}

void CGridMultiSelect::HandleLeftClick(int column, int row, int flags) {
  m_lastColumn = column;
  m_lastRow = row;
  if (flags & 8) {
    BeginBlock(column, row);
  } else if (!(flags & 4)) {
    RedrawUnion();
    RemoveAllBlocks();
    BeginBlock(column, row);
  } else {
    MoveBlockEnd(column, row);
  }
  m_lastColumn = column;
  m_lastRow = row;
}

void CGridMultiSelect::HandleRightClick(int column, int row, int flags) {
  if (IsCellSelected(column, row)) return;
  RedrawUnion();
  RemoveAllBlocks();
  BeginBlock(column, row);
  m_lastColumn = column;
  m_lastRow = row;
}

void CGridMultiSelect::HandleKeyMove(int column, int row, int flags) {
  if (column == m_lastColumn && row == m_lastRow) return;
  if (flags & 4) {
    MoveBlockEnd(column, row);
  } else if (flags & 8) {
    BeginBlock(column, row);
  } else {
    RedrawUnion();
    RemoveAllBlocks();
    BeginBlock(column, row);
  }
  m_lastColumn = column;
  m_lastRow = row;
}

void CGridMultiSelect::HandleMouseDrag(int column, int row, int flags) {
  if (column == m_lastColumn && row == m_lastRow) return;
  MoveBlockEnd(column, row);
  m_lastColumn = column;
  m_lastRow = row;
}

void CGridMultiSelect::ToggleCellSelection(int column, int row) {
  for (Block& b : m_blocks) {
    if (b.left == column && b.right == column && b.top == row && b.bottom == row && !(m_mode & kRowMode)) {
      b.selected = !b.selected;
      Report(b);
      if (m_control) m_control->InvalidateCells(column, row, column, row);
      return;
    }
  }
  const bool was = IsCellSelected(column, row) != 0;
  BeginBlock(column, row);
  m_blocks.back().selected = !was;
}

int CGridMultiSelect::GetBlockAnchor(int& column, int& row) const {
  if (m_current < 0) return 1;
  column = m_blocks[static_cast<size_t>(m_current)].startColumn;
  row = m_blocks[static_cast<size_t>(m_current)].startRow;
  return 0;
}

int CGridMultiSelect::GetActiveBlockRect(int& left, int& top, int& right, int& bottom) const {
  if (m_current < 0) return 1;
  const Block& b = m_blocks[static_cast<size_t>(m_current)];
  left = b.left;
  top = b.top;
  right = b.right;
  bottom = b.bottom;
  return 0;
}

int CGridMultiSelect::GetUnionRect(int& left, int& top, int& right, int& bottom) const {
  if (m_blocks.empty()) return 1;
  left = top = 0x7fffffff;
  right = bottom = -0x7fffffff;
  for (const Block& b : m_blocks) {
    left = std::min(left, b.left);
    top = std::min(top, b.top);
    right = std::max(right, b.right);
    bottom = std::max(bottom, b.bottom);
  }
  return 0;
}

int CGridMultiSelect::IsCellSelected(int column, int row, int* blockIndex) const {
  const int n = GetBlockCount();
  const bool first = (m_mode & kFirstBlockDecides) != 0;
  for (int k = 0; k < n; ++k) {
    const int i = first ? k : n - 1 - k;
    const Block& b = m_blocks[static_cast<size_t>(i)];
    if (column >= b.left && column <= b.right && row >= b.top && row <= b.bottom) {
      if (blockIndex) *blockIndex = i;
      return b.selected ? 1 : 0;
    }
  }
  return 0;
}

int CGridMultiSelect::ColumnHasSelection(int column) const {
  const int n = GetBlockCount();
  const bool first = (m_mode & kFirstBlockDecides) != 0;
  for (int k = 0; k < n; ++k) {
    const Block& b = m_blocks[static_cast<size_t>(first ? k : n - 1 - k)];
    if (column >= b.left && column <= b.right) return b.selected ? 1 : 0;
  }
  return 0;
}

int CGridMultiSelect::RowHasSelection(int row) const {
  const int n = GetBlockCount();
  const bool first = (m_mode & kFirstBlockDecides) != 0;
  for (int k = 0; k < n; ++k) {
    const Block& b = m_blocks[static_cast<size_t>(first ? k : n - 1 - k)];
    if (row >= b.top && row <= b.bottom) return b.selected ? 1 : 0;
  }
  return 0;
}

void CGridMultiSelect::SetSelectionMode(int mode) {
  RemoveAllBlocks();
  m_mode = mode;
}

int CGridMultiSelect::FirstSelectedCell(int& column, int& row) {
  m_enumerating = true;
  if (m_blocks.empty()) {
    m_enumCurrentOnly = true;
    if (!m_control) return 1;
    column = m_control->Sheet().currentColumn;
    row = m_control->Sheet().currentRow;
    return 0;
  }
  m_enumCurrentOnly = false;
  GetUnionRect(m_enumLeft, m_enumTop, m_enumRight, m_enumBottom);
  m_nextColumn = m_enumLeft;
  m_nextRow = m_enumTop;
  return NextSelectedCell(column, row);
}

int CGridMultiSelect::NextSelectedCell(int& column, int& row) {
  if (!m_enumerating || m_enumCurrentOnly) {
    m_enumerating = false;
    return 1;
  }
  const bool rows = (m_mode & kRowMode) != 0;
  while (m_nextRow <= m_enumBottom) {
    const int c = m_nextColumn, r = m_nextRow;
    if (rows || ++m_nextColumn > m_enumRight) {
      m_nextColumn = m_enumLeft;
      ++m_nextRow;
    }
    if (IsCellSelected(c, r)) {
      column = c;
      row = r;
      return 0;
    }
  }
  m_enumerating = false;
  return 1;
}

int CGridMultiSelect::FirstBlock(int& left, int& top, int& right, int& bottom) {
  m_nextBlock = 0;
  return NextBlock(left, top, right, bottom);
}

int CGridMultiSelect::NextBlock(int& left, int& top, int& right, int& bottom) {
  if (m_nextBlock >= m_blocks.size()) return 1;
  const Block& b = m_blocks[m_nextBlock++];
  left = b.left;
  top = b.top;
  right = b.right;
  bottom = b.bottom;
  return 0;
}
