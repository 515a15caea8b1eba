#include "tests/gui/support/GridHost.h"

#include <algorithm>
#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/sizer.h>

#include "grid/ui/GridCellArea.h"
#include "grid/ui/GridHeadings.h"
#include "tests/gui/support/WindowFixture.h"

namespace hvtest {

bool RecordingTavGrid::Has(const std::string& s) const {
  return std::find(hooks.begin(), hooks.end(), s) != hooks.end();
}

void RecordingTavGrid::OnCellLeftClick(int c, int r, int down, const GridRect&, GridPoint, int) {
  Add("left " + std::to_string(down) + " " + std::to_string(c) + "," + std::to_string(r));
}

void RecordingTavGrid::OnCellDoubleClick(int c, int r, const GridRect& rect, GridPoint p, int processed) {
  Add("double " + std::to_string(c) + "," + std::to_string(r));
  TavGrid::OnCellDoubleClick(c, r, rect, p, processed);
}

int RecordingTavGrid::OnHelpHitTest(int c, int r, int section) {
  Add("help " + std::to_string(c) + "," + std::to_string(r) + " " + std::to_string(section));
  if (section == kSectionCells && c == 2 && r == 3) return 42;
  return section == kSectionTopHeading && c == 1 ? 7 : 0;
}

int RecordingTavGrid::OnQueryColumnMove(int column, int position) {
  Add("query move " + std::to_string(column) + "->" + std::to_string(position));
  return 1;
}

void RecordingTavGrid::OnColumnMoved(int column, int position) {
  Add("moved " + std::to_string(column) + "->" + std::to_string(position));
}

void RecordingTavGrid::OnSelectionBlockChanged(int l, int t, int r, int b, int count) {
  Add("block " + std::to_string(l) + "," + std::to_string(t) + "-" + std::to_string(r) + "," + std::to_string(b));
}

int RecordingTavGrid::OnCellTypeNotify(int typeIndex, int c, int r, int message, CGridNotifyParam& param) {
  Add("notify " + std::to_string(message));
  const int result = TavGrid::OnCellTypeNotify(typeIndex, c, r, message, param);
  if (message == 201 && calendar && param.calendar) *param.calendar = *calendar;
  return result;
}

int RecordingTavGrid::OnEditFinish(int c, int r, CGridEditor* editor, const wxString& text, bool cancelled) {
  const int result = TavGrid::OnEditFinish(c, r, editor, text, cancelled);
  Add(std::string(cancelled ? "finish cancelled " : "finish ") + (result ? "accepted" : "refused"));
  return result;
}

void GridHost::SetUp() {
  dlg = new wxDialog(nullptr, wxID_ANY, wxS("Werte"), wxPoint(40, 40), wxDefaultSize);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(new wxWindow(dlg, kPlaceholder, wxDefaultPosition, wxSize(560, 330)), 1, wxEXPAND | wxALL, 4);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(new wxButton(dlg, wxID_OK, wxS("OK")));
  buttons->Add(new wxButton(dlg, wxID_CANCEL, wxS("Abbrechen")));
  sizer->Add(buttons, 0, wxALL, 4);
  dlg->SetSizerAndFit(sizer);
  grid = new RecordingTavGrid;
  ASSERT_EQ(grid->AttachToDialogControl(kPlaceholder, dlg), 1);
  dlg->Layout();
  dlg->Show();
  ASSERT_TRUE(PumpUntil([&] { return grid->CellArea()->IsShownOnScreen(); }));
  grid->SetColumnCount(6);
  grid->SetRowCount(40);
  for (int c = 0; c < 6; ++c) grid->SetCellText(c, -1, wxString::Format(wxS("Spalte %d"), c));
  for (int r = 0; r < 40; ++r) grid->SetCellText(-1, r, wxString::Format(wxS("%d"), r + 1));
  grid->LayoutComponents();
  Pump(std::chrono::milliseconds(100));
}

void GridHost::TearDown() {
  if (dlg) dlg->Destroy();
  Pump(std::chrono::milliseconds(50));
}

wxPoint GridHost::CellPoint(int column, int row, double fx, double fy) const {
  GridRect r;
  grid->CellRectangle(column, row, r);
  wxWindow* w = grid->CellArea();
  if (row < 0) w = grid->TopHeading();
  const wxPoint p(r.left + static_cast<int>(r.Width() * fx), r.top + static_cast<int>(r.Height() * fy));
  return w->ClientToScreen(p);
}

void GridHost::ClickAt(const wxPoint& p) {
  sim.MouseMove(p);
  Pump(std::chrono::milliseconds(60));
  sim.MouseClick();
  Pump(std::chrono::milliseconds(120));
}

void GridHost::DoubleClickAt(const wxPoint& p) {
  sim.MouseMove(p);
  Pump(std::chrono::milliseconds(60));
  sim.MouseDblClick();
  Pump(std::chrono::milliseconds(150));
}

void GridHost::Apart() {
  sim.MouseMove(dlg->ClientToScreen(wxPoint(2, dlg->GetClientSize().y - 2)));
  Pump(std::chrono::milliseconds(60));
}

void GridHost::Key(int key, int modifiers) {
  sim.Char(key, modifiers);
  Pump(std::chrono::milliseconds(60));
}

void GridHost::Type(const char* text) {
  sim.Text(text);
  Pump(std::chrono::milliseconds(80));
}

wxBitmap GridHost::RenderCells() {
  const CGridSheetInfo& s = grid->Sheet();
  wxBitmap bmp(std::max(s.cellAreaWidth, 1), std::max(s.cellAreaHeight, 1), 24);
  wxMemoryDC dc(bmp);
  grid->PaintCells(dc, wxRect(0, 0, s.cellAreaWidth, s.cellAreaHeight), false);
  dc.SelectObject(wxNullBitmap);
  return bmp;
}

wxBitmap GridHost::RenderGrid() {
  const CGridSheetInfo& s = grid->Sheet();
  wxBitmap bmp(s.sideHeadingWidth + s.cellAreaWidth, s.topHeadingHeight + s.cellAreaHeight, 24);
  wxMemoryDC dc(bmp);
  dc.SetDeviceOrigin(0, 0);
  grid->PaintHeading(dc, kSectionCorner, wxSize(s.sideHeadingWidth, s.topHeadingHeight));
  dc.SetDeviceOrigin(s.sideHeadingWidth, 0);
  grid->PaintHeading(dc, kSectionTopHeading, wxSize(s.cellAreaWidth, s.topHeadingHeight));
  dc.SetDeviceOrigin(0, s.topHeadingHeight);
  grid->PaintHeading(dc, kSectionSideHeading, wxSize(s.sideHeadingWidth, s.cellAreaHeight));
  dc.SetDeviceOrigin(s.sideHeadingWidth, s.topHeadingHeight);
  grid->PaintCells(dc, wxRect(0, 0, s.cellAreaWidth, s.cellAreaHeight), true);
  dc.SelectObject(wxNullBitmap);
  return bmp;
}

void GridHost::SaveArtifact(const wxBitmap& bmp, const char* name) {
  const wxString folder = wxS(HV_TEST_BINARY_DIR "/../artifacts");
  wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
  bmp.ConvertToImage().SaveFile(folder + wxS("/") + wxString::FromUTF8(name), wxBITMAP_TYPE_PNG);
}

}  // namespace hvtest
