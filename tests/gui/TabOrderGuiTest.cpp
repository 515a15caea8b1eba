// The keyboard walks every dialog the way it is laid out: fields top to bottom and
// left to right, then the dialog's buttons as they stand. Each dialog is run
// through the program's own runner and looked at once it is up.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/panel.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

#include <functional>
#include <string>
#include <vector>

#include <wx/bookctrl.h>
#include <wx/propdlg.h>

#include "app/ui/Dialogs.h"
#include "build/CeDownload.h"
#include "framework/CompressionRequest.h"
#include "framework/NameDialogRequests.h"
#include "framework/NewNameRequest.h"
#include "model/NewObjectRequests.h"
#include "model/PrjDevice.h"
#include "model/ui/DeviceDialogs.h"
#include "model/ProjectRequests.h"
#include "platform/Ui.h"
#include "resources/ResourceRequests.h"
#include "tests/gui/support/DialogHook.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/TestEnv.h"

namespace {

bool IsDialogButton(wxWindow* w) {
  if (!dynamic_cast<wxButton*>(w)) return false;
  const int id = w->GetId();
  return id == wxID_OK || id == wxID_CANCEL || id == wxID_YES || id == wxID_NO || id == wxID_APPLY ||
         id == wxID_CLOSE || id == wxID_HELP;
}

std::string Describe(wxWindow* w) {
  return std::string(wxString(w->GetClassInfo()->GetClassName()).utf8_str()) + " '" + std::string(w->GetLabel().utf8_str()) +
         "' #" + std::to_string(w->GetId());
}

// Faults of one container's keyboard order (its children list), then of its panels.
// The dialog's buttons come last, in their order on screen.
void CheckOrder(wxWindow* container, wxWindow* defaultItem, std::vector<std::string>& faults) {
  wxWindow* previous = nullptr;
  wxWindow* previousButton = nullptr;
  bool buttonsBegun = false;
  for (wxWindow* w : container->GetChildren()) {
    if (w->IsTopLevel() || !w->IsShown()) continue;
    if (!w->GetChildren().empty()) CheckOrder(w, defaultItem, faults);
    if (!w->CanAcceptFocusFromKeyboard() || !w->IsEnabled()) continue;
    if (IsDialogButton(w) || w == defaultItem) {
      buttonsBegun = true;
      if (previousButton && w->GetRect().GetRight() < previousButton->GetRect().GetLeft())
        faults.push_back(Describe(w) + " left of " + Describe(previousButton));
      previousButton = w;
      continue;
    }
    if (buttonsBegun) faults.push_back(Describe(w) + " after the dialog's buttons");
    if (previous) {
      const wxRect a = previous->GetRect();
      const wxRect b = w->GetRect();
      if (b.GetBottom() < a.GetTop()) faults.push_back(Describe(w) + " above " + Describe(previous));
      const bool sameRow = b.GetTop() < a.GetBottom() && a.GetTop() < b.GetBottom();
      if (sameRow && b.GetRight() < a.GetLeft()) faults.push_back(Describe(w) + " left of " + Describe(previous));
    }
    previous = w;
  }
}

class TabOrderGui : public testing::Test {
 protected:
  TabOrderGui() {
    RegisterAppDialogs();
    RegisterSharedDialogs();
  }

  // Runs the request's dialog, checks it once shown and cancels it.
  template <class Request>
  void Check(Request request, const char* what, const std::function<void(wxDialog*)>& more = nullptr) {
    SCOPED_TRACE(what);
    hvtest::ModalDialogsAllowed allow;
    std::vector<std::string> faults;
    bool shown = false;
    hvtest::OnDialog hook([&](wxDialog* dlg) {
      dlg->CallAfter([&, dlg] {
        shown = true;
        auto* tlw = dynamic_cast<wxTopLevelWindow*>(dlg);
        CheckOrder(dlg, tlw ? tlw->GetDefaultItem() : nullptr, faults);
        if (more) more(dlg);
        dlg->EndModal(wxID_CANCEL);
      });
      return static_cast<int>(wxID_NONE);
    });
    hv::Ui().Run(request);
    EXPECT_TRUE(shown);
    for (const std::string& f : faults) ADD_FAILURE() << f;
  }

  hvtest::TempHome home;
};

}  // namespace

TEST_F(TabOrderGui, NewFontReachesTheLogicalIdBeforeTheButtons) {
  NewNameAndLogIdRequest font;
  font.title = wxS("Neuer Font");
  Check(font, "Neuer Font", [](wxDialog* dlg) {
    std::vector<wxTextCtrl*> fields;
    for (wxWindow* w : dlg->GetChildren())
      if (auto* t = dynamic_cast<wxTextCtrl*>(w); t && t->IsShown()) fields.push_back(t);
    ASSERT_EQ(2u, fields.size());
    wxTextCtrl* name = fields[0]->GetPosition().y <= fields[1]->GetPosition().y ? fields[0] : fields[1];
    wxTextCtrl* id = name == fields[0] ? fields[1] : fields[0];
    name->SetFocus();
    hvtest::PumpUntilIdle();
    name->Navigate(wxNavigationKeyEvent::IsForward);
    hvtest::PumpUntilIdle();
    EXPECT_EQ(id, wxWindow::FindFocus());
  });
}

TEST_F(TabOrderGui, EveryNamingAndResourceDialogFollowsItsLayout) {
  Check(NewNameRequest{}, "Neues Object");
  Check(NewBitmapAndLogIdRequest{}, "Neue Bitmap");
  Check(NewKeypadRequest{}, "Neues Keypad");
  Check(LogIdRequest{}, "Logische ID");
  Check(NewLanguageRequest{}, "Sprache hinzufügen");
  Check(CopyMaskRequest{}, "Maske kopieren");
  Check(UserPwdRequest{}, "Benutzer");
  Check(StringExportRequest{}, "Texte exportieren");
  Check(CompressionRequest{}, "Komprimierung");
  Check(DownloadWebCERequest{}, "Web-Download");
  Check(NewProjectRequest{}, "Neues Projekt");
}

namespace {

class DeviceSheetTabOrder : public hvtest::ProjectWindowFixture {};

}  // namespace

// Tab on the device sheet walks what is shown, every page's fields, then the sheet's own
// buttons as they stand: "OK" left of "Abbrechen" comes first.
TEST_F(DeviceSheetTabOrder, EveryStopIsShownAndOkComesBeforeCancel) {
  CPOProject* project = AddProject(AddFolder(wxS("Anlagen")), wxS("Halle"));
  Open();
  AnswerNewDevice({wxS("Panel"), wxS("CE_PANEL7"), wxS("CE_TCP"), wxS("MBTCP")});
  CPOPrjDevice* panel = MakeDevice(project, wxS("Panel"));
  ASSERT_TRUE(panel);
  RegisterPrjDeviceSheet();
  hvtest::ModalDialogsAllowed allow;
  int pages = 0;
  hvtest::OnDialog hook([&](wxDialog* dlg) {
    dlg->CallAfter([&, dlg] {
      auto* sheet = dynamic_cast<wxPropertySheetDialog*>(dlg);
      ASSERT_TRUE(sheet);
      wxBookCtrlBase* book = sheet->GetBookCtrl();
      for (size_t page = 0; page < book->GetPageCount(); ++page, ++pages) {
        SCOPED_TRACE(std::string(book->GetPageText(page).utf8_str()));
        book->ChangeSelection(page);
        hvtest::PumpUntilIdle();
        std::vector<std::string> faults;
        CheckOrder(dlg, dlg->GetDefaultItem(), faults);
        for (const std::string& f : faults) ADD_FAILURE() << f;
        // The stops Tab visits, in order: every one is seen, and the buttons come as
        // they stand.
        std::vector<wxWindow*> stops;
        std::function<void(wxWindow*)> collect = [&](wxWindow* container) {
          for (wxWindow* w : container->GetChildren()) {
            if (w->IsTopLevel() || !w->IsShown()) continue;
            if (dynamic_cast<wxBookCtrlBase*>(w)) {
              stops.push_back(w);
              if (wxWindow* current = static_cast<wxBookCtrlBase*>(w)->GetCurrentPage()) collect(current);
              continue;
            }
            if (!w->GetChildren().empty()) collect(w);
            else if (w->CanAcceptFocusFromKeyboard() && w->IsEnabled()) stops.push_back(w);
          }
        };
        collect(dlg);
        std::string walked;
        for (wxWindow* w : stops) walked += "\n  " + Describe(w);
        SCOPED_TRACE(walked);
        int ok = -1, cancel = -1;
        for (size_t i = 0; i < stops.size(); ++i) {
          const wxSize size = stops[i]->GetSize();
          // A bare panel (a picture, say) shows no focus.
          const bool bare = dynamic_cast<wxPanel*>(stops[i]) && !dynamic_cast<wxControl*>(stops[i]);
          EXPECT_TRUE(stops[i]->IsShownOnScreen() && size.GetWidth() > 1 && size.GetHeight() > 1 && !bare)
              << "an invisible stop: " << Describe(stops[i]);
          if (stops[i]->GetId() == wxID_OK) ok = static_cast<int>(i);
          if (stops[i]->GetId() == wxID_CANCEL) cancel = static_cast<int>(i);
        }
        EXPECT_GE(ok, 0);
        EXPECT_EQ(cancel, ok + 1) << "OK stands left of Abbrechen";
      }
      dlg->EndModal(wxID_CANCEL);
    });
    return static_cast<int>(wxID_NONE);
  });
  PrjDeviceSheetRequest request{wxS("Panel"), FALSE, panel};
  hv::Ui().Run(request);
  EXPECT_GE(pages, 2);
}

// A login asked for after a refusal takes typing at once: in the user field when none is
// proposed, else in the password field.
TEST_F(TabOrderGui, TheLoginDialogStartsInTheFieldToBeTyped) {
  auto focused = [this](const char* user) {
    UserPwdRequest login;
    login.user = wxString::FromUTF8(user);
    int id = 0;
    Check(login, "Passwort eingeben", [&](wxDialog*) {
      hvtest::PumpUntilIdle();
      if (wxWindow* focus = wxWindow::FindFocus()) id = focus->GetId();
    });
    return id;
  };
  EXPECT_EQ(focused(""), 1071);
  EXPECT_EQ(focused("dev"), 1070);
}
