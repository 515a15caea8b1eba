#include <gtest/gtest.h>

#include "framework/ListLayout.h"

namespace {

std::vector<ColumnDef> Table(int columns, int firstKey = 0) {
  std::vector<ColumnDef> t;
  for (int i = 0; i < columns; ++i) {
    ColumnDef c;
    c.title = wxString::Format("C%d", i);
    c.width = 50;
    c.subItem = i;
    c.order = i;
    c.key = i >= 3 ? firstKey + i : 0;
    t.push_back(c);
  }
  return t;
}

struct Row {
  const char* value;
  int columns;
  bool texts;
  std::vector<std::pair<int, int>> expected;   // width, order per row
  int sort;
};

}  // namespace

TEST(ListLayout, StoredValuesAreApplied) {
  const Row rows[] = {
      // The second column first, widths 80 and 120, second column descending.
      {"80,1,120,0,-2", 2, false, {{80, 1}, {120, 0}}, -2},
      // Fewer pairs than columns: the rest by row order and width 100.
      {"70,0,3", 3, false, {{70, 0}, {100, 1}, {100, 2}}, 3},
      // A position past the columns is skipped; the next pair serves the same row.
      {"10,5,20,1,30,0,1", 2, false, {{20, 1}, {30, 0}}, 1},
      // Duplicate positions are no order: row order, widths kept.
      {"10,0,20,0,2", 2, false, {{10, 0}, {20, 1}}, 2},
      // Garbage: nothing read.
      {"abc", 2, false, {{100, 0}, {100, 1}}, 0},
      {"", 1, false, {{100, 0}}, 0},
      // Texts folder: keys 1 and 2 by row, others by column key; missing rows append.
      {"90,2,0,60,0,1,70,1,2,-1", 4, true, {{90, 2}, {60, 0}, {70, 1}, {100, 3}}, -1},
      {"55,3,1031,40,0,0,41,1,1,42,2,2,3", 4, true, {{40, 0}, {41, 1}, {42, 2}, {55, 3}}, 3},
      // A key from 3 to 999: read again in the ordinary form.
      {"11,1,5,22,0,7", 2, true, {{11, 0}, {100, 1}}, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.value);
    std::vector<ColumnDef> t = Table(r.columns, 1028);
    const int sort = ApplyListLayout(wxString::FromUTF8(r.value), t, r.texts);
    EXPECT_EQ(sort, r.sort);
    for (size_t i = 0; i < t.size(); ++i) {
      EXPECT_EQ(t[i].width, r.expected[i].first) << "row " << i;
      EXPECT_EQ(t[i].order, r.expected[i].second) << "row " << i;
    }
  }
}

TEST(ListLayout, FormatRoundTripsAndDisplayOrder) {
  std::vector<ColumnDef> t = Table(3);
  t[0].width = 80;
  t[0].order = 2;
  t[1].order = 0;
  t[2].order = 1;
  const wxString value = FormatListLayout(t, 1, 1, false);
  EXPECT_EQ(value, "80,2,50,0,50,1,-2");
  std::vector<ColumnDef> back = Table(3);
  EXPECT_EQ(ApplyListLayout(value, back, false), -2);
  EXPECT_EQ(DisplayOrderOf(back), (std::vector<int>{1, 2, 0}));

  std::vector<ColumnDef> texts = Table(4, 1028);
  EXPECT_EQ(FormatListLayout(texts, 0, 0, true), "50,0,0,50,1,1,50,2,2,50,3,1031,1");
  texts[3].order = 3;
  texts[2].order = 3;
  EXPECT_EQ(DisplayOrderOf(texts), (std::vector<int>{0, 1, 2, 3}));
}

TEST(ListLayout, PagesAreCountedWithoutABlankLastPage) {
  // 1000 / 10 - 8 = 92 rows per page.
  EXPECT_EQ(PaginateList(92, 1000, 10).pageCount, 1);
  EXPECT_EQ(PaginateList(93, 1000, 10).pageCount, 2);
  EXPECT_EQ(PaginateList(0, 1000, 10).pageCount, 0);
  // A page smaller than nine rows still holds one.
  EXPECT_EQ(PaginateList(5, 50, 10).rowsPerPage, 1);
  EXPECT_EQ(PaginateList(5, 50, 10).pageCount, 5);
  EXPECT_EQ(PaginateList(3, 100, 0).rowsPerPage, 92);
}
