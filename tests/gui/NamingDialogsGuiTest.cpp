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
#include "tests/gui/support/WindowFixture.h"

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
