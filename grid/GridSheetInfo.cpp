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
  if (uniformRowHeight || m_rowTops.empty()) return static_cast<long long>(row) * defaultRowHeight;
  return m_rowTops[static_cast<size_t>(row)];
}

long long CGridSheetInfo::ColumnPosition(int column) const {
  if (column <= 0) return 0;
  if (column > columns) column = columns;
  return m_columnLefts[static_cast<size_t>(column)];
}

void CGridSheetInfo::RecomputeRows() {
  m_rowTops.clear();
  if (!uniformRowHeight) {
    m_rowTops.resize(static_cast<size_t>(rows) + 1);
    long long sum = 0;
    for (int r = 0; r < rows; ++r) {
      m_rowTops[static_cast<size_t>(r)] = sum;
      sum += RowHeight(r);
    }
    m_rowTops[static_cast<size_t>(rows)] = sum;
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
  if (uniformRowHeight || m_rowTops.empty()) {
    if (defaultRowHeight <= 0) return rows;
    const long long r = position / defaultRowHeight;
    return r >= rows ? rows : static_cast<int>(r);
  }
  // The last row whose top is at or before the position and that has a height.
  auto it = std::upper_bound(m_rowTops.begin(), m_rowTops.end(), position);
  const int r = static_cast<int>(it - m_rowTops.begin()) - 1;
  return r >= rows ? rows : std::max(r, 0);
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
