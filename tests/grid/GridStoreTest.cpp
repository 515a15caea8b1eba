// The memory store: storage rules, find and the stable sort, through a grid core.
#include <gtest/gtest.h>

#include "grid/GridCore.h"

namespace {
struct Grid : CGridCore {
  Grid(int columns, int rows) {
    SetColumnCount(columns);
    SetRowCount(rows);
  }
  CGridMem& Mem() { return Sheet().memorySource; }
};
}  // namespace

TEST(GridStore, StorageRules) {
  Grid g(3, 10);
  CGridCell cell;
  cell.SetBackColour(Rgb(9, 9, 9));
  EXPECT_EQ(g.Mem().GetCell(0, 0, cell), 1);
  EXPECT_EQ(cell.GetBackColour(), Rgb(9, 9, 9));  // untouched
  EXPECT_EQ(g.Mem().GetLastRow(), 0);
  g.SetCellText(1, 3, wxS("x"));
  EXPECT_EQ(g.Mem().GetLastRow(), 3);
  g.SetCellText(0, 0, wxS("r0"));
  g.SetCellText(0, 1, wxS("r1"));
  EXPECT_EQ(g.Mem().InsertRow(0), 0);
  EXPECT_EQ(g.GetCellText(0, 1), wxS("r0"));
  EXPECT_EQ(g.Mem().InsertRow(99), 1);
  // Heading rows are not renumbered by data-row operations.
  g.SetCellText(0, -1, wxS("head"));
  EXPECT_EQ(g.Mem().DeleteRow(-1), 1);
  EXPECT_EQ(g.Mem().InsertRow(-1), 1);
  EXPECT_EQ(g.GetCellText(0, -1), wxS("head"));
  EXPECT_EQ(g.GetCellText(0, 1), wxS("r0"));
  // SetCell replaces the stored property set.
  CGridCell coloured;
  coloured.SetText(wxS("c"));
  coloured.SetBackColour(Rgb(1, 1, 1));
  g.SetCell(2, 0, coloured);
  CGridCell plain;
  plain.SetMask(0);
  plain.SetText(wxS("d"));
  g.SetCell(2, 0, plain);
  CGridCell back;
  g.GetCell(2, 0, back);
  EXPECT_FALSE(back.IsSet(gridcell::kBackColour));
  Grid one(1, 1);
  one.SetCellText(0, 0, wxS("only"));
  EXPECT_EQ(one.Mem().DeleteRow(0), 0);
  EXPECT_EQ(one.Mem().GetLastRow(), 0);
  EXPECT_EQ(one.Mem().GetCell(0, 0, back), 1);
}

TEST(GridStore, DeleteColumnLowersTranslatedColumns) {
  Grid g(4, 2);
  g.SetCellText(3, 0, wxS("d"));
  EXPECT_EQ(g.Mem().DeleteColumn(1), 0);
  EXPECT_EQ(g.TranslatedColumn(3), 2);
  EXPECT_EQ(g.GetCellText(3, 0), wxS("d"));
  EXPECT_EQ(g.Mem().DeleteColumn(-1), 1);
}

TEST(GridStore, Find) {
  Grid g(3, 4);
  g.SetCellText(0, 0, wxS("apple"));
  g.SetCellText(2, 3, wxS("Pear"));
  g.SetCellText(1, 2, wxString::FromUTF8("Äpfel"));
  g.SetCellText(0, -1, wxS("apple"));  // heading, never found
  struct Row {
    const char* text;
    int flags, column, row;
    int result, foundColumn, foundRow;
  } rows[] = {
      // All columns: from the last cell the walk wraps to (0, 0).
      {"apple", 8, 2, 3, 0, 0, 0},
      {"pear", 8 | 2, 0, 0, 0, 2, 3},
      {"pear", 8, 0, 0, 1, 0, 0},
      {"ea", 8 | 1, 0, 0, 0, 2, 3},
      // Backwards in one column from row 0 wraps to the last row, never to -1, -2.
      {"apple", 4, 0, 0, 0, 0, 0},
      {"nothing", 4 | 8, 0, 0, 1, 0, 0},
      // The start cell itself is found last.
      {"apple", 0, 0, 0, 0, 0, 0},
  };
  for (const Row& r : rows) {
    int c = r.column, rw = r.row;
    EXPECT_EQ(g.Mem().FindNext(wxString::FromUTF8(r.text), c, rw, r.flags), r.result) << r.text << " " << r.flags;
    if (r.result == 0) {
      EXPECT_EQ(c, r.foundColumn) << r.text;
      EXPECT_EQ(rw, r.foundRow) << r.text;
    }
  }
  int c = 0, rw = 0;
  EXPECT_EQ(g.Mem().FindFirst(wxString::FromUTF8("äpfel"), c, rw, 8 | 2), 0);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(rw, 2);
  // Backwards all columns starts after the last cell.
  EXPECT_EQ(g.Mem().FindFirst(wxS("Pear"), c, rw, 8 | 4), 0);
  EXPECT_EQ(rw, 3);
}

TEST(GridStore, StableSortKeepsHeadingsAndEqualOrder) {
  Grid g(2, 6);
  g.SetCellText(0, -1, wxS("heading"));
  const char* keys[] = {"b", "a", "b", nullptr, "a", "10"};
  for (int r = 0; r < 6; ++r) {
    if (keys[r]) g.SetCellText(0, r, wxString(keys[r]));
    g.SetCellNumber(1, r, r);  // original position
  }
  ASSERT_EQ(g.SortByColumn(0, 0), 0);
  std::vector<wxString> order;
  for (int r = 0; r < 6; ++r) order.push_back(g.GetCellText(0, r) + wxS("/") + g.GetCellText(1, r));
  // Texts compared as texts; equal keys keep their order; no value last.
  const std::vector<wxString> want = {wxS("10/5"), wxS("a/1"), wxS("a/4"), wxS("b/0"), wxS("b/2"), wxS("/3")};
  EXPECT_EQ(order, want);
  EXPECT_EQ(g.GetCellText(0, -1), wxS("heading"));
  ASSERT_EQ(g.SortByColumn(0, 2), 0);  // descending: the order turned round, equal rows kept
  order.clear();
  for (int r = 0; r < 6; ++r) order.push_back(g.GetCellText(0, r) + wxS("/") + g.GetCellText(1, r));
  EXPECT_EQ(order, (std::vector<wxString>{wxS("/3"), wxS("b/0"), wxS("b/2"), wxS("a/1"), wxS("a/4"), wxS("10/5")}));
}

TEST(GridStore, SortSurvivesAComparisonThatIsNoOrder) {
  struct Chaos : Grid {
    using Grid::Grid;
    int n = 0;
    int CompareCells(const CGridCell*, const CGridCell*, int) override { return (++n % 3) - 1; }
  } g(1, 200);
  for (int r = 0; r < 200; ++r) g.SetCellNumber(0, r, r);
  EXPECT_EQ(g.SortByColumn(0, 0), 0);
  double sum = 0;
  for (int r = 0; r < 200; ++r) sum += g.GetCellText(0, r).empty() ? 0 : CGridCell::ParseNumber(g.GetCellText(0, r));
  EXPECT_DOUBLE_EQ(sum, 199 * 200 / 2);  // every row still there once
}

TEST(GridStore, TheFirstCellsTypeDecidesTheComparison) {
  std::vector<CGridCell> cells(6);
  cells[0].SetNumber(10);
  cells[1].SetText(wxS("a"));
  cells[2].SetText(wxS("10"));
  cells[3].SetNumber(-1);
  cells[3].SetDataType(gridcell::kCurrency);
  cells[4].SetText(wxS("7"));
  cells[4].SetDataType(gridcell::kNumericText);
  // cells[5] has no value
  struct Row {
    int a, b, flags, result;
  } rows[] = {
      {0, 3, 0, 1},   {3, 0, 0, -1}, {0, 3, 2, -1},   // numbers decide for number types
      {4, 0, 0, -1},                                 // numeric text by its number
      {0, 1, 0, 1},                                  // a number against text: its number against 0
      {1, 0, 0, 1},                                  // text first: compared as texts, "a" > "10"
      {0, 5, 0, 1},   {5, 0, 0, 1},                  // an empty cell counts 0 against a number ...
      {1, 5, 0, -1},  {5, 1, 0, 1},                  // ... and sorts last against a text
      {5, 5, 0, 0},   {2, 1, 0, -1},  {1, 1, 2, 0},
  };
  for (const Row& r : rows)
    EXPECT_EQ(GridCompareCells(&cells[static_cast<size_t>(r.a)], &cells[static_cast<size_t>(r.b)], r.flags), r.result)
        << r.a << " vs " << r.b << " flags " << r.flags;
  EXPECT_EQ(GridCompareCells(nullptr, &cells[0], 0), 1);
  EXPECT_EQ(GridCompareCells(nullptr, nullptr, 0), 0);
}
