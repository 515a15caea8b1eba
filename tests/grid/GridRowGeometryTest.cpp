// Row geometry at its cost: steps and pages over hidden rows and columns land where a walk
// line by line lands, a run of hidden rows costs one search, not a read per row, and
// changing one row's height does not sum all the others again; positions follow every change.
#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingGrid.h"

namespace {

// What a page moves past, found the slow way: line by line, hidden ones included.
int WalkPage(const CGridSheetInfo& s, int from, bool forward, bool rows) {
  const long long avail = rows ? s.cellAreaHeight - s.lockedHeight : s.cellAreaWidth - s.lockedWidth;
  const int count = rows ? s.rows : s.columns;
  long long sum = 0;
  int n = 0;
  for (int i = from;;) {
    i += forward ? 1 : -1;
    if (i < 0 || i >= count) break;
    sum += rows ? s.RowHeight(i) : s.ColumnWidth(i);
    if (sum > avail) break;
    ++n;
  }
  return std::max(n, 1);
}

// Heights (widths) with single hidden lines and runs of them.
int Size(int i) {
  const unsigned x = static_cast<unsigned>(i) * 2654435761u >> 7;
  if ((i / 9) % 4 == 1) return 0;
  return x % 5 == 0 ? 0 : 4 + static_cast<int>(x % 37);
}

}  // namespace

TEST(GridRowGeometry, StepsAndPagesLandWhereALineByLineWalkLands) {
  RecordingGrid g(120, 700);
  for (int r = 0; r < 700; ++r) g.SetRowHeight(r, Size(r));
  for (int c = 0; c < 120; ++c) g.SetColumnWidth(c, Size(c + 3) * 3);
  g.SetLockedRowCount(3);
  const CGridSheetInfo& s = g.Sheet();
  const int largest = g.LargestTopRow();
  for (int top = s.lockedRows; top <= largest; ++top) {
    for (int how = 0; how < 4; ++how) {
      g.ScrollTopRowTo(top);
      ASSERT_EQ(s.topRow, top);
      int want = top;
      if (how == 0) {
        do --want;
        while (want > s.lockedRows && s.RowHeight(want) == 0);
      } else if (how == 1) {
        do ++want;
        while (want < s.rows - 1 && s.RowHeight(want) == 0);
      } else {
        want = how == 2 ? top - WalkPage(s, top, false, true) : top + WalkPage(s, top, true, true);
      }
      want = std::clamp(want, s.lockedRows, largest);
      g.StepTopRow(how);
      EXPECT_EQ(s.topRow, want) << "top row " << top << " step " << how;
    }
  }
  for (int column = 0; column < s.columns; ++column) {
    for (int how = 2; how < 4; ++how) {
      g.MoveToCell(column, 5);
      ASSERT_EQ(s.targetColumn, column);
      int want = how == 2 ? column - WalkPage(s, column, false, false) : column + WalkPage(s, column, true, false);
      want = std::clamp(want, 0, s.columns - 1);
      g.StepColumn(how);
      EXPECT_EQ(s.targetColumn, want) << "column " << column << " step " << how;
    }
  }
  for (int row = 0; row < s.rows; ++row) {
    for (int how = 2; how < 4; ++how) {
      g.MoveToCell(2, row);
      ASSERT_EQ(s.targetRow, row);
      int want = how == 2 ? row - WalkPage(s, row, false, true) : row + WalkPage(s, row, true, true);
      g.StepRow(how);
      EXPECT_EQ(s.targetRow, std::clamp(want, 0, s.rows - 1)) << "row " << row << " step " << how;
    }
  }
}

TEST(GridRowGeometry, ARunOfHiddenRowsIsPassedInOneSearch) {
  // Rows come with the default height: 0 hides all of them, then a few are shown.
  RecordingGrid g(5, 0);
  g.SetDefaultRowHeight(0);
  g.SetRowCount(60000);
  g.SetDefaultRowHeight(20);
  for (int r = 0; r < 15; ++r) g.SetRowHeight(r, 20);
  for (int r = 59985; r < 60000; ++r) g.SetRowHeight(r, r == 59990 ? 0 : 20);
  g.LayoutComponents(40 + 5 * 75 + 16, 20 + 10 * 20 + 16);
  const CGridSheetInfo& s = g.Sheet();
  EXPECT_EQ(s.NextShownRow(15), 59985);
  EXPECT_EQ(s.NextShownRow(59990), 59991);
  EXPECT_EQ(s.PreviousShownRow(59984), 14);
  EXPECT_EQ(s.PreviousShownRow(59990), 59989);

  g.ScrollTopRowTo(14);
  s.rowHeightReads = 0;
  EXPECT_EQ(g.StepTopRow(1), 0);
  EXPECT_EQ(s.topRow, 59985);
  EXPECT_EQ(g.StepTopRow(0), 0);
  EXPECT_EQ(s.topRow, 14);
  EXPECT_EQ(g.StepTopRow(3), 0);  // a page down reaches the last page
  EXPECT_EQ(s.topRow, g.LargestTopRow());
  EXPECT_EQ(s.topRow, 59989);
  g.MoveToCell(0, 13);
  EXPECT_EQ(g.StepRow(3), 0);  // ten shown rows further, one of them before the run
  EXPECT_EQ(s.targetRow, 59994);
  EXPECT_EQ(g.StepRow(2), 0);
  EXPECT_EQ(s.targetRow, 13);
  EXPECT_LT(s.rowHeightReads, 200);

  // Nothing shown at all.
  RecordingGrid none(5, 0);
  none.SetDefaultRowHeight(0);
  none.SetRowCount(1000);
  EXPECT_EQ(none.Sheet().NextShownRow(0), 1000);
  EXPECT_EQ(none.Sheet().PreviousShownRow(999), -1);
  EXPECT_EQ(none.StepTopRow(1), 0);
}

TEST(GridRowGeometry, ChangingOneHeightDoesNotSumEveryRowAgain) {
  RecordingGrid g(5, 20000);
  const CGridSheetInfo& s = g.Sheet();
  s.rowHeightReads = 0;
  long long total = 0;
  for (int r = 0; r < 20000; ++r) {
    g.SetRowHeight(r, 10 + r % 7);
    total += 10 + r % 7;
  }
  EXPECT_EQ(s.RowPosition(20000), total);
  EXPECT_LT(s.rowHeightReads, 3 * 20000);

  // Sizing a row live: its neighbours are placed again in a few steps.
  s.rowHeightReads = 0;
  g.RowSizingStep(3, 50);
  EXPECT_EQ(s.RowPosition(5), 10 + 11 + 12 + 50 + 14);
  int c, r;
  GridRect rect;
  ASSERT_EQ(g.HitTestCell(10, 10 + 11 + 12 + 49, c, r, rect), 0);
  EXPECT_EQ(r, 3);
  EXPECT_EQ(rect.Height(), 50);
  EXPECT_LT(s.rowHeightReads, 100);
  EXPECT_EQ(s.RowPosition(20000), total + 50 - 13);
  EXPECT_EQ(s.RowAtPosition(total + 50 - 13 - 1), 19999);
}

TEST(GridRowGeometry, PositionsFollowEveryChangeOfAHeight) {
  RecordingGrid g(3, 1000);
  const CGridSheetInfo& s = g.Sheet();
  for (int i = 0; i < 3000; ++i) g.SetRowHeight((i * 7919) % 1000, Size(i));
  g.RowSizingStep(999, 0);
  g.RowSizingStep(0, 0);
  long long top = 0;
  for (int r = 0; r <= 1000; ++r) {
    ASSERT_EQ(s.RowPosition(r), top) << "row " << r;
    if (r == 1000) break;
    const int h = s.RowHeight(r);
    // The row at its own top is itself unless it is hidden, then the next shown one.
    if (h > 0) {
      EXPECT_EQ(s.RowAtPosition(top), r);
      EXPECT_EQ(s.RowAtPosition(top + h - 1), r);
    } else {
      int next = r;
      while (next < 1000 && s.RowHeight(next) == 0) ++next;
      EXPECT_EQ(s.RowAtPosition(top), next);
      EXPECT_EQ(s.NextShownRow(r), next);
    }
    top += h;
  }
  EXPECT_EQ(s.RowAtPosition(top), 1000);
}
