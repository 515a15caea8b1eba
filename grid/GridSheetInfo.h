#pragma once
// The settings of one sheet: dimensions, sizes, default cells, position, selection and
// its own cell store. Row positions cost nothing to find under uniform heights and one
// binary search otherwise.
#include <memory>
#include <vector>

#include "grid/GridCell.h"
#include "grid/GridMem.h"
#include "grid/GridMultiSelect.h"

struct CGridColumnRecord {
  int width = 75;
  CGridDataSource* source = nullptr;
  CGridCell defaultCell;
  int translated = 0;
};

class CGridSheetInfo {
 public:
  static constexpr int kMaxIndividualRows = 64000;

  CGridSheetInfo();

  int columns = 0;
  int currentColumn = -1, currentRow = -1;
  int previousColumn = -1, previousRow = -1;
  int targetColumn = -1, targetRow = -1;
  int previousLeftColumn = 0, previousTopRow = 0;
  int leftColumn = 0, topRow = 0;
  int defaultColumnWidth = 75;
  int defaultRowHeight = 20;
  int rows = 0;
  std::vector<CGridColumnRecord> columnRecords;
  std::vector<int> rowHeights;
  bool uniformRowHeight = false;
  std::vector<int> topHeadingRowHeights{20};
  std::vector<int> sideHeadingColumnWidths{25};
  int topHeadingHeight = 20;
  int sideHeadingWidth = 40;
  int vScrollWidth = 16;
  int hScrollHeight = 16;
  int lockedColumns = 0, lockedRows = 0;
  int lockedWidth = 0, lockedHeight = 0;
  CGridCell gridDefaultCell;
  CGridCell headingDefaultCell;
  CGridMem memorySource;
  // The store of columns without their own and the one asked the store's hooks: the
  // sheet's memory store unless a host puts another in its place.
  CGridDataSource& DefaultSource() {
    if (replacedSource) return *replacedSource;
    return memorySource;
  }
  const CGridDataSource& DefaultSource() const {
    if (replacedSource) return *replacedSource;
    return memorySource;
  }
  CGridDataSource* replacedSource = nullptr;
  CGridMultiSelect selection;
  GridPen gridLinePen{Rgb(220, 220, 220), 1};
  int rightColumn = 0, bottomRow = 0;
  int largestLeftColumn = 0, largestTopRow = 0;
  int cellAreaWidth = 0, cellAreaHeight = 0;
  int tabAreaWidth = 0;
  GridRect componentRects[7];
  int doubleBuffer = 0;
  int multiSelectMode = 0;
  int highlightWholeRow = 0;
  int highlightOption = 1;
  int borderDepth = 1;
  int paintEnabled = 0;
  int popupMenu = 0;
  int toolTips = 0;
  int vScrollHints = 0, hScrollHints = 0;
  int headingSizing = 1;
  int bestFit = 1;
  int joins = 1;
  int columnDragging = 0;
  int textOverflow = 1;
  int gridLines = 1;
  int vScrollMode = 0;
  int hTrackMode = 0;
  int dragOntoLastLine = 1;
  int ballisticExponent = 0, ballisticDelay = 200;
  int keyAccelDivisor = 0, keyAccelDelay = 0;
  int moveSource = 0, mouseKeyFlags = 0;
  int defaultFont = -1;
  int textMargin = 4;
  int cancelOnFocusLoss = 0;

  // Geometry of data rows and columns (locked ones included, positions from 0).
  int RowHeight(int row) const;
  int ColumnWidth(int column) const;
  // Top of the row counted from row 0 (not scrolled).
  long long RowPosition(int row) const;
  long long ColumnPosition(int column) const;
  // The row (column) that covers a position counted from row (column) 0; the count when
  // the position lies beyond the last one.
  int RowAtPosition(long long position) const;
  int ColumnAtPosition(long long position) const;
  // The first row (column) at or after the given one that has a height (width), the count
  // when none is left; the last one at or before it, -1 when none. A run of hidden rows is
  // stepped over in one search, however long it is.
  int NextShownRow(int row) const;
  int PreviousShownRow(int row) const;
  int NextShownColumn(int column) const;
  // Reads of row heights, counted so that tests can hold a paint or a scroll to the rows
  // it shows.
  mutable long long rowHeightReads = 0;
  // Recomputes the sums of sizes after a count change or a change of the default height.
  void RecomputeRows();
  // Gives one row its height (all rows under uniform heights) and corrects the sums in
  // log2(rows) steps, so that sizing a row, or giving each row its height in turn, never
  // sums all rows again.
  void SetOneRowHeight(int row, int height);
  void RecomputeColumns();
  void RecomputeLocked();

 private:
  // Row heights summed in a binary indexed (Fenwick) tree, empty under uniform heights:
  // a row's top, the row at a position and a change of one height each walk log2(rows)
  // entries.
  std::vector<long long> m_rowTree;
  std::vector<long long> m_columnLefts;
};
