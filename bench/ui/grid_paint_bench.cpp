// Painting the grid off-screen (wxMemoryDC): one screen, and the screen after scrolling
// to the end and back, on 1,000 and 100,000 rows by 50 columns. The time must not
// depend on the rows that are not shown: ratio 100k/1k at most 1.1. Needs a display
// (run under xvfb-run).
//
// The values repeat every 1,000 rows, so both sheets show the very same texts at the
// top and at the end: text shaping cost follows the length of the text, and longer
// numbers on the big sheet would be measured as if the rows cost time.
// Other load on the machine only ever adds time, and it comes and goes: the two sheets
// are measured in turns, in alternating order, over many rounds, and compared by their
// fastest round. The median of the per-round ratios is printed beside it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/init.h>

#include "grid/ui/GridCtrl.h"

namespace {

constexpr int kColumns = 50;
constexpr int kWidth = 1024, kHeight = 768;
constexpr int kRounds = 41;
constexpr double kLimit = 1.1;

class Sheet {
 public:
  explicit Sheet(int rows) {
    m_frame = new wxFrame(nullptr, wxID_ANY, wxS("bench"), wxDefaultPosition, wxSize(kWidth + 60, kHeight + 60));
    m_grid = new CGridCtrl;
    m_grid->CreateAndAttach(m_frame, wxID_ANY, wxPoint(0, 0), wxSize(kWidth, kHeight));
    m_grid->SetColumnCount(kColumns);
    m_grid->SetRowCount(rows);
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < kColumns; ++c) m_grid->SetCellNumber(c, r, (r % 1000) * 0.5 + c);
    }
    m_grid->LayoutComponents();
    const CGridSheetInfo& s = m_grid->Sheet();
    m_area = wxRect(0, 0, s.cellAreaWidth, s.cellAreaHeight);
    m_bitmap = wxBitmap(std::max(s.cellAreaWidth, 1), std::max(s.cellAreaHeight, 1), 24);
    m_dc = std::make_unique<wxMemoryDC>(m_bitmap);
  }
  ~Sheet() {
    m_dc->SelectObject(wxNullBitmap);
    m_frame->Destroy();
  }
  Sheet(const Sheet&) = delete;
  Sheet& operator=(const Sheet&) = delete;

  double Paint() {
    return Seconds([this] {
      for (int i = 0; i < 5; ++i) m_grid->PaintCells(*m_dc, m_area, false);
    });
  }
  double ScrollToEnd() {
    return Seconds([this] {
      for (int i = 0; i < 3; ++i) {
        m_grid->CellAreaKeyDown(WXK_END, kMkControl);
        m_grid->PaintCells(*m_dc, m_area, false);
        m_grid->CellAreaKeyDown(WXK_HOME, kMkControl);
        m_grid->PaintCells(*m_dc, m_area, false);
      }
    });
  }

 private:
  template <class F>
  static double Seconds(F fn) {
    const auto t0 = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }

  wxFrame* m_frame;
  CGridCtrl* m_grid;
  wxRect m_area;
  wxBitmap m_bitmap;
  std::unique_ptr<wxMemoryDC> m_dc;
};

struct Samples {
  std::vector<double> small, big;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "no display: run under xvfb-run\n");
    return 2;
  }
  int failed = 0;
  {
    Sheet small(1000), big(100000);
    // One untimed round each: font caches and first-touch allocations.
    small.Paint();
    big.Paint();
    small.ScrollToEnd();
    big.ScrollToEnd();
    Samples paint, scroll;
    for (int round = 0; round < kRounds; ++round) {
      // Alternating order, so that neither side always runs first after the other.
      const bool smallFirst = round % 2 == 0;
      Sheet& first = smallFirst ? small : big;
      Sheet& second = smallFirst ? big : small;
      const double p1 = first.Paint(), p2 = second.Paint();
      const double s1 = first.ScrollToEnd(), s2 = second.ScrollToEnd();
      paint.small.push_back(smallFirst ? p1 : p2);
      paint.big.push_back(smallFirst ? p2 : p1);
      scroll.small.push_back(smallFirst ? s1 : s2);
      scroll.big.push_back(smallFirst ? s2 : s1);
    }
    std::printf("%d rounds, limit 100k/1k <= %.2f on the fastest rounds\n", kRounds, kLimit);
    const struct {
      const char* name;
      const Samples& samples;
    } rows[] = {{"paint screen", paint}, {"scroll to end", scroll}};
    for (const auto& r : rows) {
      const double a = *std::min_element(r.samples.small.begin(), r.samples.small.end());
      const double b = *std::min_element(r.samples.big.begin(), r.samples.big.end());
      std::vector<double> ratios;
      for (size_t i = 0; i < r.samples.small.size(); ++i) {
        ratios.push_back(r.samples.big[i] / std::max(r.samples.small[i], 1e-9));
      }
      const double ratio = b / std::max(a, 1e-9);
      const bool pass = ratio <= kLimit;
      failed += !pass;
      std::printf("%-15s 1k %10.6f s  100k %10.6f s  ratio %5.3f (median %5.3f)  limit %.2f  %s\n", r.name, a, b,
                  ratio, Median(ratios), kLimit, pass ? "PASS" : "FAIL");
    }
  }
  wxTheApp->ProcessIdle();
  wxEntryCleanup();
  return failed ? 1 : 0;
}
