#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include "app/ui/EditControls.h"
#include "tests/support/TestEnv.h"

namespace {

enum { kEdit = 1000, kOther = 1001 };

// A dialog with the edit under test, a second edit, OK and Cancel.
class EditDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg = new wxDialog(nullptr, wxID_ANY, "test");
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    edit = new wxTextCtrl(dlg, kEdit, "");
    other = new wxTextCtrl(dlg, kOther, "");
    spin = new wxSpinButton(dlg, wxID_ANY);
    ok = new wxButton(dlg, wxID_OK, "OK");
    cancel = new wxButton(dlg, wxID_CANCEL, "Abbrechen");
    for (wxWindow* w : {static_cast<wxWindow*>(edit), static_cast<wxWindow*>(other), static_cast<wxWindow*>(spin),
                        static_cast<wxWindow*>(ok), static_cast<wxWindow*>(cancel)})
      sizer->Add(w);
    dlg->SetSizerAndFit(sizer);
  }
  void TearDown() override { dlg->Destroy(); wxTheApp->ProcessIdle(); }

  // Sends a typed character; true when the control would insert it itself.
  bool Type(wxChar ch) {
    wxKeyEvent e(wxEVT_CHAR);
    e.m_uniChar = ch;
    e.m_keyCode = ch;
    e.SetEventObject(edit);
    e.ResumePropagation(0);
    edit->GetEventHandler()->ProcessEvent(e);
    return e.GetSkipped();
  }
  void LoseFocusTo(wxWindow* next) {
    wxFocusEvent e(wxEVT_KILL_FOCUS, edit->GetId());
    e.SetWindow(next);
    e.SetEventObject(edit);
    edit->GetEventHandler()->ProcessEvent(e);
    wxTheApp->ProcessPendingEvents();
  }

  wxDialog* dlg = nullptr;
  wxTextCtrl* edit = nullptr;
  wxTextCtrl* other = nullptr;
  wxSpinButton* spin = nullptr;
  wxButton* ok = nullptr;
  wxButton* cancel = nullptr;
};

}  // namespace

TEST_F(EditDialog, NumberFiltersStepsAndValidates) {
  hvtest::ScriptedUi ui;
  CEEditLongDouble number;
  ASSERT_TRUE(number.Attach(kEdit, dlg, 12, 0, 255, 3));
  EXPECT_EQ(edit->GetValue(), "12");
  EXPECT_FALSE(number.Attach(4711, dlg, 0, 0, 0, 3));

  edit->SetSelection(2, 2);
  EXPECT_TRUE(Type('3'));
  EXPECT_FALSE(Type('a'));
  EXPECT_FALSE(Type('-'));  // the range has no negative values

  number.AttachSpinButton(spin);
  wxSpinEvent up(wxEVT_SPIN_UP, spin->GetId());
  up.SetEventObject(spin);
  spin->GetEventHandler()->ProcessEvent(up);
  EXPECT_EQ(edit->GetValue(), "13");
  EXPECT_DOUBLE_EQ(number.GetValue(), 13.0);

  wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
  wheel.m_wheelRotation = -120;
  wheel.m_wheelDelta = 120;
  wheel.SetEventObject(edit);
  edit->GetEventHandler()->ProcessEvent(wheel);
  EXPECT_EQ(edit->GetValue(), "12");

  // saving a value out of range reports it, puts the bound in and keeps the dialog open
  edit->ChangeValue("300");
  ui.ExpectMessage(10211);
  EXPECT_FALSE(dlg->Validate());
  EXPECT_EQ(edit->GetValue(), "255");
  EXPECT_TRUE(dlg->Validate());
  EXPECT_TRUE(ui.AllExpectationsMet());

  // a disabled edit is not checked
  edit->ChangeValue("999");
  edit->Disable();
  EXPECT_TRUE(dlg->Validate());
}

TEST_F(EditDialog, FocusLossFormatsButNeverTrapsCancel) {
  hvtest::ScriptedUi ui;
  CEEditLongDouble number;
  ASSERT_TRUE(number.Attach(kEdit, dlg, 0, 0, 255, 3));
  dlg->Show();

  edit->ChangeValue("300");
  LoseFocusTo(cancel);
  EXPECT_EQ(edit->GetValue(), "300");  // no message on the way to Cancel
  LoseFocusTo(nullptr);
  EXPECT_EQ(edit->GetValue(), "300");  // nor when another program takes the focus

  ui.ExpectMessage(10211);
  LoseFocusTo(other);
  EXPECT_EQ(edit->GetValue(), "255");
  EXPECT_TRUE(ui.AllExpectationsMet());

  edit->ChangeValue("7.0");
  LoseFocusTo(other);
  EXPECT_EQ(edit->GetValue(), "7");
}

TEST_F(EditDialog, TimeAndDateTypeThemselves) {
  CEEditTime time;
  ASSERT_TRUE(time.SubclassDlgItem(kEdit, dlg));
  edit->ChangeValue("");
  edit->SetInsertionPoint(0);
  EXPECT_FALSE(Type('1'));
  EXPECT_FALSE(Type('2'));
  EXPECT_EQ(edit->GetValue(), "12:");
  EXPECT_FALSE(Type('9'));  // refused: minutes start with 0 to 5
  EXPECT_EQ(edit->GetValue(), "12:");
  edit->SetInsertionPoint(0);
  EXPECT_FALSE(Type('+'));
  EXPECT_EQ(edit->GetValue(), "13:00:00");
  EXPECT_TRUE(time.Save());
  time.Detach();

  CEEditDate date;
  ASSERT_TRUE(date.SubclassDlgItem(kEdit, dlg));
  edit->ChangeValue("31.12.2024");
  edit->SetInsertionPoint(0);
  EXPECT_FALSE(Type('+'));
  EXPECT_EQ(edit->GetValue(), "01.01.2025");
  edit->ChangeValue("31.4.2024");
  EXPECT_TRUE(dlg->Validate());
  EXPECT_EQ(edit->GetValue(), "30.04.2024");
}

TEST_F(EditDialog, CharsetRefusesAndSelectsTheFirstForbidden) {
  hvtest::ScriptedUi ui;
  CEEditCharset name;
  ASSERT_TRUE(name.SubclassDlgItem(kEdit, dlg));
  name.SetForbiddenCharset(CharacterSet("/\\:*?<>|. ", true));
  EXPECT_FALSE(Type(' '));
  EXPECT_TRUE(Type('a'));
  edit->ChangeValue("ab.c");
  ui.ExpectMessage(10300);
  EXPECT_FALSE(name.CheckForbidden());
  long from = 0;
  long to = 0;
  edit->GetSelection(&from, &to);
  EXPECT_EQ(from, 2);
  EXPECT_EQ(to, 3);
  edit->ChangeValue("abc");
  EXPECT_TRUE(name.CheckForbidden());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(EditDialog, ControlDestroyedBeforeTheEdit) {
  CEEditTime time;
  ASSERT_TRUE(time.SubclassDlgItem(kEdit, dlg));
  edit->Destroy();
  edit = nullptr;
  EXPECT_EQ(time.GetControl(), nullptr);
  EXPECT_TRUE(time.Save());
}
