// Painting the grid off-screen (wxMemoryDC): one screen, and the screen after scrolling
// to the end and back, on 1,000 and 100,000 rows by 50 columns. The time must not
// depend on the rows that are not shown: ratio 100k/1k at most 1.3. Needs a display
// (run under xvfb-run).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/init.h>

#include "bench/BestOfFive.h"
#include "grid/ui/GridCtrl.h"

namespace {

constexpr int kColumns = 50;
constexpr int kWidth = 1024, kHeight = 768;

double Seconds(const std::function<void()>& fn) { return BestOfFive(fn); }

struct Result {
  double paint, scrollEnd;
};

Result Measure(int rows) {
  auto* frame = new wxFrame(nullptr, wxID_ANY, wxS("bench"), wxDefaultPosition, wxSize(kWidth + 60, kHeight + 60));
  auto* grid = new CGridCtrl;
  grid->CreateAndAttach(frame, wxID_ANY, wxPoint(0, 0), wxSize(kWidth, kHeight));
  grid->SetColumnCount(kColumns);
  grid->SetRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < kColumns; ++c) grid->SetCellNumber(c, r, r * 0.5 + c);
  }
  grid->LayoutComponents();
  const CGridSheetInfo& s = grid->Sheet();
  wxBitmap bmp(std::max(s.cellAreaWidth, 1), std::max(s.cellAreaHeight, 1), 24);
  wxMemoryDC dc(bmp);
  const wxRect area(0, 0, s.cellAreaWidth, s.cellAreaHeight);
  Result result{};
  result.paint = Seconds([&] {
    for (int i = 0; i < 20; ++i) grid->PaintCells(dc, area, false);
  });
  result.scrollEnd = Seconds([&] {
    for (int i = 0; i < 10; ++i) {
      grid->CellAreaKeyDown(WXK_END, kMkControl);
      grid->PaintCells(dc, area, false);
      grid->CellAreaKeyDown(WXK_HOME, kMkControl);
      grid->PaintCells(dc, area, false);
    }
  });
  dc.SelectObject(wxNullBitmap);
  frame->Destroy();
  wxTheApp->ProcessIdle();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "no display: run under xvfb-run\n");
    return 2;
  }
  const Result small = Measure(1000), big = Measure(100000);
  struct Row {
    const char* name;
    double a, b;
  } rows[] = {{"paint screen", small.paint, big.paint}, {"scroll to end", small.scrollEnd, big.scrollEnd}};
  int failed = 0;
  for (const Row& r : rows) {
    const double ratio = r.b / std::max(r.a, 1e-9);
    const bool pass = ratio <= 1.3;
    failed += !pass;
    std::printf("%-15s 1k %10.6f s  100k %10.6f s  ratio %6.2f  %s\n", r.name, r.a, r.b, ratio, pass ? "PASS" : "FAIL");
  }
  wxEntryCleanup();
  return failed ? 1 : 0;
}
