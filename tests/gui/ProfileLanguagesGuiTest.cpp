// A user-defined language of the profile, merged by the program's start-up, is named on
// the project sheet's languages page.
#include <gtest/gtest.h>
#include <wx/bookctrl.h>
#include <wx/propdlg.h>

#include "app/TavProjectApp.h"
#include "app/ui/CheckListBox.h"
#include "model/Project.h"
#include "model/ui/ProjectDialogs.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"
#include "tests/gui/support/DialogHook.h"
#include "tests/gui/support/ProgramRunner.h"
#include "tests/support/TestEnv.h"

TEST(ProfileLanguagesGui, AUserLanguageOfTheProfileIsNamedOnTheProjectSheet) {
  hvtest::TempHome home;
  hvtest::WriteAll(home.Sub("Project.INI"), "[Languages]\r\n40000=Klingonisch\r\n");
  const wxString folder = wxString::FromUTF8(hvtest::SeedCurrentProject(
      home, "Linie", "[Config]\r\nName=Linie\r\n[Languages/Fonts]\r\n1031=Arial\r\n40000=Arial\r\n"));
  {
    CTavProjectApp app;
    StartupHost host;
    host.createMainWindow = [] { return true; };
    ASSERT_TRUE(app.InitInstance(std::move(host)));

    RegisterProjectDialogs();
    std::vector<wxString> names;
    hvtest::OnDialog hook([&names](wxDialog* dialog) {
      // The page "Sprachen", opened as a click on its tab would.
      if (auto* sheet = dynamic_cast<wxPropertySheetDialog*>(dialog)) sheet->GetBookCtrl()->SetSelection(1);
      if (auto* list = dynamic_cast<CECheckListBox*>(dialog->FindWindow(1047)))
        for (int i = 0; i < list->GetCount(); ++i) names.push_back(list->GetTextValue(static_cast<unsigned>(i), 1));
      return static_cast<int>(wxID_CANCEL);
    });
    CPOProject project("Linie", folder);
    project.OnEdit();
    EXPECT_NE(std::find(names.begin(), names.end(), wxS("Klingonisch")), names.end()) << names.size();
    app.ExitInstance();
  }
  hv::Ui().Reset();
  hv::db::DropCachedTables();
}
