// The CE transfer through the dialogs registered at start-up, on a private display and
// against a pyftpdlib server: the target dialog's fields, a transfer that ends the
// dialog by itself and says what it sent, a refused login that asks for another, and
// the Cancel button.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/modalhook.h>
#include <wx/textctrl.h>

#include <chrono>
#include <functional>
#include <thread>

#include "app/ui/Dialogs.h"
#include "app/ui/SmallDialogs.h"
#include "build/CeDownload.h"
#include "build/ui/DownloadWebCE.h"
#include "build/ui/FtpDownload.h"
#include "tests/support/FtpTestServer.h"
#include "tests/support/TestEnv.h"

namespace {

using Clock = std::chrono::steady_clock;

template <class T>
T* Control(wxWindow* dlg, int id) {
  T* control = dynamic_cast<T*>(dlg->FindWindow(id));
  EXPECT_NE(control, nullptr) << id;
  return control;
}

template <class Pred>
bool PumpUntil(Pred ready, int limitMs = 20000) {
  const auto end = Clock::now() + std::chrono::milliseconds(limitMs);
  while (Clock::now() < end) {
    wxTheApp->Yield(true);
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

// Plays the user at both dialogs: `onTarget` edits the target dialog and answers it;
// the transfer dialog runs on its own timers (shown without a modal loop) and
// `onTransfer` may act on it while it is up.
class PlayUser : public wxModalDialogHook {
 public:
  PlayUser() { Register(); }
  ~PlayUser() override { Unregister(); }

  std::function<int(CDlgDownloadWebCE*)> onTarget;
  std::function<void(CDlgFtpDownload*)> onTransfer;
  std::function<int(CUserPwdDlg*)> onLogin;
  int logins = 0;
  int lastGauge = -1;
  wxString lastStatus;
  Clock::duration transferTime{};

 protected:
  int Enter(wxDialog* dialog) override {
    if (auto* target = dynamic_cast<CDlgDownloadWebCE*>(dialog)) {
      const int answer = onTarget ? onTarget(target) : wxID_CANCEL;
      if (answer == wxID_OK) target->TransferDataFromWindow();
      return answer;
    }
    if (auto* login = dynamic_cast<CUserPwdDlg*>(dialog)) {
      ++logins;
      const int answer = onLogin ? onLogin(login) : wxID_CANCEL;
      if (answer == wxID_OK) login->TransferDataFromWindow();
      return answer;
    }
    auto* transfer = dynamic_cast<CDlgFtpDownload*>(dialog);
    if (!transfer) return wxID_NONE;
    const auto start = Clock::now();
    transfer->Show();
    if (onTransfer) onTransfer(transfer);
    EXPECT_TRUE(PumpUntil([&] { return !transfer->IsShown(); }));
    transferTime = Clock::now() - start;
    lastGauge = Control<wxGauge>(transfer, 1523)->GetValue();
    lastStatus = Control<wxWindow>(transfer, 1522)->GetLabel();
    return transfer->GetReturnCode();
  }
  void Exit(wxDialog*) override {}
};

class TransferDialogsGui : public testing::Test {
 protected:
  TransferDialogsGui() {
    RegisterAppDialogs();   // as the program does at start-up
    hvtest::WriteAll(dir.Sub("dev/fonts/Arial.ttf"), "ttf-bytes");
    job.caption = "True-Type Font downloaden";
    job.device = "Panel7";
    job.source = dir.Sub("dev/fonts/Arial.ttf");
    job.localBase = dir.Sub("dev");
    job.targetPath = "\\Flashdisk\\TavDesign\\Fonts";
    job.user = "dev";
    job.password = "pw";
  }

  hvtest::TempDir dir;
  hvtest::ScriptedUi ui;
  CeDownload job;
};

}  // namespace

TEST_F(TransferDialogsGui, TargetDialogShowsThePresetsAndTheTransferEndsWithOk) {
  hvtest::FtpTestServer server(dir.Sub("root"));
  ASSERT_GT(server.Port(), 0);
  job.address = server.Address();
  PlayUser user;
  user.onTarget = [&](CDlgDownloadWebCE* dlg) {
    EXPECT_EQ(dlg->GetTitle(), "True-Type Font downloaden");
    EXPECT_EQ(Control<wxTextCtrl>(dlg, 1541)->GetValue(), "Panel7");
    EXPECT_FALSE(Control<wxTextCtrl>(dlg, 1541)->IsEditable());
    EXPECT_EQ(Control<wxTextCtrl>(dlg, 1542)->GetValue(), "127.0.0.1");
    EXPECT_EQ(dlg->FindWindow(1543), nullptr);   // no source to show
    EXPECT_EQ(Control<wxTextCtrl>(dlg, 1546)->GetValue(), "pw");
    EXPECT_EQ(Control<wxTextCtrl>(dlg, 1547)->GetValue(), wxString::Format("%d", server.Port()));
    EXPECT_TRUE(Control<wxCheckBox>(dlg, 1548)->GetValue());
    auto* target = Control<wxTextCtrl>(dlg, 1544);
    EXPECT_EQ(target->GetValue(), "\\Flashdisk\\TavDesign\\Fonts");
    target->SetValue("\\Flashdisk\\Schriften");
    return static_cast<int>(wxID_OK);
  };
  EXPECT_TRUE(DownloadToCEDevice(job));
  EXPECT_EQ(user.lastGauge, 100);
  EXPECT_EQ(job.targetPath, "\\Flashdisk\\Schriften");
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/Flashdisk/Schriften/Arial.ttf")), "ttf-bytes");
  EXPECT_TRUE(ui.MessageIds().empty());
}

TEST_F(TransferDialogsGui, RefusedLoginIsShownAndCancelEndsTheTransferPromptly) {
  hvtest::WriteAll(dir.Sub("dev/big.bin"), std::string(8 << 20, 'b'));
  hvtest::FtpTestServer::Options options;
  options.rate = 64 * 1024;
  hvtest::FtpTestServer server(dir.Sub("root"), options);
  ASSERT_GT(server.Port(), 0);
  job.address = server.Address();
  PlayUser user;
  user.onTarget = [](CDlgDownloadWebCE* dlg) {
    Control<wxTextCtrl>(dlg, 1546)->SetValue("falsch");
    return static_cast<int>(wxID_OK);
  };
  ui.ExpectMessage(11903);
  EXPECT_FALSE(DownloadToCEDevice(job));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(job.message.Contains("127.0.0.1"));
  EXPECT_EQ(job.password, "pw");   // kept: the transfer failed

  job.source = dir.Sub("dev/big.bin");
  user.onTarget = [](CDlgDownloadWebCE*) { return static_cast<int>(wxID_OK); };
  user.onTransfer = [](CDlgFtpDownload* dlg) {
    auto* status = Control<wxWindow>(dlg, 1522);
    ASSERT_TRUE(PumpUntil([&] { return status->GetLabel().Contains("big.bin"); }));
    PumpUntil([] { return false; }, 300);
    wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
    click.SetEventObject(dlg->FindWindow(wxID_CANCEL));
    dlg->FindWindow(wxID_CANCEL)->GetEventHandler()->ProcessEvent(click);
    EXPECT_FALSE(dlg->FindWindow(wxID_CANCEL)->IsEnabled());
  };
  EXPECT_FALSE(DownloadToCEDevice(job));
  EXPECT_LT(user.transferTime, std::chrono::seconds(5));
  EXPECT_EQ(job.message, "Abbruch durch den Benutzer.");
  EXPECT_EQ(ui.MessageIds(), std::vector<UINT>{11903});   // nothing more shown
}

// The panel refuses the stored login: the login dialog comes up with the stored user,
// the transfer runs again with what was typed, and the dialog's end line says what was
// sent. A second transfer finds the plain server's file current through the record.
TEST_F(TransferDialogsGui, ARefusedLoginRaisesTheLoginDialogAndTheEnteredOneIsUsed) {
  hvtest::FtpTestServer server(dir.Sub("root"), hvtest::FtpTestServer::Options::Plain());
  ASSERT_GT(server.Port(), 0);
  job.address = server.Address();
  job.password = "falsch";
  job.sentRecord = dir.Sub("dev/FTPSENT.LST");
  PlayUser user;
  user.onTarget = [](CDlgDownloadWebCE*) { return static_cast<int>(wxID_OK); };
  user.onLogin = [](CUserPwdDlg* dlg) {
    EXPECT_EQ(dlg->GetId(), 108);
    EXPECT_EQ(Control<wxTextCtrl>(dlg, 1071)->GetValue(), "dev");
    EXPECT_EQ(Control<wxTextCtrl>(dlg, 1070)->GetValue(), "");
    Control<wxTextCtrl>(dlg, 1070)->SetValue("pw");
    Control<wxCheckBox>(dlg, 1002)->SetValue(true);
    return static_cast<int>(wxID_OK);
  };
  EXPECT_TRUE(DownloadToCEDevice(job));
  EXPECT_EQ(user.logins, 1);
  EXPECT_TRUE(job.loginEntered);
  EXPECT_EQ(job.login.user, "dev");
  EXPECT_EQ(job.login.password, "pw");
  EXPECT_TRUE(job.login.save);
  EXPECT_EQ(job.password, "pw");
  EXPECT_EQ(user.lastStatus, wxS("Übertragung erfolgreich: 1 Datei(en) gesendet, 0 bereits aktuell"));
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/Flashdisk/TavDesign/Fonts/Arial.ttf")), "ttf-bytes");

  EXPECT_TRUE(DownloadToCEDevice(job));
  EXPECT_EQ(user.logins, 1);
  EXPECT_FALSE(job.loginEntered);
  EXPECT_EQ(user.lastStatus, wxS("Übertragung erfolgreich: 0 Datei(en) gesendet, 1 bereits aktuell"));
  EXPECT_EQ(server.Stored().size(), 1u);
  EXPECT_TRUE(ui.MessageIds().empty());
}
