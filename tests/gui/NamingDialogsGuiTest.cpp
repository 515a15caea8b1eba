// Naming dialogs open ready for typing: the name field has the focus and its text is
// selected, so typing replaces the proposal and a blank never presses a button.
#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <chrono>
#include <functional>

#include "app/ui/DlgNewName.h"
#include "app/ui/SmallDialogs.h"
#include "framework/NameDialogRequests.h"
#include "model/ProjectRequests.h"
#include "model/ui/ProjectPages.h"
#include "platform/Ui.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/TestEnv.h"

namespace {

using namespace std::chrono_literals;

// Lets the next modal dialog open for real and types into it as a user would: the
// pointer over the dialog, then the text. Records what the field held afterwards.
class TypeWhenOpen : public wxModalDialogHook {
 public:
  TypeWhenOpen(int fieldId, wxString text) : m_fieldId(fieldId), m_text(std::move(text)) { Register(); }
  ~TypeWhenOpen() override { Unregister(); }

  bool focused = false;
  wxString selected, typed;
  bool stayedOpen = false;

 protected:
  int Enter(wxDialog* dialog) override {
    dialog->CallAfter([this, dialog] { Check(dialog); });
    return wxID_NONE;
  }
  void Exit(wxDialog*) override {}

 private:
  void Check(wxDialog* dialog) {
    auto* field = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(m_fieldId));
    if (field) {
      focused = hvtest::PumpUntil([&] { return wxWindow::FindFocus() == field; }, 3s);
      selected = field->GetStringSelection();
      wxUIActionSimulator sim;
      const wxPoint inside = dialog->GetScreenRect().GetLeftTop() + wxPoint(4, 4);
      sim.MouseMove(inside);
      hvtest::PumpUntil([&] { return wxGetMousePosition() == inside; }, 2s);
      sim.Text(m_text.utf8_str());
      hvtest::PumpUntil([&] { return field->GetValue() == m_text || !dialog->IsModal(); }, 3s);
      typed = field->GetValue();
      stayedOpen = dialog->IsModal();
    }
    if (dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
  }

  int m_fieldId;
  wxString m_text;
};

template <class Request>
void ExpectReadyForTyping(Request request, int fieldId, const wxString& proposal) {
  TypeWhenOpen typing(fieldId, "Linie 2");
  hv::Ui().Run(request);
  EXPECT_TRUE(typing.focused);
  EXPECT_EQ(typing.selected, proposal);
  EXPECT_EQ(typing.typed, "Linie 2");
  EXPECT_TRUE(typing.stayedOpen) << "a typed blank pressed a button";
}

}  // namespace

TEST(NamingDialogsGui, NameFieldHasTheFocusWithItsTextSelected) {
  hvtest::ModalDialogsAllowed allowed;
  hv::Ui().Reset();
  CDlgNewName::Register();
  RegisterSmallDialogs();
  RegisterNewProjectDialog();

  NewProjectRequest project;
  project.name = "Projekt 1";
  project.folder = "/tmp/Projekt 1";
  ExpectReadyForTyping(project, 1025, "Projekt 1");

  NewNameRequest name;
  name.name = "Neuer Ordner 1";
  ExpectReadyForTyping(name, 1025, "Neuer Ordner 1");

  NewNameAndLogIdRequest withId;
  withId.name = "Maske 3";
  ExpectReadyForTyping(withId, 1025, "Maske 3");

  NewLanguageRequest language;
  language.name = "Sprache";
  ExpectReadyForTyping(language, 1136, "Sprache");
  hv::Ui().Reset();
}

// A name holding a character the field refuses (handed in, since typing drops it): OK
// shows the field's own text, keeps the dialog and selects the character.
TEST(NamingDialogsGui, AForbiddenCharacterIsReportedByTheFieldAndSelected) {
  hvtest::ScriptedUi ui;
  CDlgNewName::Register();
  RegisterSmallDialogs();
  RegisterNewProjectDialog();
  hvtest::DialogScripts user;
  std::vector<std::pair<long, long>> selections;
  auto okTwice = [&](wxDialog* dlg) {
    auto* field = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1025));
    ASSERT_TRUE(field);
    hvtest::ClickOn(dlg->FindWindow(wxID_OK));
    EXPECT_TRUE(dlg->IsModal());
    long from = -1, to = -1;
    field->GetSelection(&from, &to);
    selections.emplace_back(from, to);
    ASSERT_TRUE(hvtest::TypeInto(field, "Linie2"));
    hvtest::ClickOn(dlg->FindWindow(wxID_OK));
  };
  user.Then(okTwice);
  user.Then(okTwice);

  NewNameRequest name;
  name.name = "Neu*er";
  name.checkCharacters = true;
  ui.ExpectMessage(10300);
  EXPECT_EQ(hv::Ui().Run(name), IDOK);
  EXPECT_EQ(name.name, "Linie2");

  NewProjectRequest project;
  project.name = "Pro[jekt";
  project.folder = hvtest::S("/tmp/Pro[jekt");
  ui.ExpectMessage(10300);
  hv::Ui().Run(project);

  EXPECT_TRUE(user.AllRun());
  EXPECT_EQ(user.unexpected, 0);
  ASSERT_EQ(selections.size(), 2u);
  EXPECT_EQ(selections[0], std::make_pair(3L, 4L));
  EXPECT_EQ(selections[1], std::make_pair(3L, 4L));
  EXPECT_EQ(ui.MessageTexts().front(), wxS("Es wurde ein ungültiges Zeichen eingegeben!"));
  EXPECT_TRUE(ui.AllExpectationsMet());
  hv::Ui().Reset();
}

// A logical id beyond 65534: the field's range message under its caption "Falscheingabe",
// and the nearer bound put in.
TEST(NamingDialogsGui, ALogicalIdOutOfRangeIsClampedToTheNearerBound) {
  hvtest::ScriptedUi ui;
  CDlgNewName::Register();
  RegisterSmallDialogs();
  hvtest::DialogScripts user;
  wxString shown;
  user.Then([&](wxDialog* dlg) {
    auto* field = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1129));
    ASSERT_TRUE(field);
    ASSERT_TRUE(hvtest::TypeInto(field, "70000"));
    hvtest::PressKey(WXK_RETURN);
    hvtest::PumpUntil([&] { return !ui.MessageIds().empty(); }, 3s);
    shown = field->GetValue();
    if (dlg->IsModal()) hvtest::ClickOn(dlg->FindWindow(wxID_OK));
  });
  LogIdRequest id;
  id.logId = 12;
  ui.ExpectMessage(10211);
  EXPECT_EQ(hv::Ui().Run(id), IDOK);
  EXPECT_EQ(shown, "65534");
  EXPECT_EQ(id.logId, 65534);
  ASSERT_EQ(ui.MessageCaptions().size(), 1u);
  EXPECT_EQ(ui.MessageCaptions().front(), "Falscheingabe");
  EXPECT_TRUE(ui.AllExpectationsMet());
  hv::Ui().Reset();
}
