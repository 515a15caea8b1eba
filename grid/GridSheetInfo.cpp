#include "grid/GridSheetInfo.h"

#include <algorithm>

CGridSheetInfo::CGridSheetInfo() {
  headingDefaultCell.SetBackColour(SysColour(kColBtnFace));
  headingDefaultCell.SetBorderStyle(0x2000);
  headingDefaultCell.SetAlignment(gridcell::kCentre | gridcell::kVCentre);
  headingDefaultCell.SetVisualPart(128);
  RecomputeRows();
  RecomputeColumns();
}

int CGridSheetInfo::RowHeight(int row) const {
  ++rowHeightReads;
  if (row < 0 || row >= rows) return 0;
  if (uniformRowHeight) return defaultRowHeight;
  return row < static_cast<int>(rowHeights.size()) ? rowHeights[static_cast<size_t>(row)] : defaultRowHeight;
}

int CGridSheetInfo::ColumnWidth(int column) const {
  if (column < 0 || column >= columns) return 0;
  return columnRecords[static_cast<size_t>(column)].width;
}

long long CGridSheetInfo::RowPosition(int row) const {
  if (row <= 0) return 0;
  if (row > rows) row = rows;
  if (uniformRowHeight || m_rowTree.empty()) return static_cast<long long>(row) * defaultRowHeight;
  long long top = 0;
  for (int i = row; i > 0; i -= i & -i) top += m_rowTree[static_cast<size_t>(i)];
  return top;
}

long long CGridSheetInfo::ColumnPosition(int column) const {
  if (column <= 0) return 0;
  if (column > columns) column = columns;
  return m_columnLefts[static_cast<size_t>(column)];
}

void CGridSheetInfo::RecomputeRows() {
  m_rowTree.clear();
  if (!uniformRowHeight) {
    // Each entry sums the heights of the rows (i - lowest bit of i, i].
    m_rowTree.assign(static_cast<size_t>(rows) + 1, 0);
    for (int i = 1; i <= rows; ++i) {
      m_rowTree[static_cast<size_t>(i)] += RowHeight(i - 1);
      const int parent = i + (i & -i);
      if (parent <= rows) m_rowTree[static_cast<size_t>(parent)] += m_rowTree[static_cast<size_t>(i)];
    }
  }
  RecomputeLocked();
}

void CGridSheetInfo::SetOneRowHeight(int row, int height) {
  if (uniformRowHeight) {
    defaultRowHeight = height;
    RecomputeRows();
    return;
  }
  if (row < 0 || row >= rows) return;
  if (rowHeights.size() < static_cast<size_t>(rows)) rowHeights.resize(static_cast<size_t>(rows), defaultRowHeight);
  int& stored = rowHeights[static_cast<size_t>(row)];
  const long long delta = static_cast<long long>(height) - stored;
  stored = height;
  if (!m_rowTree.empty()) {
    for (int i = row + 1; i <= rows; i += i & -i) m_rowTree[static_cast<size_t>(i)] += delta;
  }
  RecomputeLocked();
}

void CGridSheetInfo::RecomputeColumns() {
  m_columnLefts.assign(static_cast<size_t>(columns) + 1, 0);
  long long sum = 0;
  for (int c = 0; c < columns; ++c) {
    m_columnLefts[static_cast<size_t>(c)] = sum;
    sum += columnRecords[static_cast<size_t>(c)].width;
  }
  m_columnLefts[static_cast<size_t>(columns)] = sum;
  RecomputeLocked();
}

void CGridSheetInfo::RecomputeLocked() {
  lockedHeight = static_cast<int>(RowPosition(lockedRows));
  lockedWidth = m_columnLefts.empty() ? 0 : static_cast<int>(ColumnPosition(lockedColumns));
}

int CGridSheetInfo::RowAtPosition(long long position) const {
  if (position < 0) return 0;
  if (uniformRowHeight || m_rowTree.empty()) {
    if (defaultRowHeight <= 0) return rows;
    const long long r = position / defaultRowHeight;
    return r >= rows ? rows : static_cast<int>(r);
  }
  // The last row whose top is at or before the position and that has a height: the
  // longest run of rows from row 0 whose heights sum to no more than the position.
  int r = 0;
  long long rest = position;
  int step = 1;
  while (step * 2 <= rows) step *= 2;
  for (; step > 0; step /= 2) {
    if (r + step <= rows && m_rowTree[static_cast<size_t>(r + step)] <= rest) {
      r += step;
      rest -= m_rowTree[static_cast<size_t>(r)];
    }
  }
  return r >= rows ? rows : r;
}

int CGridSheetInfo::ColumnAtPosition(long long position) const {
  if (position < 0) return 0;
  auto it = std::upper_bound(m_columnLefts.begin(), m_columnLefts.end(), position);
  const int c = static_cast<int>(it - m_columnLefts.begin()) - 1;
  return c >= columns ? columns : std::max(c, 0);
}

// A hidden row starts where the next shown one does, so the search for its top lands on
// that row.
int CGridSheetInfo::NextShownRow(int row) const {
  row = std::max(row, 0);
  if (row >= rows) return rows;
  if (RowHeight(row) > 0) return row;
  return RowAtPosition(RowPosition(row));
}

int CGridSheetInfo::PreviousShownRow(int row) const {
  row = std::min(row, rows - 1);
  if (row < 0) return -1;
  if (RowHeight(row) > 0) return row;
  const long long top = RowPosition(row);
  return top > 0 ? RowAtPosition(top - 1) : -1;
}

int CGridSheetInfo::NextShownColumn(int column) const {
  column = std::max(column, 0);
  if (column >= columns) return columns;
  if (ColumnWidth(column) > 0) return column;
  return ColumnAtPosition(ColumnPosition(column));
}
