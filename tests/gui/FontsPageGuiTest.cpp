// The device's fonts page hosted in a dialog: a font picked with the mouse and OK write
// "DEVICE.SET" [Fonts]; Cancel leaves the file as it was; F5 reloads.
#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/uiaction.h>

#include "framework/CommandIds.h"
#include "grid/ui/GridCellArea.h"
#include "grid/ui/GridEditors.h"
#include "platform/Paths.h"
#include "resources/ui/FontsGridCtrl.h"
#include "resources/ui/PPFonts.h"
#include <wx/dcmemory.h>
#include "tests/support/FakeDevice.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/TestEnv.h"

using namespace hvtest;
using std::chrono::milliseconds;

namespace {

const std::string kDeviceSet = "[Config]\r\nType=TP\r\n[Fonts]\r\n1033-A=B\r\n";

class FontsPage : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* f : {"fonts/A.fnt", "fonts/B.fnt"}) {
      hv::MakeFolders(hv::PathFolder(home.Sub(wxString::FromUTF8(f))));
      WriteAll(home.Sub(wxString::FromUTF8(f)), "x");
    }
    WriteAll(home.Sub(wxS("DEVICE.SET")), kDeviceSet);
    device.languages = {{1033, wxS("Englisch")}, {1031, wxS("Deutsch")}};
    device.defaultLanguage = 1031;
    dlg = new wxDialog(nullptr, wxID_ANY, wxS("Gerät"), wxPoint(40, 40), wxDefaultSize);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    page = new CPPFonts(dlg, device.Handle(), device.Project(), &unicode, false);
    sizer->Add(page, 1, wxEXPAND);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    ok = new wxButton(dlg, wxID_OK, wxS("OK"));
    auto* cancel = new wxButton(dlg, wxID_CANCEL, wxS("Abbrechen"));
    buttons->Add(ok);
    buttons->Add(cancel);
    sizer->Add(buttons, 0, wxALL, 4);
    // What the property sheet will do with its pages.
    ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      if (page->OnOK()) dlg->Hide();
    });
    cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { dlg->Hide(); });
    dlg->SetSizerAndFit(sizer);
    page->OnInitDialog();
    dlg->Layout();
    dlg->Show();
    ASSERT_TRUE(PumpUntil([&] { return page->Grid().CellArea()->IsShownOnScreen(); }));
    Pump(milliseconds(100));
  }
  void TearDown() override {
    dlg->Destroy();
    Pump(milliseconds(50));
  }

  wxPoint CellPoint(int column, int row, double fx) {
    GridRect r;
    page->Grid().CellRectangle(column, row, r);
    return page->Grid().CellArea()->ClientToScreen(
        wxPoint(r.left + static_cast<int>(r.Width() * fx), r.top + r.Height() / 2));
  }
  void Click(const wxPoint& p) {
    sim.MouseMove(p);
    Pump(milliseconds(60));
    sim.MouseClick();
    Pump(milliseconds(120));
  }
  // Opens the list of a cell with the mouse and clicks the entry.
  void Pick(int column, int row, int entry) {
    Click(CellPoint(column, row, 0.93));
    ASSERT_TRUE(PumpUntil([&] { return page->Grid().DropList()->IsShown(); }));
    const wxRect list = page->Grid().DropList()->GetScreenRect();
    const int h = page->Grid().DropList()->ItemHeight();
    Click(wxPoint(list.x + 8, list.y + 2 + h * entry + h / 2));
    ASSERT_TRUE(PumpUntil([&] { return !page->Grid().DropList()->IsShown(); }));
  }
  void ClickButton(wxButton* b) {
    const wxRect r = b->GetScreenRect();
    Click(wxPoint(r.x + r.width / 2, r.y + r.height / 2));
  }

  TempHome home;
  FakeDevice device{home.Path()};
  BOOL unicode = FALSE;
  wxDialog* dlg = nullptr;
  CPPFonts* page = nullptr;
  wxButton* ok = nullptr;
  wxUIActionSimulator sim;
};

}  // namespace

TEST_F(FontsPage, ShowsLanguagesFontsAndStoredChoices) {
  CFontsGridCtrl& g = page->Grid();
  ASSERT_EQ(g.GetColumnCount(), 2);
  ASSERT_EQ(g.GetRowCount(), 2);
  EXPECT_EQ(g.GetCellText(0, -1), wxS("Deutsch"));
  EXPECT_EQ(g.GetCellText(1, -1), wxS("Englisch"));
  EXPECT_EQ(g.GetCellText(-1, 1), wxS("B"));
  EXPECT_EQ(g.GetCellText(1, 0), wxS("B"));
  EXPECT_EQ(g.GetCellText(0, 0), wxString());
  // The device's names are not Unicode: the box is off and cannot be changed.
  EXPECT_FALSE(page->UnicodeBox()->IsEnabled());
  EXPECT_FALSE(page->UnicodeBox()->GetValue());
}

// The current cell carries a dotted frame while the grid has the focus, so the arrow
// keys' place is seen; the drop list opens in the cell's own font.
TEST_F(FontsPage, TheCurrentCellIsFramedAndItsListUsesTheCellsFont) {
  CFontsGridCtrl& g = page->Grid();
  g.MoveToCell(1, 1);
  const CGridSheetInfo& s = g.Sheet();
  const auto render = [&](bool focus) {
    wxBitmap bmp(s.cellAreaWidth, s.cellAreaHeight, 24);
    wxMemoryDC dc(bmp);
    g.PaintCells(dc, wxRect(0, 0, s.cellAreaWidth, s.cellAreaHeight), focus);
    dc.SelectObject(wxNullBitmap);
    return bmp.ConvertToImage();
  };
  const wxImage plain = render(false), framed = render(true);
  GridRect r;
  g.CellRectangle(1, 1, r);
  // Along the frame's top edge (inside the cell, left of the drop button) every other
  // pixel or so is dark.
  int dark = 0, changed = 0, length = 0;
  const int y = r.top + 1;
  for (int x = r.left + 2; x < r.right - g.ButtonWidth() - 2; ++x, ++length) {
    const int lum = framed.GetRed(x, y) + framed.GetGreen(x, y) + framed.GetBlue(x, y);
    dark += lum < 200;
    changed += framed.GetRed(x, y) != plain.GetRed(x, y);
  }
  ASSERT_GT(length, 10);
  EXPECT_GE(dark, length / 3);
  EXPECT_GE(changed, length / 3);

  CGridCell cell;
  ASSERT_EQ(g.GetMergedCell(0, 1, cell), 0);
  const wxFont cellFont = g.FontOf(cell.IsSet(gridcell::kFont) ? cell.GetFont() : s.defaultFont);
  EXPECT_EQ(cellFont.GetPixelSize().y, 11);
  EXPECT_EQ(cellFont.GetFaceName(), "Arial");
  Click(CellPoint(0, 1, 0.93));
  ASSERT_TRUE(PumpUntil([&] { return g.DropList()->IsShown(); }));
  EXPECT_EQ(g.DropList()->GetFont(), cellFont);
  sim.Char(WXK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !g.DropList()->IsShown(); }));
}

// The keyboard alone reaches the grid: Tab from the dialog's buttons comes to its cells,
// where the arrows move the current cell, and Tab goes on from there.
TEST_F(FontsPage, TabReachesTheGrid) {
  ok->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() == ok; }));
  bool reached = false;
  for (int i = 0; i < 6 && !reached; ++i) {
    sim.Char(WXK_TAB);
    Pump(milliseconds(60));
    reached = wxWindow::FindFocus() == page->Grid().CellArea();
  }
  ASSERT_TRUE(reached);
  page->Grid().MoveToCell(0, 0);
  sim.Char(WXK_DOWN);
  EXPECT_TRUE(PumpUntil([&] { return page->Grid().Sheet().currentRow == 1; }, milliseconds(2000)));
  // Tab leaves it again: the keyboard is not caught in the cells.
  sim.Char(WXK_TAB);
  EXPECT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() != page->Grid().CellArea(); }, milliseconds(2000)));
}

TEST_F(FontsPage, FontPickedWithTheMouseAndOkWritesTheLine) {
  Pick(0, 1, 1);  // Deutsch / B -> "A"
  EXPECT_EQ(page->Grid().GetCellText(0, 1), wxS("A"));
  ClickButton(ok);
  ASSERT_TRUE(PumpUntil([&] { return !dlg->IsShown(); }));
  const std::string written = ReadAll(home.Sub(wxS("DEVICE.SET")));
  EXPECT_NE(written.find("1031-B=A"), std::string::npos) << written;
  EXPECT_NE(written.find("1033-A=B"), std::string::npos) << written;
  EXPECT_NE(written.find("Type=TP"), std::string::npos) << written;
  EXPECT_FALSE(unicode);
}

TEST_F(FontsPage, NoneChoiceRemovesTheLine) {
  Pick(1, 0, 0);  // Englisch / A -> "<kein>"
  ClickButton(ok);
  ASSERT_TRUE(PumpUntil([&] { return !dlg->IsShown(); }));
  EXPECT_EQ(ReadAll(home.Sub(wxS("DEVICE.SET"))).find("1033-A"), std::string::npos);
}

TEST_F(FontsPage, CancelLeavesTheFileByteIdentical) {
  Pick(0, 1, 1);
  const wxRect r = dlg->FindWindow(wxID_CANCEL)->GetScreenRect();
  Click(wxPoint(r.x + r.width / 2, r.y + r.height / 2));
  ASSERT_TRUE(PumpUntil([&] { return !dlg->IsShown(); }));
  EXPECT_EQ(ReadAll(home.Sub(wxS("DEVICE.SET"))), kDeviceSet);
}

TEST_F(FontsPage, RightClickShowsNoEmptyMenu) {
  // The popup switch is on but no item was added: nothing opens, the click still moves.
  sim.MouseMove(CellPoint(1, 1, 0.3));
  Pump(milliseconds(60));
  sim.MouseClick(wxMOUSE_BTN_RIGHT);
  Pump(milliseconds(200));
  EXPECT_EQ(page->Grid().Sheet().currentColumn, 1);
  EXPECT_EQ(page->Grid().Sheet().currentRow, 1);
  EXPECT_EQ(page->Grid().StartPopupMenu(1, 1, GridPoint{5, 5}, kSectionCells), 3);
}

TEST_F(FontsPage, F5DropsUnsavedChoices) {
  Pick(0, 1, 2);
  EXPECT_EQ(page->Grid().GetCellText(0, 1), wxS("B"));
  page->Grid().CellArea()->SetFocus();
  sim.Char(WXK_F5);
  ASSERT_TRUE(PumpUntil([&] { return page->Grid().GetCellText(0, 1).empty(); }));
  EXPECT_EQ(page->Grid().Model().Value(0, 1), wxString());
  EXPECT_EQ(page->Grid().GetCellText(1, 0), wxS("B"));
  EXPECT_EQ(page->Grid().GetRowCount(), 2);
}

// The page on a device made through the program's own new-device command: folder,
// languages and default language come from the services bound at start-up.
class FontsPageOnRealDevice : public hvtest::ProjectWindowFixture {};

TEST_F(FontsPageOnRealDevice, PickAndOkWriteTheDevicesSettingsFile) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  ASSERT_TRUE(SelectInTree(project));
  AnswerNewDevice({S("Panel")});
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  Pump(milliseconds(100));
  auto* device = dynamic_cast<CPOPrjDevice*>(hvtest::ChildNamed(project, S("Panel")));
  ASSERT_TRUE(device);
  const wxString folder = device->GetDeviceFolder();
  hv::MakeFolders(hv::JoinPath(folder, wxS("fonts")));
  const wxString fonts = hv::ResolvePath(hv::JoinPath(folder, wxS("fonts")));
  WriteAll(hv::JoinPath(fonts, wxS("Klein.fnt")), "x");
  WriteAll(hv::JoinPath(fonts, wxS("Gross.fnt")), "x");

  BOOL unicode = FALSE;
  auto* dlg = new wxDialog(nullptr, wxID_ANY, S("Gerät"), wxPoint(60, 60), wxDefaultSize);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  auto* page = new CPPFonts(dlg, device, project, &unicode, false);
  sizer->Add(page, 1, wxEXPAND);
  dlg->SetSizerAndFit(sizer);
  page->OnInitDialog();
  dlg->Show();
  ASSERT_TRUE(PumpUntil([&] { return page->Grid().CellArea()->IsShownOnScreen(); }));
  CFontsGridCtrl& g = page->Grid();
  ASSERT_GE(g.GetColumnCount(), 1);
  const WORD language = g.Model().Language(0).number;
  EXPECT_EQ(language, devsvc::DefaultLanguage(project));
  int gross = -1, klein = -1;
  ASSERT_TRUE(g.FindFontRow(S("Gross"), gross));
  ASSERT_TRUE(g.FindFontRow(S("Klein"), klein));
  EXPECT_EQ(g.GetCellText(-1, gross), S("Gross"));

  wxUIActionSimulator sim;
  GridRect r;
  g.CellRectangle(0, gross, r);
  sim.MouseMove(g.CellArea()->ClientToScreen(wxPoint(r.right - 5, r.top + r.Height() / 2)));
  Pump(milliseconds(60));
  sim.MouseClick();
  ASSERT_TRUE(PumpUntil([&] { return g.DropList()->IsShown(); }));
  const wxRect list = g.DropList()->GetScreenRect();
  const int h = g.DropList()->ItemHeight();
  sim.MouseMove(wxPoint(list.x + 8, list.y + 2 + h * (klein + 1) + h / 2));  // after "<kein>"
  Pump(milliseconds(60));
  sim.MouseClick();
  ASSERT_TRUE(PumpUntil([&] { return !g.DropList()->IsShown(); }));
  EXPECT_EQ(g.GetCellText(0, gross), S("Klein"));
  ASSERT_TRUE(page->OnOK());
  const std::string written = ReadAll(hv::ResolvePath(hv::JoinPath(folder, wxS("DEVICE.SET"))));
  EXPECT_NE(written.find(wxString::Format("%d-Gross=Klein", static_cast<int>(language)).ToStdString()),
            std::string::npos)
      << written;
  dlg->Destroy();
  Pump(milliseconds(50));
}
