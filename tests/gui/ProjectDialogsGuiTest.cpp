// Button states of the folder picker and the project settings sheet.
#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/dirctrl.h>
#include <wx/modalhook.h>
#include <wx/propdlg.h>
#include <wx/textctrl.h>

#include "app/ui/SmallDialogs.h"
#include "model/ProjectList.h"
#include "model/ProjectSheet.h"
#include "model/ui/ProjectDialogs.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"
#include "tests/gui/support/DialogHook.h"
#include "tests/support/TestEnv.h"

namespace {

template <class T>
T* FindChild(wxWindow* parent) {
  for (wxWindow* child : parent->GetChildren()) {
    if (auto* found = dynamic_cast<T*>(child)) return found;
    if (auto* deeper = FindChild<T>(child)) return deeper;
  }
  return nullptr;
}

}  // namespace

TEST(ProjectDialogsGui, PathDialogEnablesOkOnlyForProjectFoldersOrTypedText) {
  hvtest::TempDir dir;
  const wxString project = dir.Sub("Linie");
  const wxString other = dir.Sub("Anderes");
  hv::MakeFolders(project);
  hv::MakeFolders(other);
  hvtest::WriteAll(hv::JoinPath(project, "PROJECT.SET"), "[Config]\r\n");

  PathDialogRequest request;
  request.caption = "Wahl";
  request.initialPath = other;
  CPathDialog dlg(nullptr, request);
  auto* dirs = FindChild<wxGenericDirCtrl>(&dlg);
  auto* edit = dynamic_cast<wxTextCtrl*>(dlg.FindWindow(14148));
  ASSERT_TRUE(dirs && edit);
  wxWindow* ok = dlg.FindWindow(wxID_OK);
  EXPECT_FALSE(ok->IsEnabled());
  EXPECT_TRUE(edit->GetValue().empty());

  dirs->SetPath(project);
  EXPECT_TRUE(ok->IsEnabled());
  EXPECT_EQ(edit->GetValue(), project);
  dirs->SetPath(other);
  EXPECT_FALSE(ok->IsEnabled());
  edit->SetValue("/irgendwo");
  EXPECT_TRUE(ok->IsEnabled());
}

TEST(ProjectDialogsGui, SheetTiesTheDetailBoxesToCreateAndKeepsNameChecks) {
  hvtest::TempHome home;
  hv::Ui().Reset();
  std::vector<UINT> messages;
  hv::Ui().SetMessageHandler([&](UINT id, const wxString&, UINT) {
    messages.push_back(id);
    return static_cast<int>(IDOK);
  });
  RegisterProjectDialogs();
  hv::db::dbank_open();
  ASSERT_TRUE(hv::db::db_create_dbf(projectlist::TableFile()));
  ASSERT_TRUE(projectlist::Insert({"Besetzt", wxString(), 0, wxString()}));
  const wxString folder = home.Sub("Linie");
  hv::MakeFolders(folder);
  hvtest::WriteAll(hv::JoinPath(folder, "PROJECT.SET"), "[Config]\r\nCoDeSysDPCreate=0\r\nCoDeSysDPByteAddr=1\r\n");
  {
    CPOProject project("Linie", folder);
    ProjectSheetController controller(project);
    ProjectSheetRequest request{"Einstellungen", &controller};
    bool checked = false;
    hvtest::OnDialog hook([&](wxDialog* dialog) {
      auto* create = dynamic_cast<wxCheckBox*>(dialog->FindWindow(1003));
      auto* byteAddr = dynamic_cast<wxCheckBox*>(dialog->FindWindow(1006));
      auto* name = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(1025));
      if (!create || !byteAddr || !name) return static_cast<int>(wxID_CANCEL);
      // 1003 cleared: 1006 disabled but keeps its state.
      EXPECT_FALSE(byteAddr->IsEnabled());
      EXPECT_TRUE(byteAddr->GetValue());
      create->SetValue(true);
      wxCommandEvent click(wxEVT_CHECKBOX, 1003);
      click.SetEventObject(create);
      create->GetEventHandler()->ProcessEvent(click);
      EXPECT_TRUE(byteAddr->IsEnabled());
      // A name another row has keeps the sheet open.
      name->SetValue("besetzt");
      wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
      dialog->ProcessWindowEvent(ok);
      checked = true;
      return static_cast<int>(wxID_CANCEL);
    });
    EXPECT_EQ(hv::Ui().Run(request), IDCANCEL);
    EXPECT_TRUE(checked);
    EXPECT_EQ(messages, std::vector<UINT>{10942});
    EXPECT_EQ(controller.general.name, "besetzt");   // the copy only
    EXPECT_EQ(project.GetName(), "Linie");
  }
  hv::Ui().Reset();
  hv::db::DropCachedTables();
}
