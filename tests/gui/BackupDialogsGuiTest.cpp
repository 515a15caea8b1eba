// The backup and restore dialogs on a private display: button states, closing refused
// while a backup runs, cancel, and the check of a typed folder name.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include <chrono>
#include <thread>

#include "model/ui/Backup.h"
#include "model/ui/Restore.h"
#include "model/ui/RestorePathExists.h"
#include "platform/Paths.h"
#include "tests/model/BackupTestSupport.h"
#include "tests/gui/support/UserInput.h"
#include "tests/support/TestEnv.h"

namespace {

template <class T>
T* Control(wxWindow* dlg, int id) {
  T* control = dynamic_cast<T*>(dlg->FindWindow(id));
  EXPECT_NE(control, nullptr) << id;
  return control;
}

void Click(wxWindow* dlg, int id, wxEventType type = wxEVT_BUTTON) {
  wxCommandEvent event(type, id);
  event.SetEventObject(dlg->FindWindow(id));
  if (type == wxEVT_RADIOBUTTON) event.SetInt(1);
  dlg->FindWindow(id)->GetEventHandler()->ProcessEvent(event);
}

template <class Pred>
bool PumpUntil(Pred ready, int limitMs = 20000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (std::chrono::steady_clock::now() < end) {
    wxTheApp->Yield(true);
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace

TEST(BackupDialogsGui, BackupButtonsCloseRefusedWhileRunningAndCancel) {
  hvtest::TempHome home;
  hvtest::TempDir dir;
  hvtest::ScriptedUi ui;
  hvtest::WriteAll(dir.Sub("P/PROJECT.SET"), "[Config]\r\n");
  hvtest::WriteAll(dir.Sub("P/Geraet1/CoDeSys/Prog.pro"), "pro");
  const wxString log = dir.Sub("log");
  BackupRequest request;
  request.sourceFolder = dir.Sub("P");
  request.projectName = "P";
  request.profilePath = backuptest::WriteProfile(
      dir.Sub("Project.INI"), backuptest::WriteFakeCoDeSys(dir.Sub("codesys.sh"), log, "exec sleep 30"));

  auto* dlg = new CBackup(nullptr, request);
  dlg->Show();
  auto* start = Control<wxButton>(dlg, 1261);
  auto* cancel = Control<wxButton>(dlg, 1263);
  auto* close = Control<wxButton>(dlg, 1262);
  EXPECT_TRUE(start->IsShown());
  EXPECT_FALSE(start->IsEnabled());
  EXPECT_FALSE(cancel->IsShown());
  EXPECT_TRUE(close->IsEnabled());
  EXPECT_EQ(Control<wxTextCtrl>(dlg, 1255)->GetValue(), dir.Sub("P"));

  Control<wxTextCtrl>(dlg, 1258)->SetValue(dir.Sub("P_backup.zip"));
  EXPECT_TRUE(start->IsEnabled());
  hvtest::ClickOn(start);
  ASSERT_TRUE(PumpUntil([&] { return !hvtest::ReadAll(log + ".pid").empty(); }));
  EXPECT_FALSE(start->IsShown());
  EXPECT_TRUE(cancel->IsShown() && cancel->IsEnabled());
  EXPECT_FALSE(close->IsEnabled());
  EXPECT_EQ(wxWindow::FindFocus(), cancel);   // the hidden "Starten" passed the keyboard on
  EXPECT_FALSE(dlg->Close());   // refused while the backup runs
  EXPECT_TRUE(dlg->IsShown());
  hvtest::PressKey(WXK_ESCAPE);   // nor does Escape end it
  EXPECT_TRUE(dlg->IsShown());

  ui.ExpectMessage(10769);
  Click(dlg, 1263);
  ASSERT_TRUE(PumpUntil([&] { return start->IsShown() && start->IsEnabled(); }));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(cancel->IsShown());
  EXPECT_TRUE(close->IsEnabled());
  EXPECT_FALSE(hv::PathExists(dir.Sub("P_backup.zip")));
  EXPECT_FALSE(request.succeeded);
  // Idle again: Escape closes it, as "Schließen" does, with the keyboard where the
  // hidden "Abbrechen" left it.
  EXPECT_EQ(wxWindow::FindFocus(), close);
  wxWeakRef<wxDialog> alive(dlg);
  hvtest::PressKey(WXK_ESCAPE);
  EXPECT_TRUE(PumpUntil([&] { return !alive; }));
  if (alive) dlg->Destroy();
  wxTheApp->Yield(true);
}

TEST(BackupDialogsGui, RestoreOpensWithTheRememberedTargetAndNothingToStart) {
  hvtest::TempHome home;
  hvtest::ScriptedUi ui;
  RestoreRequest request;
  auto* dlg = new CRestore(nullptr, request);
  dlg->Show();
  EXPECT_FALSE(Control<wxButton>(dlg, 1268)->IsEnabled());
  EXPECT_FALSE(Control<wxButton>(dlg, 1269)->IsShown());
  EXPECT_TRUE(Control<wxButton>(dlg, 1270)->IsEnabled());
  EXPECT_EQ(Control<wxTextCtrl>(dlg, 1272)->GetValue(), home.Sub("Projects"));
  EXPECT_FALSE(Control<wxTextCtrl>(dlg, 1272)->IsEditable());
  EXPECT_TRUE(Control<wxTextCtrl>(dlg, 1265)->GetValue().empty());
  EXPECT_TRUE(dlg->Close());
  wxTheApp->Yield(true);
  EXPECT_TRUE(request.restoredPath.empty());
}

TEST(BackupDialogsGui, PathExistsChecksTheTypedName) {
  hvtest::ScriptedUi ui;
  RestorePathExistsRequest request;
  request.existingFolder = "/ziel/P";
  request.proposedFolder = "P_1";
  auto* dlg = new CDlgRestorePathExists(nullptr, request);
  dlg->Show();
  auto* name = Control<wxTextCtrl>(dlg, 1279);
  EXPECT_EQ(name->GetValue(), "P_1");
  EXPECT_FALSE(name->IsEnabled());
  Control<wxRadioButton>(dlg, 1277)->SetValue(true);
  Click(dlg, 1277, wxEVT_RADIOBUTTON);
  EXPECT_TRUE(name->IsEnabled());
  EXPECT_EQ(request.choice, 1);
  name->SetValue("../x");
  ui.ExpectMessage(10300);
  Click(dlg, wxID_OK);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(dlg->IsShown());   // stays open
  Control<wxRadioButton>(dlg, 1276)->SetValue(true);
  Click(dlg, 1276, wxEVT_RADIOBUTTON);
  EXPECT_FALSE(name->IsEnabled());
  EXPECT_EQ(request.choice, 0);
  dlg->Destroy();
  wxTheApp->Yield(true);
}
