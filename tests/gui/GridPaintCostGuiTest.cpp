// What painting and scrolling the grid costs must not follow the rows that are not shown:
// a sheet of 100,000 rows asks for as many cells and row heights as one of 1,000, and a
// run of hidden rows is passed over without reading each of them. Counted, not timed.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <wx/dcmemory.h>
#include <wx/frame.h>

#include "grid/ui/GridBars.h"
#include "grid/ui/GridCtrl.h"
#include "tests/gui/support/WindowFixture.h"

namespace {

// The host gives every cell its value and counts the look-ups.
class CountingGrid : public CGridCtrl {
 public:
  long long lookups = 0;
  std::set<int> rowsAsked;
  void OnGetCell(int column, int row, CGridCell& cell) override {
    ++lookups;
    rowsAsked.insert(row);
    if (row >= 0 && column >= 0) cell.SetNumber((row % 1000) * 0.5 + column);
  }
};

struct Cost {
  long long lookups, reads;
  bool operator==(const Cost&) const = default;
};

void PrintTo(const Cost& c, std::ostream* os) { *os << c.lookups << " look-ups, " << c.reads << " height reads"; }

class Sheet {
 public:
  explicit Sheet(int rows) {
    frame = new wxFrame(nullptr, wxID_ANY, wxS("grid"), wxPoint(0, 0), wxSize(1084, 828));
    grid = new CountingGrid;
    grid->CreateAndAttach(frame, wxID_ANY, wxPoint(0, 0), wxSize(1024, 768));
    grid->SetColumnCount(50);
    grid->SetRowCount(rows);
    grid->LayoutComponents();
    const CGridSheetInfo& s = grid->Sheet();
    bitmap = wxBitmap(s.cellAreaWidth, s.cellAreaHeight, 24);
    dc = std::make_unique<wxMemoryDC>(bitmap);
  }
  ~Sheet() {
    dc->SelectObject(wxNullBitmap);
    frame->Destroy();
    hvtest::Pump(std::chrono::milliseconds(20));
  }
  template <class F>
  Cost Count(F fn) {
    grid->lookups = 0;
    grid->rowsAsked.clear();
    grid->Sheet().rowHeightReads = 0;
    fn();
    return Cost{grid->lookups, grid->Sheet().rowHeightReads};
  }
  Cost Paint() {
    return Count([this] {
      const CGridSheetInfo& s = grid->Sheet();
      grid->PaintCells(*dc, wxRect(0, 0, s.cellAreaWidth, s.cellAreaHeight), true);
      grid->PaintHeading(*dc, kSectionSideHeading, wxSize(s.sideHeadingWidth, s.cellAreaHeight));
    });
  }
  Cost Key(int key) {
    return Count([&] { grid->CellAreaKeyDown(key, kMkControl); });
  }

  wxFrame* frame;
  CountingGrid* grid;
  wxBitmap bitmap;
  std::unique_ptr<wxMemoryDC> dc;
};

}  // namespace

TEST(GridPaintCost, AHundredThousandRowsCostWhatAThousandCost) {
  Sheet small(1000), big(100000);
  const CGridSheetInfo& s = big.grid->Sheet();
  // Whole and partly shown rows and columns, each cell asked once, headings included.
  const long long shown = (s.cellAreaHeight / s.defaultRowHeight + 1) * (s.cellAreaWidth / s.defaultColumnWidth + 1);
  EXPECT_EQ(small.Paint(), big.Paint());
  EXPECT_LE(big.Paint().lookups, shown + s.cellAreaHeight / s.defaultRowHeight + 1);
  EXPECT_EQ(small.Key(WXK_END), big.Key(WXK_END));
  EXPECT_EQ(s.currentRow, 99999);
  EXPECT_EQ(small.Paint(), big.Paint());
  EXPECT_EQ(*big.grid->rowsAsked.rbegin(), 99999);
  EXPECT_EQ(small.Key(WXK_HOME), big.Key(WXK_HOME));
  EXPECT_EQ(small.Key(WXK_PAGEDOWN), big.Key(WXK_PAGEDOWN));
  EXPECT_EQ(small.Paint(), big.Paint());
}

TEST(GridPaintCost, ARunOfHiddenRowsIsPassedOverWhenPaintingAndScrolling) {
  // New rows take the default height: 0 hides them all, then thirty at each end are shown.
  Sheet sheet(0);
  CountingGrid& grid = *sheet.grid;
  grid.SetDefaultRowHeight(0);
  grid.SetRowCount(60000);
  grid.SetDefaultRowHeight(20);
  for (int r = 0; r < 60000; r += r == 29 ? 59941 : 1) grid.SetRowHeight(r, 40);
  grid.SetLockedRowCount(2);
  grid.LayoutComponents();
  const CGridSheetInfo& s = grid.Sheet();
  grid.ScrollTopRowTo(25);
  ASSERT_EQ(s.topRow, 25);
  EXPECT_LT(sheet.Paint().reads, 1000);
  // The two locked rows, the last five before the run, then the rows after it that fill
  // the area.
  std::set<int> want{0, 1, 25, 26, 27, 28, 29};
  for (int r = 59970; r < 59970 + (s.cellAreaHeight - 7 * 40 + 39) / 40; ++r) want.insert(r);
  EXPECT_EQ(grid.rowsAsked, want);

  // The bar's line and page steps pass the run in one step too.
  CGridScrollBar* bar = grid.VScroll();
  ASSERT_TRUE(bar);
  const auto send = [&](wxEventType type) {
    return sheet.Count([&] {
      wxScrollEvent e(type, bar->GetId(), 0, wxVERTICAL);
      e.SetEventObject(bar);
      bar->GetEventHandler()->ProcessEvent(e);
    });
  };
  grid.ScrollTopRowTo(29);
  EXPECT_LT(send(wxEVT_SCROLL_LINEDOWN).reads, 1000);
  EXPECT_EQ(s.topRow, 59970);
  grid.ScrollTopRowTo(20);
  EXPECT_LT(send(wxEVT_SCROLL_PAGEDOWN).reads, 1000);
  // The first row that ends below the area after the locked rows.
  EXPECT_EQ(s.topRow, 59970 + (s.cellAreaHeight - 2 * 40 - 10 * 40) / 40);
  EXPECT_LT(sheet.Paint().reads, 1000);

  // Sizing a row live repaints the shown rows without summing the others again.
  grid.Sheet().headingSizing = 2;
  grid.ScrollTopRowTo(2);
  EXPECT_LT(sheet.Count([&] { grid.RowSizingStep(3, 60); }).reads, 1000);
  EXPECT_LT(sheet.Paint().reads, 1000);
  EXPECT_EQ(grid.rowsAsked.count(3), 1u);
}
