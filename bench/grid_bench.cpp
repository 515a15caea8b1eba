// Grid core on 1,000 and 100,000 rows by 50 columns: every operation but fill and sort
// should cost about the same on both (ratio 100k/1k at most 3, in processor time of the
// thread). Both grids are made first; then each operation runs on them in turn, best of
// nine, so that a busy stretch of the machine falls on both sizes. The code gives 0.75 to
// 0.86, the scroll mapping 0.47 (the small grid takes the mapping's other branch), the
// same under load; a walk over the rows puts each far above: a sum of the rows' heights
// per hit test gives 75, RowPosition summing the heights of the rows above 10 for page
// down and 2,600 for Ctrl+End, the sum in LargestTopRow 95 for the scroll mapping.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "bench/BestOfFive.h"
#include "bench/Bounds.h"
#include "grid/GridCore.h"

namespace {

constexpr int kColumns = 50;

struct Grid : CGridCore {
  explicit Grid(int rows) {
    SetColumnCount(kColumns);
    SetRowCount(rows);
    LayoutComponents(1024, 768);
    for (int row = 0; row < rows; ++row) {
      for (int c = 0; c < kColumns; ++c) SetCellNumber(c, row, row * 0.5 + c);
    }
  }
};

volatile int sink = 0;

void HitTest(Grid& g) {
  int c, row;
  GridRect rect;
  for (int i = 0; i < 200000; ++i) sink = sink + g.HitTestCell((i * 37) % 900, (i * 53) % 600, c, row, rect);
}

void PageDown(Grid& g) {
  // Ten pages from the top, again and again: every step a real move on both sizes.
  for (int i = 0; i < 100000; ++i) {
    if (i % 10 == 0) g.MoveToCell(0, 0);
    g.CellAreaKeyDown(WXK_PAGEDOWN, 0);
  }
}

void CtrlEnd(Grid& g) {
  for (int i = 0; i < 50000; ++i) {
    g.CellAreaKeyDown(WXK_END, kMkControl);
    g.CellAreaKeyDown(WXK_HOME, kMkControl);
  }
}

void ScrollMapping(Grid& g) {
  int lo, hi, page;
  for (int i = 0; i < 500000; ++i) {
    g.VerticalScrollRange(lo, hi, page);
    sink = sink + g.RowFromScrollPosition(i % (hi + 1));
  }
}

double Time(const std::function<void()>& fn) {
  const double t0 = ThreadSeconds();
  fn();
  return ThreadSeconds() - t0;
}

}  // namespace

int main() {
  Grid* made = nullptr;
  const double fillSmall = BestOfFive([&] {
    delete made;
    made = new Grid(1000);
  });
  std::unique_ptr<Grid> small(made);
  std::unique_ptr<Grid> big;
  const double fillBig = Time([&] { big = std::make_unique<Grid>(100000); });
  std::printf("bytes per stored cell: %.1f (1k) %.1f (100k)\n",
              static_cast<double>(small->Sheet().memorySource.MemoryBytes()) /
                  static_cast<double>(small->Sheet().memorySource.StoredCells()),
              static_cast<double>(big->Sheet().memorySource.MemoryBytes()) /
                  static_cast<double>(big->Sheet().memorySource.StoredCells()));
  std::printf("fill           1k %10.6f s  100k %10.6f s  (grows with rows)\n", fillSmall, fillBig);

  const struct {
    const char* name;
    void (*run)(Grid&);
  } operations[] = {{"hit test", HitTest}, {"page down", PageDown}, {"Ctrl+End", CtrlEnd},
                    {"scroll mapping", ScrollMapping}};
  bool pass = true;
  for (const auto& op : operations) {
    op.run(*small);  // warm-up
    op.run(*big);
    pass = HoldsBound(std::string(op.name) + " 100k/1k", 3.0, [&] {
      double a = 1e30, b = 1e30;
      for (int run = 0; run < 9; ++run) {
        a = std::min(a, Time([&] { op.run(*small); }));
        b = std::min(b, Time([&] { op.run(*big); }));
      }
      std::printf("  %-15s 1k %10.6f s  100k %10.6f s\n", op.name, a, b);
      return b / std::max(a, 1e-9);
    }) && pass;
  }
  const double sortSmall = BestOfFive([&] { small->SortByColumn(3, 2); });
  const double sortBig = BestOfFive([&] { big->SortByColumn(3, 2); });
  std::printf("sort           1k %10.6f s  100k %10.6f s  (grows with rows)\n", sortSmall, sortBig);
  std::puts(pass ? "PASS" : "FAIL");
  return pass ? 0 : 1;
}
