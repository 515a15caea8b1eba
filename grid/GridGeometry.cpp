// Layout of the grid's parts, cell rectangles and hit tests. Positions come from the
// sheet's prefix sums, so nothing here walks more than the visible rows and columns.
#include <algorithm>

#include "grid/GridCore.h"

void CGridCore::LayoutComponents(int width, int height) {
  CGridSheetInfo& s = *m_sheet;
  m_layoutWidth = width;
  m_layoutHeight = height;
  const long long allColumns = s.ColumnPosition(s.columns);
  const long long allRows = s.RowPosition(s.rows);
  int availW = width - s.sideHeadingWidth;
  int availH = height - s.topHeadingHeight;
  bool needH = allColumns > availW || s.tabAreaWidth > 0;
  if (needH) availH -= s.hScrollHeight;
  bool needV = allRows > availH;
  if (needV) availW -= s.vScrollWidth;
  // The vertical bar takes width from the columns: ask once more for the horizontal one.
  if (!needH && allColumns > availW) {
    needH = true;
    availH -= s.hScrollHeight;
    if (!needV && allRows > availH) needV = true;
  }
  const int vw = needV ? s.vScrollWidth : 0;
  const int hh = needH ? s.hScrollHeight : 0;
  s.tabAreaWidth = std::clamp(s.tabAreaWidth, 0, std::max(width - vw, 0));
  GridRect r[7];
  r[kSectionCells - 1] = {s.sideHeadingWidth, s.topHeadingHeight, width - vw, height - hh};
  r[kSectionTopHeading - 1] = {s.sideHeadingWidth, 0, width - vw, s.topHeadingHeight};
  r[kSectionSideHeading - 1] = {0, s.topHeadingHeight, s.sideHeadingWidth, height - hh};
  r[kSectionCorner - 1] = {0, 0, s.sideHeadingWidth, s.topHeadingHeight};
  r[kSectionHScroll - 1] = {s.tabAreaWidth, height - hh, width - vw, height};
  r[kSectionVScroll - 1] = {width - vw, 0, width, height - hh};
  r[kSectionTabs - 1] = {0, height - hh, s.tabAreaWidth, height};
  s.cellAreaWidth = std::max(r[0].Width(), 0);
  s.cellAreaHeight = std::max(r[0].Height(), 0);
  OnLayoutComponents(r);
  std::copy(std::begin(r), std::end(r), s.componentRects);
  s.largestTopRow = LargestTopRow();
  s.largestLeftColumn = LargestLeftColumn();
  s.bottomRow = LastVisibleRow();
  s.rightColumn = LastVisibleColumn();
  if (m_view && s.paintEnabled) m_view->ApplyLayout(s.componentRects);
}

int CGridCore::LastVisibleRow() const {
  const CGridSheetInfo& s = *m_sheet;
  if (s.rows == 0) return -1;
  const long long avail = s.cellAreaHeight - s.lockedHeight;
  if (avail <= 0) return std::min(s.topRow, s.rows - 1);
  return std::min(s.RowAtPosition(s.RowPosition(s.topRow) + avail - 1), s.rows - 1);
}

int CGridCore::LastVisibleColumn() const {
  const CGridSheetInfo& s = *m_sheet;
  if (s.columns == 0) return -1;
  const long long avail = s.cellAreaWidth - s.lockedWidth;
  if (avail <= 0) return std::min(s.leftColumn, s.columns - 1);
  return std::min(s.ColumnAtPosition(s.ColumnPosition(s.leftColumn) + avail - 1), s.columns - 1);
}

int CGridCore::LargestTopRow() const {
  const CGridSheetInfo& s = *m_sheet;
  if (s.rows == 0 || s.lockedRows >= s.rows) return s.lockedRows;
  const long long avail = s.cellAreaHeight - s.lockedHeight;
  if (avail <= 0) return s.rows - 1;
  const long long target = s.RowPosition(s.rows) - avail;
  if (target <= s.RowPosition(s.lockedRows)) return s.lockedRows;
  int r = s.RowAtPosition(target);
  if (s.RowPosition(r) < target) ++r;
  return std::clamp(r, s.lockedRows, s.rows - 1);
}

int CGridCore::LargestLeftColumn() const {
  const CGridSheetInfo& s = *m_sheet;
  if (s.columns == 0 || s.lockedColumns >= s.columns) return s.lockedColumns;
  const long long avail = s.cellAreaWidth - s.lockedWidth;
  if (avail <= 0) return s.columns - 1;
  const long long target = s.ColumnPosition(s.columns) - avail;
  if (target <= s.ColumnPosition(s.lockedColumns)) return s.lockedColumns;
  int c = s.ColumnAtPosition(target);
  if (s.ColumnPosition(c) < target) ++c;
  return std::clamp(c, s.lockedColumns, s.columns - 1);
}

bool CGridCore::RowVisible(int row) const {
  const CGridSheetInfo& s = *m_sheet;
  if (row < s.lockedRows) return true;
  if (row < s.topRow) return false;
  return s.RowPosition(row + 1) - s.RowPosition(s.topRow) <= s.cellAreaHeight - s.lockedHeight;
}

bool CGridCore::ColumnVisible(int column) const {
  const CGridSheetInfo& s = *m_sheet;
  if (column < s.lockedColumns) return true;
  if (column < s.leftColumn) return false;
  return s.ColumnPosition(column + 1) - s.ColumnPosition(s.leftColumn) <= s.cellAreaWidth - s.lockedWidth;
}

int CGridCore::TopRowShowing(int row) const {
  const CGridSheetInfo& s = *m_sheet;
  if (row < s.lockedRows) return s.topRow;
  if (row < s.topRow) return row;
  const long long target = s.RowPosition(row + 1) - (s.cellAreaHeight - s.lockedHeight);
  int t = s.RowAtPosition(target);
  if (s.RowPosition(t) < target) ++t;
  return std::clamp(t, s.lockedRows, row);
}

int CGridCore::LeftColumnShowing(int column) const {
  const CGridSheetInfo& s = *m_sheet;
  if (column < s.lockedColumns) return s.leftColumn;
  if (column < s.leftColumn) return column;
  const long long target = s.ColumnPosition(column + 1) - (s.cellAreaWidth - s.lockedWidth);
  int l = s.ColumnAtPosition(target);
  if (s.ColumnPosition(l) < target) ++l;
  return std::clamp(l, s.lockedColumns, column);
}

int CGridCore::HitTestCell(int x, int y, int& column, int& row, GridRect& rect) {
  const CGridSheetInfo& s = *m_sheet;
  if (x < 0 || y < 0 || x >= s.cellAreaWidth || y >= s.cellAreaHeight) return 1;
  long long cx = x < s.lockedWidth ? x : s.ColumnPosition(s.leftColumn) + (x - s.lockedWidth);
  long long ry = y < s.lockedHeight ? y : s.RowPosition(s.topRow) + (y - s.lockedHeight);
  const int c = s.ColumnAtPosition(cx);
  const int r = s.RowAtPosition(ry);
  if (c >= s.columns || r >= s.rows) return 1;
  column = c;
  row = r;
  CellRectangle(c, r, rect);
  return 0;
}

int CGridCore::CellRectangle(int column, int row, GridRect& rect) {
  const CGridSheetInfo& s = *m_sheet;
  int endColumn = column, endRow = row;
  if (s.joins && column >= 0 && row >= 0) {
    int sc, sr, ec, er;
    if (JoinBounds(column, row, sc, sr, ec, er) == 0) {
      column = sc;
      row = sr;
      endColumn = ec;
      endRow = er;
    }
  }
  const auto xOf = [&](int c) -> long long {
    if (c < 0) {
      long long x = 0;
      for (int i = GetSideHeadingColumnCount() - 1; i > -1 - c; --i) x += s.sideHeadingColumnWidths[static_cast<size_t>(i)];
      return x;
    }
    if (c < s.lockedColumns) return s.ColumnPosition(c);
    return s.lockedWidth + s.ColumnPosition(c) - s.ColumnPosition(s.leftColumn);
  };
  const auto yOf = [&](int r) -> long long {
    if (r < 0) {
      long long y = 0;
      for (int i = GetTopHeadingRowCount() - 1; i > -1 - r; --i) y += s.topHeadingRowHeights[static_cast<size_t>(i)];
      return y;
    }
    if (r < s.lockedRows) return s.RowPosition(r);
    return s.lockedHeight + s.RowPosition(r) - s.RowPosition(s.topRow);
  };
  if (column >= s.columns || row >= s.rows || column < -GetSideHeadingColumnCount() || row < -GetTopHeadingRowCount()) {
    return 1;
  }
  rect.left = static_cast<int>(xOf(column));
  rect.top = static_cast<int>(yOf(row));
  rect.right = rect.left + static_cast<int>(xOf(endColumn) - xOf(column)) + GetColumnWidth(endColumn);
  rect.bottom = rect.top + static_cast<int>(yOf(endRow) - yOf(row)) + GetRowHeight(endRow);
  return 0;
}

int CGridCore::BlockRectangle(int startColumn, int startRow, int endColumn, int endRow, GridRect& rect) {
  GridRect a, b;
  if (CellRectangle(startColumn, startRow, a) || CellRectangle(endColumn, endRow, b)) return 1;
  rect = {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
  return 0;
}

int CGridCore::JoinOrigin(int& column, int& row) {
  int sc, sr, ec, er;
  const int r = JoinBounds(column, row, sc, sr, ec, er);
  if (r == 0) {
    column = sc;
    row = sr;
  }
  return r;
}

int CGridCore::JoinBounds(int column, int row, int& startColumn, int& startRow, int& endColumn, int& endRow) {
  if (!m_sheet->joins) return 1;
  CGridCell cell;
  if (GetMergedCell(column, row, cell) != 0 || !cell.GetJoin(startColumn, startRow, endColumn, endRow)) return 2;
  return 0;
}

int CGridCore::StretchColumnsToWidth(int firstColumn, int lastColumn) {
  if (firstColumn < 0 || lastColumn < firstColumn || lastColumn >= m_sheet->columns) return 1;
  const int n = lastColumn - firstColumn + 1;
  const int each = m_sheet->cellAreaWidth / n;
  for (int c = firstColumn; c <= lastColumn; ++c) {
    // The last column takes what the division leaves.
    SetColumnWidth(c, c == lastColumn ? m_sheet->cellAreaWidth - each * (n - 1) : each);
  }
  RedrawAll();
  return 0;
}

int CGridCore::AutoSizeColumns(int firstColumn, int lastColumn, int rowLimit, int flags) {
  if (firstColumn < -GetSideHeadingColumnCount()) return 1;
  if (lastColumn >= m_sheet->columns) return 2;
  if (firstColumn > lastColumn) return 3;
  std::vector<int> needed(static_cast<size_t>(lastColumn - firstColumn + 1), 3);
  const int firstRow = (flags & 1) ? -GetTopHeadingRowCount() : 0;
  int examined = 0;
  for (int r = firstRow; r < m_sheet->rows && examined < rowLimit; ++examined) {
    for (int c = firstColumn; c <= lastColumn; ++c) {
      CGridCell cell;
      if (GetMergedCell(c, r, cell) != 0 || cell.IsSet(gridcell::kJoin)) continue;
      GridPoint size{c < 0 ? 0 : GetColumnWidth(c), GetRowHeight(r)};
      size = CellTypeOf(cell).MeasureCell(size, cell);
      int& n = needed[static_cast<size_t>(c - firstColumn)];
      n = std::max(n, size.x);
    }
    // Painting order: after the locked rows the walk goes on at the top row.
    ++r;
    if (r >= 0 && r == m_sheet->lockedRows && m_sheet->topRow > r) r = m_sheet->topRow;
  }
  const int limit = m_sheet->cellAreaWidth > 0 ? m_sheet->cellAreaWidth - m_sheet->vScrollWidth : 300;
  int sideSum = 0;
  for (int c = firstColumn; c <= lastColumn; ++c) {
    int w = needed[static_cast<size_t>(c - firstColumn)];
    w = w <= limit ? w + 2 : limit;
    if (c >= 0)
      for (int row : VisibleRows()) CellTypeAt(c, row).OnColumnWidthChanged(c, row, w);
    SetColumnWidth(c, w);
    if (c < 0) sideSum += w;
  }
  if (sideSum > 0) SetSideHeadingWidth(sideSum);
  return 0;
}

void CGridCore::VerticalScrollRange(int& minimum, int& maximum, int& page) const {
  const CGridSheetInfo& s = *m_sheet;
  const int largest = LargestTopRow();
  if (largest - s.lockedRows <= 1000) {
    minimum = s.lockedRows;
    page = std::max(s.cellAreaHeight / std::max(s.defaultRowHeight, 1), 1);
    maximum = largest + page - 1;
  } else {
    minimum = 0;
    maximum = 1000;
    page = 1;
  }
}

int CGridCore::RowFromScrollPosition(int position) const {
  const CGridSheetInfo& s = *m_sheet;
  const int largest = LargestTopRow();
  if (largest - s.lockedRows <= 1000) return std::clamp(position, s.lockedRows, std::max(largest, s.lockedRows));
  position = std::clamp(position, 0, 1000);
  return std::max(static_cast<int>(static_cast<long long>(position) * largest / 1000), s.lockedRows);
}
