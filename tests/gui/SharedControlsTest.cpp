// The shared controls in real windows: check list with greyed items, choice box with
// keys and its validators, hyperlink, shortened path.
#include <gtest/gtest.h>

#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/uiaction.h>

#include "app/ui/CheckListBox.h"
#include "app/ui/PropertySheet.h"
#include "app/ui/ComboBox.h"
#include "app/ui/StaticControls.h"
#include "platform/ShellOpen.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

namespace {

class Controls : public testing::Test {
 protected:
  Controls() {
    dlg = new wxDialog(nullptr, wxID_ANY, "test", wxDefaultPosition, wxSize(400, 300));
    dlg->SetSizer(new wxBoxSizer(wxVERTICAL));
  }
  ~Controls() override {
    dlg->Destroy();
    hvtest::PumpUntilIdle();
  }
  template <class T>
  T* Add(T* control) {
    dlg->GetSizer()->Add(control, 1, wxEXPAND);
    return control;
  }
  wxDialog* dlg = nullptr;
};

}  // namespace

TEST_F(Controls, CheckListGreyedItemsCannotBeToggled) {
  auto* list = Add(new CECheckListBox(dlg, wxID_ANY, 2, 100));
  for (int i = 0; i < 5; ++i) list->AddString(wxString::Format("Sprache %d\tDE", i));
  list->EnableItem(0, false);
  dlg->Layout();
  dlg->Show();
  ASSERT_TRUE(hvtest::PumpUntil([&] { return list->IsShownOnScreen(); }));
  EXPECT_FALSE(list->IsItemEnabled(0));
  std::vector<int> changed;
  list->Bind(wxEVT_CHECKLISTBOX, [&changed](wxCommandEvent& e) { changed.push_back(e.GetInt()); });

  // A click on each item's check box: the greyed one stays unchecked.
  for (int row : {0, 1}) {
    const wxRect cell = list->GetItemRect(list->RowToItem(row), list->GetColumn(0));
    wxUIActionSimulator sim;
    const wxPoint target = list->GetMainWindow()->ClientToScreen(cell.GetPosition() + wxPoint(cell.width / 2, cell.height / 2));
    sim.MouseMove(target);
    ASSERT_TRUE(hvtest::PumpUntil([&] { return wxGetMousePosition() == target; }));
    int released = 0;
    auto count = [&released](wxMouseEvent& e) {
      ++released;
      e.Skip();
    };
    list->GetMainWindow()->Bind(wxEVT_LEFT_UP, count);
    sim.MouseClick();
    EXPECT_TRUE(hvtest::PumpUntil([&] { return released > 0; }));
    hvtest::PumpUntilIdle();
    list->GetMainWindow()->Unbind(wxEVT_LEFT_UP, count);
  }
  EXPECT_FALSE(list->GetCheck(0));
  EXPECT_TRUE(list->GetCheck(1));
  // The program itself may still set it, and that is no user's change.
  list->SetCheck(0, true);
  EXPECT_TRUE(list->GetCheck(0));
  EXPECT_EQ(changed, std::vector<int>{1});

  list->SetItemData(3, 40000);
  EXPECT_EQ(list->GetItemData(3), 40000u);
  list->SetCurSel(3);
  EXPECT_EQ(list->GetCurSel(), 3);
  // The first text column ends at the first tab stop.
  list->SetTabStops({112, 120});
  const int stop = list->ConvertDialogToPixels(wxPoint(112, 0)).x;
  EXPECT_TRUE(hvtest::PumpUntil([&] { return list->GetColumn(1)->GetWidth() == stop; })) << list->GetColumn(1)->GetWidth() << " " << stop;

  EXPECT_EQ(list->GetCount(), 5);
  EXPECT_TRUE(list->DeleteAllStrings());
  EXPECT_EQ(list->GetCount(), 0);
}

TEST_F(Controls, ChoiceBoxKeysAndTheirValidators) {
  auto* box = Add(new CEComboBox(dlg, wxID_ANY));
  box->AddItem(S("Erste"), S("ABC"));
  box->AddItem(S("Zweite"), S("def"));
  box->SetItemNumber(0, 7);
  box->SetItemNumber(1, 9);
  EXPECT_EQ(box->SelectKey(S("abc")), 0);
  wxString text, key;
  EXPECT_EQ(box->GetSelectedItem(text, key), 0);
  EXPECT_EQ(text, S("Erste"));
  EXPECT_EQ(key, S("ABC"));

  wxString stored = S("abc");
  box->SetValidator(CCBKeyValidator(&stored));
  ASSERT_TRUE(box->GetValidator()->TransferToWindow());
  EXPECT_EQ(box->GetSelection(), wxNOT_FOUND);   // exact comparison
  ASSERT_TRUE(box->GetValidator()->TransferFromWindow());
  EXPECT_EQ(stored, wxString());   // nothing selected: an empty key
  box->SetSelection(1);
  box->GetValidator()->TransferFromWindow();
  EXPECT_EQ(stored, S("def"));

  DWORD number = 7;
  box->SetValidator(CCBItemDataValidator(&number));
  box->GetValidator()->TransferToWindow();
  EXPECT_EQ(box->GetSelection(), 0);
  box->SetSelection(1);
  box->GetValidator()->TransferFromWindow();
  EXPECT_EQ(number, 9u);
  box->ResetContent();
  EXPECT_EQ(box->Keys().GetCount(), 0u);
}

TEST_F(Controls, ALinkThatCannotOpenStaysUnvisited) {
  hvtest::ScriptedUi ui;
  auto* link = Add(new CHotStatic(dlg, wxID_ANY, S("https://www.quintor.example")));
  EXPECT_EQ(link->GetNormalColour(), CHotStatic::kNormal);
  EXPECT_EQ(link->GetHoverColour(), wxColour(255, 0, 0));
  wxString opened;
  bool succeed = false;
  ui.Answer<hv::ShellOpenRequest>([&](hv::ShellOpenRequest& r) {
    opened = r.target;
    return succeed ? static_cast<int>(IDOK) : static_cast<int>(IDCANCEL);
  });
  wxHyperlinkEvent click(link, link->GetId(), link->GetURL());
  link->GetEventHandler()->ProcessEvent(click);
  EXPECT_EQ(opened, S("https://www.quintor.example"));
  EXPECT_FALSE(link->GetVisited());
  succeed = true;
  link->SetLinkText(S("/tmp/handbuch.pdf"));
  EXPECT_TRUE(link->OpenLink());
  EXPECT_EQ(opened, S("/tmp/handbuch.pdf"));
  EXPECT_TRUE(link->GetVisited());
}

TEST_F(Controls, PathsLoseFoldersBeforeTheirFileName) {
  const wxString full = S("/home/user/Projekte/Anlage/Panel/resource/resource.res");
  auto* path = Add(new CStaticFilespec(dlg, wxID_ANY, full, 1, wxDefaultPosition, wxSize(150, -1)));
  auto* end = Add(new CStaticFilespec(dlg, wxID_ANY, full, 0, wxDefaultPosition, wxSize(150, -1)));
  auto* amp = Add(new CStaticFilespec(dlg, wxID_ANY, S("A&B"), 1, wxDefaultPosition, wxSize(150, -1),
                                      CStaticFilespec::kNoPrefix));
  dlg->Layout();
  dlg->Show();
  ASSERT_TRUE(hvtest::PumpUntil([&] { return path->IsShownOnScreen(); }));
  path->SetSize(150, -1);
  end->SetSize(150, -1);
  hvtest::SaveScreenshot(dlg, "shared-controls-shortened-paths");
  wxClientDC dc(path);
  dc.SetFont(path->GetFont());
  const wxString shown = path->GetShownText();
  EXPECT_TRUE(shown.EndsWith(S(".../resource.res"))) << shown;
  EXPECT_TRUE(full.StartsWith(shown.BeforeFirst('.'))) << shown;
  EXPECT_LE(dc.GetTextExtent(shown).x, path->GetClientSize().x);
  EXPECT_EQ(path->GetLabel(), full);
  const wxString cut = end->GetShownText();
  EXPECT_TRUE(cut.EndsWith(S("..."))) << cut;
  EXPECT_TRUE(full.StartsWith(cut.Left(cut.length() - 3))) << cut;
  EXPECT_EQ(amp->GetShownText(), S("A&B"));

  // A file name wider than the line keeps its start; a short text stays whole.
  const wxString name = CStaticFilespec::Shorten(S("/a/ein_sehr_langer_dateiname_der_nicht_passt.res"), dc, 80, true);
  EXPECT_TRUE(name.StartsWith(S(".../ein"))) << name;
  EXPECT_EQ(CStaticFilespec::Shorten(S("/a/b.res"), dc, 400, true), S("/a/b.res"));
  // A new text is what is drawn next.
  path->SetLabel(S("/kurz.res"));
  EXPECT_EQ(path->GetShownText(), S("/kurz.res"));
}

TEST_F(Controls, TheListWithoutEditingHasNoEditButton) {
  auto* list = Add(new CVSListBoxNoEdit(dlg, wxID_ANY, S("Liste")));
  EXPECT_TRUE(list->GetInnerList());
  EXPECT_FALSE(list->GetEditButton());
  EXPECT_TRUE(list->GetNewButton());
}

namespace {

// A page whose check keeps the user on it until it is told otherwise.
struct HoldingPage : CSheetPage {
  bool hold = true;
  PageCheck OnKillActive() override { return hold ? PageCheck{1, 0} : PageCheck{}; }
};

struct PlainPanel : CPropertyPagePanel {
  using CPropertyPagePanel::CPropertyPagePanel;
  void LoadFromModel() override {}
  void SaveToModel() override {}
};

}  // namespace

// A tab leaving a page whose check fails shows that page again; a passing check turns.
TEST(PropertySheet, ARefusedTabKeepsThePage) {
  CSheetController controller;
  HoldingPage first, second;
  controller.AddPage(&first);
  controller.AddPage(&second);
  auto* sheet = new CPropertySheetDlg(nullptr, "Sheet", controller);
  sheet->AddPage(new PlainPanel(sheet->GetBookCtrl()), "a");
  sheet->AddPage(new PlainPanel(sheet->GetBookCtrl()), "b");
  ASSERT_TRUE(controller.SetActivePage(0));
  sheet->Show();
  hvtest::Pump(std::chrono::milliseconds(100));
  sheet->GetBookCtrl()->SetSelection(1);
  hvtest::Pump(std::chrono::milliseconds(100));
  EXPECT_EQ(sheet->GetBookCtrl()->GetSelection(), 0);
  EXPECT_EQ(controller.ActivePage(), 0);
  first.hold = false;
  sheet->GetBookCtrl()->SetSelection(1);
  hvtest::Pump(std::chrono::milliseconds(100));
  EXPECT_EQ(sheet->GetBookCtrl()->GetSelection(), 1);
  EXPECT_EQ(controller.ActivePage(), 1);
  sheet->Destroy();
}
