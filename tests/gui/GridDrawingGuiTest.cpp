// The cell types' own drawing, rendered into bitmaps and read pixel by pixel: check-box
// frames, marks and patterns, raised and pressed drop and spin buttons with their arrows,
// cell bitmaps, a type the host registers, and the native look while visual styles are on.
#include <gtest/gtest.h>

#include <wx/dcmemory.h>
#include <wx/fdrepdlg.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/settings.h>

#include "grid/GridCellTypes.h"
#include "grid/GridPainter.h"
#include "grid/GridVisualStyles.h"
#include "grid/ui/GridCellArea.h"
#include "grid/ui/GridBars.h"
#include "grid/ui/GridCtrl.h"
#include "grid/ui/GridEditors.h"
#include "grid/ui/GridMonthCalendar.h"
#include "tests/gui/support/WindowFixture.h"

// Colours in failure messages as their components.
void PrintTo(const wxColour& c, std::ostream* os) { *os << c.GetAsString(wxC2S_CSS_SYNTAX).ToStdString(); }

namespace {

const wxColour kBlack(0, 0, 0);
const wxColour kWhite(255, 255, 255);

wxColour Sys(wxSystemColour c) { return wxSystemSettings::GetColour(c); }

// A type a host registers: a green cell with a black line.
class StripeType : public CGridCellType {
 public:
  wxString GetName() const override { return wxS("Stripe"); }
  void OnDraw(CGridPainter& dc, const GridRect& rect, int column, int row, const CGridCell& cell, int selected,
              bool current) override {
    dc.FillRect(rect, Rgb(0, 160, 0));
    dc.SetPen(Rgb(0, 0, 0));
    dc.Line(rect.left, rect.top + 5, rect.right, rect.top + 5);
  }
};

// A host that writes its paint hooks down.
class PaintHost : public CGridCtrl {
 public:
  std::vector<std::string> hooks;
  void OnPaintSetup(CGridPainter& screen, CGridPainter* buffer, int section) override {
    hooks.push_back("PaintSetup " + std::to_string(section) + (buffer ? " buffered" : ""));
  }
  GridColour GetSectionBackColor(int section) override {
    hooks.push_back("BackColor " + std::to_string(section));
    return CGridCtrl::GetSectionBackColor(section);
  }
  int OnCellTypeNotify(int typeIndex, int column, int row, int message, CGridNotifyParam& param) override {
    if (message == CGridDateTimePickerType::kBeforeCalendar && param.calendar) param.calendar->font = calendarFont;
    return 1;
  }
  GridFontRecord calendarFont;
  void DrawCurrentFocus(CGridPainter& dc, const GridRect& rect) override {
    hooks.push_back("DrawCurrentFocus");
    CGridCtrl::DrawCurrentFocus(dc, rect);
  }
};

class GridDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new wxFrame(nullptr, wxID_ANY, wxS("grid"), wxPoint(20, 20), wxSize(400, 300));
    grid = host = new PaintHost;
    ASSERT_TRUE(grid->CreateAndAttach(frame, wxID_ANY, wxPoint(0, 0), wxSize(380, 280)));
    grid->SetColumnCount(3);
    grid->SetRowCount(3);
    frame->Show();
    hvtest::Pump(std::chrono::milliseconds(50));
  }
  void TearDown() override {
    gridstyles::SetUseVisualStyles(false);
    frame->Destroy();
    hvtest::Pump(std::chrono::milliseconds(50));
  }
  // Cell (1, 1) as its type draws it into a white bitmap of the rectangle's size.
  wxImage Render(const CGridCell& stored, int width = 60, int height = 20, bool current = false) {
    grid->SetCell(1, 1, stored);
    CGridCell cell;
    grid->GetMergedCell(1, 1, cell);
    wxBitmap bmp(width, height, 24);
    {
      wxMemoryDC dc(bmp);
      dc.SetBackground(*wxWHITE_BRUSH);
      dc.Clear();
      grid->DrawCell(dc, GridRect{0, 0, width, height}, 1, 1, cell, 0, current);
    }
    return bmp.ConvertToImage();
  }
  static wxColour At(const wxImage& img, int x, int y) {
    return wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y));
  }
  static CGridCell CheckBox(int style, double value) {
    CGridCell cell;
    cell.SetCellTypeIndex(CGridCore::kTypeCheckBox);
    cell.SetCellTypeStyle(style);
    cell.SetNumber(value);
    return cell;
  }
  // Registered types live as long as the window that may paint them.
  CGridSpinButtonType spin;
  CGridDateTimePickerType picker;
  StripeType stripe;
  wxFrame* frame = nullptr;
  CGridCtrl* grid = nullptr;
  PaintHost* host = nullptr;
};

// A 60 x 20 cell: grid lines at the right and bottom, the box (3, 3)-(15, 15) inside.
TEST_F(GridDrawing, CheckBoxFramesOfStyles100And200) {
  const wxImage sunken = Render(CheckBox(0x100, 0));
  EXPECT_EQ(At(sunken, 3, 8), Sys(wxSYS_COLOUR_BTNSHADOW));
  EXPECT_EQ(At(sunken, 15, 8), wxColour(225, 225, 225));
  EXPECT_EQ(At(sunken, 8, 15), wxColour(225, 225, 225));
  EXPECT_EQ(At(sunken, 4, 8), kBlack);
  EXPECT_EQ(At(sunken, 8, 4), kBlack);
  EXPECT_EQ(At(sunken, 8, 14), Sys(wxSYS_COLOUR_BTNFACE));
  EXPECT_EQ(At(sunken, 14, 8), Sys(wxSYS_COLOUR_BTNFACE));
  EXPECT_EQ(At(sunken, 9, 9), kWhite);  // unchecked: nothing inside

  const wxImage raised = Render(CheckBox(0x200, 0));
  EXPECT_EQ(At(raised, 3, 8), wxColour(225, 225, 225));
  EXPECT_EQ(At(raised, 15, 8), kBlack);
  EXPECT_EQ(At(raised, 8, 15), kBlack);
  EXPECT_EQ(At(raised, 4, 8), Sys(wxSYS_COLOUR_BTNFACE));
  EXPECT_EQ(At(raised, 8, 14), Sys(wxSYS_COLOUR_BTNSHADOW));
}

TEST_F(GridDrawing, CheckBoxTickWithStyle1000ElseCross) {
  const wxImage tick = Render(CheckBox(0x1000, 1));
  const wxImage cross = Render(CheckBox(0, 1));
  EXPECT_EQ(At(cross, 8, 3), kBlack);  // the plain square frame
  EXPECT_EQ(At(tick, 8, 3), kBlack);
  // The tick starts low at the left and reaches out of the box at the top right.
  EXPECT_EQ(At(tick, 6, 11), kBlack);
  EXPECT_EQ(At(tick, 17, 4), kBlack);
  EXPECT_NE(At(tick, 6, 6), kBlack);
  // The cross runs corner to corner inside the box.
  EXPECT_EQ(At(cross, 6, 6), kBlack);
  EXPECT_EQ(At(cross, 6, 12), kBlack);
  EXPECT_NE(At(cross, 17, 4), kBlack);
  // Highlighted, frame and mark are white.
  grid->SetCell(1, 1, CheckBox(0, 1));
  CGridCell cell;
  grid->GetMergedCell(1, 1, cell);
  wxBitmap bmp(60, 20, 24);
  {
    wxMemoryDC dc(bmp);
    grid->DrawCell(dc, GridRect{0, 0, 60, 20}, 1, 1, cell, 1, false);
  }
  const wxImage selected = bmp.ConvertToImage();
  EXPECT_EQ(At(selected, 6, 6), kWhite);
  EXPECT_EQ(At(selected, 20, 10), Sys(wxSYS_COLOUR_HIGHLIGHT));
}

TEST_F(GridDrawing, IndeterminateAndReadOnlyBoxesArePatterned) {
  const wxColour face = Sys(wxSYS_COLOUR_BTNFACE), light = Sys(wxSYS_COLOUR_BTNHIGHLIGHT);
  ASSERT_NE(face, light);
  // Inside (4, 4)-(15, 15): the light colour where x + y is odd; the mark's lines avoid (10, 5) and (11, 5).
  const wxImage mixed = Render(CheckBox(0x2000, 2));
  EXPECT_EQ(At(mixed, 10, 5), light);
  EXPECT_EQ(At(mixed, 11, 5), face);
  EXPECT_EQ(At(mixed, 6, 6), Sys(wxSYS_COLOUR_BTNSHADOW));  // the mark of "mixed" in the shadow colour
  CGridCell readOnly = CheckBox(0, 0);
  readOnly.SetReadOnly(1);
  const wxImage locked = Render(readOnly);
  EXPECT_EQ(At(locked, 10, 5), light);
  EXPECT_EQ(At(locked, 11, 5), face);
  readOnly.SetReadOnly(2);   // blocks toggling, not drawn patterned
  EXPECT_EQ(At(Render(readOnly), 11, 5), kWhite);
}

// An 80 x 20 cell; the button is the inner rectangle's right w pixels.
TEST_F(GridDrawing, DropButtonRaisedThenPressedWithItsArrow) {
  const int w = grid->ButtonWidth();
  CGridCell cell;
  cell.SetCellTypeIndex(CGridCore::kTypeDropList);
  cell.SetLabel(wxS("a\nb\n"));
  const int left = 79 - w, x0 = left + (w - 5) / 2, y0 = (19 - 3) / 2;
  const wxImage raised = Render(cell, 80, 20, true);
  EXPECT_EQ(At(raised, left, 4), Sys(wxSYS_COLOUR_BTNHIGHLIGHT));
  EXPECT_EQ(At(raised, 78, 4), Sys(wxSYS_COLOUR_BTNSHADOW));
  EXPECT_EQ(At(raised, left + 2, 18), Sys(wxSYS_COLOUR_BTNSHADOW));
  EXPECT_EQ(At(raised, left - 1, 4), Sys(wxSYS_COLOUR_BTNFACE));  // the face line beside the button
  EXPECT_EQ(At(raised, x0, y0), kBlack);
  EXPECT_EQ(At(raised, x0 + 4, y0), kBlack);
  EXPECT_EQ(At(raised, x0 + 5, y0), Sys(wxSYS_COLOUR_BTNFACE));
  EXPECT_EQ(At(raised, x0 + 2, y0 + 2), kBlack);
  EXPECT_EQ(At(raised, x0 + 1, y0 + 2), Sys(wxSYS_COLOUR_BTNFACE));

  // Pressed on the button and held there: recessed.
  CGridCellType& type = grid->CellTypeAt(1, 1);
  GridRect rect;
  grid->CellRectangle(1, 1, rect);
  type.OnLeftClick(1, 1, 1, rect, GridPoint{rect.right - 3, rect.top + 4});
  type.OnMouseMove(1, 1, GridPoint{rect.right - 3, rect.top + 4}, kMkLeftButton);
  const wxImage pressed = Render(cell, 80, 20, true);
  EXPECT_EQ(At(pressed, left, 4), Sys(wxSYS_COLOUR_BTNSHADOW));
  EXPECT_EQ(At(pressed, 78, 4), Sys(wxSYS_COLOUR_BTNHIGHLIGHT));
  // Moved off the button with the button held: raised again.
  type.OnMouseMove(1, 1, GridPoint{rect.left + 2, rect.top + 4}, kMkLeftButton);
  EXPECT_EQ(At(Render(cell, 80, 20, true), left, 4), Sys(wxSYS_COLOUR_BTNHIGHLIGHT));

  // Read-only 1: the arrow grey with its white edge.
  cell.SetReadOnly(1);
  const wxImage locked = Render(cell, 80, 20, true);
  EXPECT_EQ(At(locked, x0, y0), wxColour(128, 128, 128));
  EXPECT_EQ(At(locked, x0 + 3, y0 + 3), kWhite);
  // Style 0x200 away from the current cell: no button at all.
  cell.SetReadOnly(0);
  cell.SetCellTypeStyle(0x200);
  EXPECT_EQ(At(Render(cell, 80, 20, false), x0, y0), kWhite);
}

TEST_F(GridDrawing, SpinHalvesRaisedThenThePressedHalfRecessed) {
  const int w = grid->ButtonWidth();
  const int id = grid->AddCellType(spin);
  CGridCell cell;
  cell.SetCellTypeIndex(id);
  cell.SetText(wxS("7"));
  const int left = 79 - w, middle = 19 / 2, cx = left + w / 2;
  const wxImage raised = Render(cell, 80, 20, true);
  EXPECT_EQ(At(raised, left, 3), Sys(wxSYS_COLOUR_BTNHIGHLIGHT));
  EXPECT_EQ(At(raised, 78, 3), Sys(wxSYS_COLOUR_BTNSHADOW));
  EXPECT_EQ(At(raised, left, middle + 4), Sys(wxSYS_COLOUR_BTNHIGHLIGHT));
  // Up arrow in the upper half: the point on top; down arrow below: the point at the bottom.
  const int upY = middle / 2, downY = middle + (19 - middle) / 2;
  EXPECT_EQ(At(raised, cx, upY - 1), kBlack);
  EXPECT_EQ(At(raised, cx - 2, upY + 1), kBlack);
  EXPECT_EQ(At(raised, cx - 2, upY - 1), Sys(wxSYS_COLOUR_BTNFACE));
  EXPECT_EQ(At(raised, cx, downY + 1), kBlack);
  EXPECT_EQ(At(raised, cx - 2, downY - 1), kBlack);

  GridRect rect;
  grid->CellRectangle(1, 1, rect);
  spin.OnLeftClick(1, 1, 1, rect, GridPoint{rect.right - 2, rect.top + 2});
  const wxImage up = Render(cell, 80, 20, true);
  EXPECT_EQ(At(up, left, 3), Sys(wxSYS_COLOUR_BTNSHADOW));
  EXPECT_EQ(At(up, 78, 3), Sys(wxSYS_COLOUR_BTNHIGHLIGHT));
  EXPECT_EQ(At(up, left, middle + 4), Sys(wxSYS_COLOUR_BTNHIGHLIGHT));  // the other half stays raised
  // Leaving the half with the button held releases it; the release ends the press.
  spin.OnMouseMove(1, 1, GridPoint{rect.left + 2, rect.top + 2}, kMkLeftButton);
  EXPECT_EQ(At(Render(cell, 80, 20, true), left, 3), Sys(wxSYS_COLOUR_BTNHIGHLIGHT));
  spin.OnMouseMove(1, 1, GridPoint{rect.right - 2, rect.top + 2}, kMkLeftButton);
  EXPECT_EQ(At(Render(cell, 80, 20, true), left, 3), Sys(wxSYS_COLOUR_BTNSHADOW));
  EXPECT_EQ(spin.OnLeftClick(1, 1, 0, rect, GridPoint{rect.right - 2, rect.top + 2}), 1);
  EXPECT_EQ(At(Render(cell, 80, 20, true), left, 3), Sys(wxSYS_COLOUR_BTNHIGHLIGHT));
}

TEST_F(GridDrawing, CellBitmapsAtNaturalSizeOrScaledToTheCell) {
  auto small = std::make_shared<GridImage>();
  small->width = small->height = 6;
  small->rgb.assign(6 * 6 * 3, 0);
  for (size_t i = 0; i < small->rgb.size(); i += 3) small->rgb[i] = 255;
  CGridCell cell;
  cell.SetBitmap(small);
  cell.SetText(wxS("x"));
  const wxImage drawn = Render(cell);
  // Margin 2, vertically centred in the inner 19 pixels.
  EXPECT_EQ(At(drawn, 2, 6), wxColour(255, 0, 0));
  EXPECT_EQ(At(drawn, 7, 11), wxColour(255, 0, 0));
  EXPECT_EQ(At(drawn, 1, 8), kWhite);
  EXPECT_EQ(At(drawn, 8, 8), kWhite);

  auto tall = std::make_shared<GridImage>();
  tall->width = tall->height = 40;
  tall->rgb.assign(40 * 40 * 3, 0);
  for (size_t i = 2; i < tall->rgb.size(); i += 3) tall->rgb[i] = 255;
  cell.SetBitmap(tall);
  const wxImage scaled = Render(cell);
  // Height 19 - 4 = 15 from the top margin; width 40 x 37 / 100 = 14.
  EXPECT_EQ(At(scaled, 2, 2), wxColour(0, 0, 255));
  EXPECT_EQ(At(scaled, 15, 16), wxColour(0, 0, 255));
  EXPECT_NE(At(scaled, 2, 17), wxColour(0, 0, 255));
  EXPECT_NE(At(scaled, 16, 8), wxColour(0, 0, 255));
}

TEST_F(GridDrawing, AHostRegisteredTypeDrawsItselfWhenTheCellsArePainted) {
  const int id = grid->AddCellType(stripe);
  CGridCell cell;
  cell.SetCellTypeIndex(id);
  grid->SetCell(2, 0, cell);
  const CGridSheetInfo& s = grid->Sheet();
  wxBitmap bmp(s.cellAreaWidth, s.cellAreaHeight, 24);
  {
    wxMemoryDC dc(bmp);
    grid->PaintCells(dc, wxRect(0, 0, s.cellAreaWidth, s.cellAreaHeight), false);
  }
  const wxImage img = bmp.ConvertToImage();
  GridRect r;
  grid->CellRectangle(2, 0, r);
  EXPECT_EQ(At(img, r.left + 10, r.top + 2), wxColour(0, 160, 0));
  EXPECT_EQ(At(img, r.left + 5, r.top + 5), kBlack);
  EXPECT_EQ(At(img, r.left + 5, r.top + 6), wxColour(0, 160, 0));
  grid->CellRectangle(1, 0, r);
  EXPECT_NE(At(img, r.left + 10, r.top + 2), wxColour(0, 160, 0));
}

TEST_F(GridDrawing, WithVisualStylesOnTheNativeRendererDrawsTheButtons) {
  CGridCell cell;
  cell.SetCellTypeIndex(CGridCore::kTypeDropList);
  const int left = 79 - grid->ButtonWidth();
  const wxImage plain = Render(cell, 80, 20, true);
  gridstyles::SetUseVisualStyles(true);
  const wxImage themed = Render(cell, 80, 20, true);
  int differing = 0;
  for (int x = left; x < 79; ++x)
    for (int y = 0; y < 19; ++y) differing += At(plain, x, y) != At(themed, x, y);
  EXPECT_GT(differing, 10);
  // A cell that asks for no visual styles keeps the plain look.
  cell.SetUseVisualStyles(false);
  grid->SetCell(1, 1, cell);
  CGridCell merged;
  grid->GetMergedCell(1, 1, merged);
  merged.SetUseVisualStyles(false);
  wxBitmap bmp(80, 20, 24);
  {
    wxMemoryDC dc(bmp);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    grid->DrawCell(dc, GridRect{0, 0, 80, 20}, 1, 1, merged, 0, true);
  }
  const wxImage own = bmp.ConvertToImage();
  EXPECT_EQ(At(own, left, 4), At(plain, left, 4));
}

TEST_F(GridDrawing, PaintingAsksTheHostToSetUpFirstAndDrawsTheFocusLast) {
  grid->MoveToCell(1, 1);
  const CGridSheetInfo& s = grid->Sheet();
  wxBitmap bmp(s.cellAreaWidth, s.cellAreaHeight, 24), buffer(s.cellAreaWidth, s.cellAreaHeight, 24);
  host->hooks.clear();
  {
    wxMemoryDC dc(bmp);
    grid->PaintCells(dc, wxRect(0, 0, s.cellAreaWidth, s.cellAreaHeight), true);
  }
  EXPECT_EQ(host->hooks, (std::vector<std::string>{"PaintSetup 1", "BackColor 1", "DrawCurrentFocus"}));
  // Double buffering: the cells go to the buffer, the setup sees both.
  ASSERT_EQ(grid->SetDoubleBuffer(1), 0);
  host->hooks.clear();
  {
    wxMemoryDC dc(bmp), off(buffer);
    grid->PaintCells(dc, wxRect(0, 0, s.cellAreaWidth, s.cellAreaHeight), false, &off);
  }
  EXPECT_EQ(host->hooks.front(), "PaintSetup 1 buffered");
  // Headings and the corner, which reports itself as the top heading.
  host->hooks.clear();
  {
    wxMemoryDC dc(bmp);
    grid->PaintHeading(dc, kSectionCorner, wxSize(40, 20));
    grid->PaintHeading(dc, kSectionSideHeading, wxSize(40, 100));
  }
  EXPECT_EQ(host->hooks.front(), "PaintSetup 2");
  EXPECT_NE(std::find(host->hooks.begin(), host->hooks.end(), "PaintSetup 3"), host->hooks.end());
}

TEST_F(GridDrawing, TheFindWindowFindsAndKeepsOffTheFoundCell) {
  grid->SetRowCount(12);
  grid->SetCellText(1, 8, wxS("Ventil"));
  grid->MoveToCell(1, 0);  // the search runs down the current column
  grid->OpenFindDialog(false);
  wxFindReplaceDialog* find = grid->FindDialog();
  ASSERT_TRUE(find);
  hvtest::Pump(std::chrono::milliseconds(100));
  GridRect target;
  grid->CellRectangle(1, 8, target);
  const wxPoint at = grid->CellArea()->ClientToScreen(wxPoint(0, target.top - 10));
  find->Move(at);
  hvtest::Pump(std::chrono::milliseconds(100));
  wxFindDialogEvent e(wxEVT_FIND, find->GetId());
  e.SetEventObject(find);
  e.SetFindString(wxS("ventil"));
  e.SetFlags(wxFR_DOWN);
  find->GetEventHandler()->ProcessEvent(e);
  EXPECT_EQ(grid->Sheet().currentColumn, 1);
  EXPECT_EQ(grid->Sheet().currentRow, 8);
  grid->CellRectangle(1, 8, target);
  const wxRect cell(grid->CellArea()->ClientToScreen(wxPoint(target.left, target.top)),
                    wxSize(target.Width(), target.Height()));
  hvtest::PumpUntil([&] { return !find->GetScreenRect().Intersects(cell); }, std::chrono::seconds(2));
  EXPECT_FALSE(find->GetScreenRect().Intersects(cell));
  wxFindDialogEvent close(wxEVT_FIND_CLOSE, find->GetId());
  close.SetEventObject(find);
  find->GetEventHandler()->ProcessEvent(close);
  EXPECT_FALSE(grid->FindDialog());
}

TEST_F(GridDrawing, ScrollBarsByDirectionAndRightToLeftFromTheDialog) {
  EXPECT_EQ(grid->GetScrollBarCtrl(wxVERTICAL), grid->VScroll());
  EXPECT_EQ(grid->GetScrollBarCtrl(wxHORIZONTAL), grid->HScroll());
  EXPECT_NE(grid->GetLayoutDirection(), wxLayout_RightToLeft);
  auto* panel = new wxPanel(frame);
  panel->SetLayoutDirection(wxLayout_RightToLeft);
  auto* rtl = new CGridCtrl;
  ASSERT_TRUE(rtl->CreateAndAttach(panel, wxID_ANY, wxPoint(0, 0), wxSize(200, 100)));
  EXPECT_EQ(rtl->GetLayoutDirection(), wxLayout_RightToLeft);
  EXPECT_EQ(rtl->CellArea()->GetLayoutDirection(), wxLayout_RightToLeft);
  panel->Destroy();
}

TEST_F(GridDrawing, TheCalendarTakesTheFontTheHostGivesIt) {
  CGridCell cell;
  cell.SetCellTypeIndex(grid->AddCellType(picker));
  cell.SetText(wxS("01.02.2024"));
  grid->SetCell(1, 1, cell);
  host->calendarFont.height = -23;
  host->calendarFont.weight = 700;
  host->calendarFont.face = wxS("DejaVu Sans");
  grid->MoveToCell(1, 1);
  picker.OpenCalendar(1, 1);
  ASSERT_TRUE(hvtest::PumpUntil([&] { return grid->Calendar()->IsShown(); }, std::chrono::seconds(2)));
  const wxFont shown = grid->Calendar()->CalendarCtrl()->GetFont();
  EXPECT_EQ(shown.GetNumericWeight(), 700);
  EXPECT_EQ(shown.GetPixelSize().y, CGridCtrl::FontFromRecord(host->calendarFont).GetPixelSize().y);
  grid->Calendar()->Dismiss();
  hvtest::Pump(std::chrono::milliseconds(50));
}

TEST_F(GridDrawing, CtrlEnterTypesALineFeedInAWordWrappedCell) {
  CGridCell wrapped;
  wrapped.SetCellTypeStyle(2);
  wrapped.SetText(wxS("a"));
  grid->SetCell(1, 1, wrapped);
  grid->MoveToCell(1, 1);
  ASSERT_EQ(grid->StartEdit(1, 1), 0);
  CGridEdit* edit = grid->Editor();
  ASSERT_TRUE(edit && edit->IsMultiLineEditor() && edit->IsShown());
  edit->SetInsertionPointEnd();
  const auto key = [&](wxEventType type, int code, bool ctrl) {
    wxKeyEvent e(type);
    e.m_keyCode = code;
    e.m_uniChar = static_cast<wxChar>(code);
    e.m_controlDown = ctrl;
    e.SetEventObject(edit);
    edit->GetEventHandler()->ProcessEvent(e);
  };
  key(wxEVT_CHAR_HOOK, WXK_RETURN, true);   // Ctrl+Enter does not end the edit ...
  ASSERT_TRUE(grid->IsEditing());
  key(wxEVT_CHAR, WXK_RETURN, true);        // ... it types a line feed
  key(wxEVT_CHAR, 'b', false);
  EXPECT_EQ(edit->GetValue(), wxS("a\nb"));
  key(wxEVT_CHAR_HOOK, WXK_RETURN, false);  // Enter stores both lines and goes on below
  EXPECT_EQ(grid->GetCellText(1, 1), wxS("a\nb"));
  EXPECT_EQ(grid->EditRow(), 2);
  grid->FinishEdit(true, wxString(), false, -1, -1);
  ASSERT_FALSE(grid->IsEditing());
  // A plain cell keeps the single-line editor, where Ctrl+Enter types nothing.
  ASSERT_EQ(grid->StartEdit(2, 2), 0);
  EXPECT_FALSE(grid->Editor()->IsMultiLineEditor());
  grid->FinishEdit(true, wxString(), false, -1, -1);
}

}  // namespace
