// Layout measured from the texts: the backup dialog's "..." button shows its label, the
// status is shown whole, the progress is full on success and the read-only source is
// passed by the keyboard; list columns fit their titles and texts; the large-icon view
// lays its icons out side by side.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <chrono>

#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectTreeView.h"
#include "framework/LocalTables.h"
#include "framework/ui/DialogLayout.h"
#include "model/ui/Backup.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/model/BackupTestSupport.h"
#include "tests/support/TestEnv.h"

using hvtest::S;
using namespace std::chrono_literals;

namespace {

template <class T>
T* FindChild(wxWindow* parent, const std::function<bool(T*)>& match = nullptr) {
  for (wxWindow* child : parent->GetChildren()) {
    if (auto* found = dynamic_cast<T*>(child); found && (!match || match(found))) return found;
    if (auto* deeper = FindChild<T>(child, match)) return deeper;
  }
  return nullptr;
}

// Every line of the label fits the control's width, and every line is shown.
bool ShownWhole(wxStaticText* text) {
  int lines = 0;
  for (const wxString& line : wxSplit(text->GetLabel(), '\n')) {
    ++lines;
    if (TextWidth(text, line) > text->GetSize().GetWidth()) return false;
  }
  return text->GetSize().GetHeight() >= lines * text->GetCharHeight();
}

}  // namespace

TEST(DialogLayoutGui, BackupShowsItsButtonLabelWholeStatusAndFullProgress) {
  hvtest::TempHome home;
  hvtest::TempDir dir;
  hvtest::ScriptedUi ui;
  ui.AllowAnyMessage();
  hvtest::WriteAll(dir.Sub("Kläranlage Nord/PROJECT.SET"), "[Config]\r\n");
  hvtest::WriteAll(dir.Sub("Kläranlage Nord/Geraet1/DEVICE.SET"), "[Config]\r\n");
  BackupRequest request;
  request.sourceFolder = dir.Sub("Kläranlage Nord");
  request.projectName = "Kläranlage Nord";
  request.profilePath = dir.Sub("Project.INI");
  auto* dlg = new CBackup(nullptr, request);
  dlg->Show();
  ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->IsShownOnScreen(); }));

  auto* choose = dynamic_cast<wxButton*>(dlg->FindWindow(1259));
  ASSERT_TRUE(choose);
  EXPECT_GE(choose->GetSize().GetWidth(), choose->GetBestSize().GetWidth()) << "too narrow for its label";
  auto* source = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1255));
  ASSERT_TRUE(source);
  EXPECT_NE(wxWindow::FindFocus(), source);
  EXPECT_FALSE(source->AcceptsFocusFromKeyboard());

  dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1258))->SetValue(dir.Sub("Kläranlage Nord mit langem Namen_Sicherung.zip"));
  dynamic_cast<wxCheckBox*>(dlg->FindWindow(1264))->SetValue(false);
  wxCommandEvent start(wxEVT_BUTTON, 1261);
  start.SetEventObject(dlg->FindWindow(1261));
  dlg->FindWindow(1261)->GetEventHandler()->ProcessEvent(start);
  ASSERT_TRUE(hvtest::PumpUntil([&] { return request.succeeded; }, 20s));
  ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(1262)->IsEnabled(); }, 5s));
  hvtest::PumpUntilIdle();

  auto* gauge = FindChild<wxGauge>(dlg);
  ASSERT_TRUE(gauge);
  EXPECT_EQ(gauge->GetValue(), gauge->GetRange());
  auto* status = FindChild<wxStaticText>(dlg, [](wxStaticText* t) { return !t->GetLabel().empty() && !t->GetLabel().EndsWith(":"); });
  ASSERT_TRUE(status);
  EXPECT_TRUE(ShownWhole(status)) << status->GetLabel() << " in " << status->GetSize().GetWidth();
  dlg->Destroy();
  wxTheApp->Yield(true);
}

namespace {

class ListLayout : public hvtest::WindowFixture {};

}  // namespace

TEST_F(ListLayout, ColumnsFitTheirTitlesAndTextsAndLargeIconsSitSideBySide) {
  static std::vector<ColumnDef> columns = {
      {S("Name"), 0, 40, 0, 0, 0}, {S("Automatisch öffnen"), 0, 30, 1, 1, 0}};
  masks->columns = &columns;
  for (const char* name : {"Startbildschirm mit langem Namen", "B", "C", "D", "E", "F"}) {
    auto* node = masks->AddNode(TypeCode::ResMask, S(name));
    node->treeChildren = false;
    node->value = 1234567890;
  }
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken"));
  frame->SetSize(wxSize(1000, 700));
  ASSERT_TRUE(hvtest::PumpUntil([&] { return frame->GetSize() == wxSize(1000, 700); }));
  wxListCtrl* ctrl = List().Control();
  ASSERT_EQ(ctrl->GetColumnCount(), 2);
  wxListItem title;
  title.SetMask(wxLIST_MASK_TEXT);
  ctrl->GetColumn(1, title);
  EXPECT_GE(ctrl->GetColumnWidth(1), TextWidth(ctrl, title.GetText()));
  EXPECT_GE(ctrl->GetColumnWidth(1), TextWidth(ctrl, "1234567890"));
  EXPECT_GE(ctrl->GetColumnWidth(0), TextWidth(ctrl, "Startbildschirm mit langem Namen"));

  List().Presenter().SetViewStyle(LIST_STYLE_ICON);
  hvtest::PumpUntilIdle();
  ctrl = List().Control();
  ASSERT_EQ(ctrl->GetItemCount(), 6);
  wxPoint first, second;
  ASSERT_TRUE(ctrl->GetItemPosition(1, first));
  ASSERT_TRUE(ctrl->GetItemPosition(2, second));
  EXPECT_EQ(first.y, second.y) << "icons stacked in one column";
  EXPECT_NE(first.x, second.x);
}
