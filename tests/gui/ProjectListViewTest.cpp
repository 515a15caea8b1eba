// The project list in the real control: a very long list, sorting, stored layouts,
// print preview and printing to a file.
#include <gtest/gtest.h>

#include <chrono>
#include <wx/cmndata.h>
#include <wx/dcclient.h>
#include <wx/listctrl.h>
#include <wx/dcps.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/print.h>
#include <wx/prntbase.h>

#include "app/CommandRouting.h"
#include "app/ui/ListPrintout.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectTreeView.h"
#include "framework/CommandIds.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::S;
using hvtest::ViewNode;

namespace {

std::vector<ColumnDef> Columns() {
  std::vector<ColumnDef> t(3);
  t[0].title = S("Name");
  t[0].width = 120;
  t[1].title = S("Wert");
  t[1].width = 60;
  t[1].subItem = 1;
  t[1].order = 1;
  t[1].format = 1;
  t[2].title = S("Info");
  t[2].width = 80;
  t[2].subItem = 2;
  t[2].order = 2;
  return t;
}

// A screen "Löschen" removes from its folder, unless it is one that refuses.
class DeletableMask : public ViewNode {
 public:
  DeletableMask(const wxString& name, bool refuses) : ViewNode(TypeCode::Mask, name), m_refuses(refuses) {
    treeChildren = false;
    shownInTree = false;
  }
  BOOL OnCmdMsg(UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) override {
    if (id != ID_OBJECT_DELETE) return ViewNode::OnCmdMsg(id, code, ui, probe);
    if (code == CN_COMMAND && !probe && !m_refuses) OnDelete();
    if (code == CN_UPDATE_COMMAND_UI && ui) ui->Enable(TRUE);
    return TRUE;
  }

 private:
  bool m_refuses;
};

class ListView : public hvtest::WindowFixture {
 protected:
  ListView() { masks->columns = &maskColumns; }
  void Fill(int count) {
    for (int i = 0; i < count; ++i) masks->AddNode(TypeCode::Mask, wxString::Format("M%06d", i))->value = (i * 7919) % count;
  }
  wxString Text(long row, long column) { return List().Control()->GetItemText(row, column); }

  std::vector<ColumnDef> maskColumns = Columns();
};

}  // namespace

// How fast this is, is measured in bench/list_bench.cpp; here: only the rows on
// screen are asked for their texts, however long the list.
TEST_F(ListView, AHundredThousandRowsAskOnlyForTheRowsOnScreen) {
  Fill(100000);
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen"));
  ViewNode::textRequests = 0;
  Tree().SelectItem(Tree().ItemOf(masks).GetID());
  List().Control()->Update();
  hvtest::PumpUntilIdle();
  ASSERT_EQ(List().Control()->GetItemCount(), 100000);
  EXPECT_EQ(Text(0, 0), S("M000000"));
  EXPECT_LT(ViewNode::textRequests, 2000);

  List().Control()->EnsureVisible(99999);
  List().Control()->Update();
  List().Control()->EnsureVisible(50000);
  List().Control()->Update();
  hvtest::PumpUntilIdle();
  EXPECT_EQ(Text(99999, 0), S("M099999"));
  EXPECT_LT(ViewNode::textRequests, 6000);
}

TEST_F(ListView, ColumnClicksSortAndTheLayoutIsStoredAndRestored) {
  Fill(5);
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken"));
  ASSERT_EQ(List().Control()->GetItemCount(), 5);
  EXPECT_EQ(Text(0, 0), S("M000000"));
  wxListEvent click(wxEVT_LIST_COL_CLICK, List().Control()->GetId());
  click.SetEventObject(List().Control());
  click.m_col = 1;
  List().Control()->GetEventHandler()->ProcessEvent(click);
  // Values 0, 4, 3, 2, 1 (i * 7919 % 5): ascending by value.
  EXPECT_EQ(Text(0, 1), S("0"));
  EXPECT_EQ(Text(1, 1), S("1"));
  EXPECT_EQ(Text(4, 1), S("4"));
  List().Control()->GetEventHandler()->ProcessEvent(click);
  EXPECT_EQ(Text(0, 1), S("4"));

  // Leaving the type stores its layout; coming back restores it.
  // The widths as shown (the defaults may have grown to fit their titles).
  List().Control()->SetColumnWidth(0, 171);
  const wxString stored = wxString::Format("171,0,%d,1,%d,2,-2", List().Control()->GetColumnWidth(1),
                                           List().Control()->GetColumnWidth(2));
  Tree().SelectItem(Tree().ItemOf(resources).GetID());
  hv::IniFlushCache();
  EXPECT_EQ(hv::IniGetString(home.Sub("Project.INI"), "Pane1", "21213000", ""), stored);
  maskColumns = Columns();
  profile.WriteString("Pane1", "21213000", "90,2,55,0,66,1,3");
  Tree().SelectItem(Tree().ItemOf(masks).GetID());
  ASSERT_EQ(List().Control()->GetColumnCount(), 3);
  wxListItem heading;
  heading.SetMask(wxLIST_MASK_TEXT);
  List().Control()->GetColumn(0, heading);
  EXPECT_EQ(heading.GetText(), S("Wert"));
  EXPECT_EQ(List().Control()->GetColumnWidth(0), 55);
  EXPECT_EQ(List().Control()->GetColumnWidth(2), 90);
  // Sorted by the third column ascending ("c2" for all): name order stays.
  EXPECT_EQ(Text(0, 2), S("M000000"));

  // The view style goes to the profile when the window goes.
  List().Presenter().SetViewStyle(LIST_STYLE_LIST);
  EXPECT_EQ(List().Control()->GetItemCount(), 5);
  Close();
  hv::IniFlushCache();
  EXPECT_EQ(hv::IniGetString(home.Sub("Project.INI"), "Pane1", "Type", ""), "3");
}

// The sort mark of a right-aligned column stands clear of its title: the title ends
// two blanks' widths before it, as the printed header has it.
TEST_F(ListView, TheSortMarkKeepsOffARightAlignedTitle) {
  maskColumns[1].title = S("Größe");
  Fill(3);
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken"));
  wxListCtrl* list = List().Control();
  wxListEvent click(wxEVT_LIST_COL_CLICK, list->GetId());
  click.SetEventObject(list);
  click.m_col = 1;
  list->GetEventHandler()->ProcessEvent(click);
  wxWindow* header = List().HeaderWindow();
  ASSERT_TRUE(header);
  header->Refresh();
  header->Update();
  hvtest::Pump(std::chrono::milliseconds(200));
  const wxImage shot = hvtest::GrabWindow(header);
  ASSERT_TRUE(shot.IsOk());
  wxClientDC dc(header);
  dc.SetFont(header->GetFont());
  const int w = 2 * dc.GetTextExtent(" ").x;
  const int left = list->GetColumnWidth(0), right = left + list->GetColumnWidth(1);
  const auto lum = [&](int x, int y) { return shot.GetRed(x, y) + shot.GetGreen(x, y) + shot.GetBlue(x, y); };
  const int background = lum(left + 3, 2);
  // Columns of the heading with ink in its middle band, right to left.
  std::vector<bool> ink(static_cast<size_t>(right - left), false);
  for (int x = left + 2; x < right - 2 && x < shot.GetWidth(); ++x)
    for (int y = shot.GetHeight() / 4; y < shot.GetHeight() * 3 / 4; ++y)
      if (lum(x, y) < background - 90) ink[static_cast<size_t>(x - left)] = true;
  int x = right - left - 1;
  while (x >= 0 && !ink[static_cast<size_t>(x)]) --x;   // the mark's right end
  ASSERT_GT(x, 0);
  while (x >= 0 && ink[static_cast<size_t>(x)]) --x;    // the mark
  const int markLeft = x + 1;
  int gap = 0;
  while (x >= 0 && !ink[static_cast<size_t>(x)]) --x, ++gap;
  ASSERT_GE(x, 0) << "no title left of the mark";
  EXPECT_GE(gap, w) << "mark at " << markLeft << ", title ends at " << x;
}

TEST_F(ListView, PreviewBuildsAndPrintingToAFileWorks) {
  Fill(120);
  masks->caption = S("Masken des Geräts");
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken"));
  ASSERT_EQ(List().Control()->GetItemCount(), 120);

  // The preview window of the command.
  List().PrintPreview();
  hvtest::Pump();
  wxPreviewFrame* preview = nullptr;
  for (wxWindow* w : wxTopLevelWindows)
    if (auto* p = wxDynamicCast(w, wxPreviewFrame)) preview = p;
  ASSERT_TRUE(preview);
  EXPECT_TRUE(preview->IsShown());
  preview->Close(true);
  hvtest::Pump();
  wxPrintPreview direct(new CListPrintout(List()), new CListPrintout(List()));
  ASSERT_TRUE(direct.IsOk());
  EXPECT_GE(direct.GetMaxPage(), 1);
  EXPECT_TRUE(direct.SetCurrentPage(direct.GetMaxPage()));

  // Printing to a PostScript file, without a dialog (and without its font metrics).
  wxLogNull quiet;
  hvtest::TempDir dir;
  const wxString file = dir.Sub("liste.ps");
  wxPrintData data;
  data.SetFilename(file);
  data.SetPrintMode(wxPRINT_MODE_FILE);
  wxPrintDialogData dialogData(data);
  dialogData.SetFromPage(1);
  dialogData.SetToPage(9999);   // every page the printout has
  wxPostScriptPrinter printer(&dialogData);
  CListPrintout printout(List());
  ASSERT_TRUE(printer.Print(frame, &printout, false));
  EXPECT_GT(printout.Pagination().rowsPerPage, 0);
  const int pages = printout.Pagination().pageCount;
  EXPECT_EQ(pages, (120 + printout.Pagination().rowsPerPage - 1) / printout.Pagination().rowsPerPage);
  const std::string ps = hvtest::ReadAll(file);
  ASSERT_FALSE(ps.empty());
  int pageMarks = 0;
  for (size_t at = ps.find("%%Page:"); at != std::string::npos; at = ps.find("%%Page:", at + 1)) ++pageMarks;
  EXPECT_EQ(pageMarks, pages);
  EXPECT_NE(ps.find("M000119"), std::string::npos);
  EXPECT_NE(ps.find("Project: Anlage"), std::string::npos);

  // Exactly one page's worth announces one page.
  masks->DeleteAllChildren();
  hvtest::Pump();
  Fill(printout.Pagination().rowsPerPage);
  doc.UpdateAllViews(&Tree().Presenter(), HINT_SHOW_OBJECT, masks);
  CListPrintout one(List());
  wxPostScriptPrinter again(&dialogData);
  ASSERT_TRUE(again.Print(frame, &one, false));
  EXPECT_EQ(one.Pagination().pageCount, 1);
}

// A delete of many rows closes the real control up in one pass: the rows that stayed are
// shown in order and keep their selection.
TEST_F(ListView, ADeleteOfManyRowsKeepsTheRowsThatStaySelected) {
  for (int i = 0; i < 8; ++i) masks->AddChild(std::make_unique<DeletableMask>(wxString::Format("M%d", i), i % 3 == 0));
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken"));
  CProjectListView& list = List();
  ASSERT_EQ(list.Control()->GetItemCount(), 8);
  for (std::size_t i = 0; i < 8; ++i) list.SelectRow(i, true);
  EXPECT_TRUE(frame->Router().RouteFrom(&list.Presenter()).Execute(ID_OBJECT_DELETE));
  hvtest::PumpUntilIdle();
  ASSERT_EQ(list.Control()->GetItemCount(), 3);
  EXPECT_EQ(Text(0, 0), S("M0"));
  EXPECT_EQ(Text(1, 0), S("M3"));
  EXPECT_EQ(Text(2, 0), S("M6"));
  EXPECT_EQ(list.GetSelectedRows(), (std::vector<std::size_t>{0, 1, 2}));
}
