// The data-point sheet in a real window: the wizard shows Next on the general page and
// Back and Finish on the ranges page; the range fields check their type's range
// themselves; a point that cannot be initialised offers no start value, and the stored
// or battery-buffered value takes the start value away.
#include <gtest/gtest.h>

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/statbox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "model/DataPointPicker.h"
#include "model/DataPointSheet.h"
#include "model/ui/DataPointDialogs.h"
#include "platform/Ui.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/TestEnv.h"

namespace {

using namespace std::chrono_literals;

DataPointSheetRequest ByteSheet(WORD capabilities) {
  DataPointSheetRequest s;
  s.caption = hvtest::S("Datenpunkt einfügen");
  s.wizard = true;
  s.dp.name = "Motor";
  s.dp.address = "DB|Motor|1";
  s.dp.type = 1;   // "Byte": -128 to 127
  s.values.capabilities = capabilities;
  s.values.access = capabilities & 0x3;
  s.values.sigMin = s.values.sigMax = s.values.measMin = s.values.measMax = "0";
  s.values.start = "5";
  return s;
}

bool Shown(wxDialog* dlg, int id) {
  wxWindow* w = dlg->FindWindow(id);
  return w && w->IsShown();
}

TEST(DataPointSheetGui, WizardButtonsRangesAndTheStartValue) {
  hvtest::ScriptedUi ui;
  RegisterDataPointDialogs();
  hvtest::DialogScripts user;

  // Readable and writable, PERSISTENT possible.
  struct Seen {
    bool nextOnGeneral = false, finishOnGeneral = true, finishOnRanges = false, nextOnRanges = true;
    bool startAfterPersistent = true, startAfterAlways = false;
    wxString clamped;
    bool keptOpen = false;
  } seen;
  user.Then([&](wxDialog* dlg) {
    seen.nextOnGeneral = Shown(dlg, 12324);
    seen.finishOnGeneral = Shown(dlg, kDpWizardFinish);
    hvtest::ClickOn(dlg->FindWindow(12324));
    auto* sigMax = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(kIdSigMax));
    ASSERT_TRUE(hvtest::PumpUntil([&] { return sigMax->IsShownOnScreen(); }, 3s));
    seen.finishOnRanges = Shown(dlg, kDpWizardFinish);
    seen.nextOnRanges = Shown(dlg, 12324);
    hvtest::ClickOn(dlg->FindWindow(1186));
    seen.startAfterPersistent = dlg->FindWindow(kIdStart)->IsEnabled();
    hvtest::ClickOn(dlg->FindWindow(1185));
    seen.startAfterAlways = dlg->FindWindow(kIdStart)->IsEnabled();
    ASSERT_TRUE(hvtest::TypeInto(sigMax, "200"));
    hvtest::ClickOn(dlg->FindWindow(kDpWizardFinish));   // refused: the field clamps its value
    hvtest::PumpUntil([&] { return !ui.MessageIds().empty(); }, 3s);
    seen.keptOpen = dlg->IsModal();
    seen.clamped = sigMax->GetValue();
    hvtest::ClickOn(dlg->FindWindow(kDpWizardFinish));
  });
  DataPointSheetRequest rw = ByteSheet(0x103);
  ui.ExpectMessage(10211);
  EXPECT_EQ(hv::Ui().Run(rw), kDpWizardFinish);
  EXPECT_TRUE(seen.nextOnGeneral);
  EXPECT_FALSE(seen.finishOnGeneral);
  EXPECT_TRUE(seen.finishOnRanges);
  EXPECT_FALSE(seen.nextOnRanges);
  EXPECT_FALSE(seen.startAfterPersistent);
  EXPECT_TRUE(seen.startAfterAlways);
  EXPECT_TRUE(seen.keptOpen);
  EXPECT_EQ(seen.clamped, "127");
  ASSERT_FALSE(ui.MessageCaptions().empty());
  EXPECT_EQ(ui.MessageCaptions().front(), "Falscheingabe");
  EXPECT_EQ(rw.values.sigMax, "127");

  // Read only and no initialisation: no start value, no ranges, no processing choice.
  bool startEnabled = true, rangesEnabled = true, writeEnabled = true;
  wxString start = "x";
  user.Then([&](wxDialog* dlg) {
    hvtest::ClickOn(dlg->FindWindow(12324));
    ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(kIdStart)->IsShownOnScreen(); }, 3s));
    startEnabled = dlg->FindWindow(kIdStart)->IsEnabled();
    start = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(kIdStart))->GetValue();
    rangesEnabled = dlg->FindWindow(kIdSigMin)->IsEnabled();
    writeEnabled = dlg->FindWindow(1099)->IsEnabled();
    hvtest::ClickOn(dlg->FindWindow(kDpWizardFinish));
  });
  DataPointSheetRequest noInit = ByteSheet(0x41);
  EXPECT_EQ(hv::Ui().Run(noInit), kDpWizardFinish);
  EXPECT_FALSE(startEnabled);
  EXPECT_EQ(start, "");
  EXPECT_FALSE(rangesEnabled);
  EXPECT_FALSE(writeEnabled);
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(ui.AllExpectationsMet());
  hv::Ui().Reset();
}

// A tab leaves a page as the buttons do: the general page's check keeps a wizard on an
// empty name, a checked page turns as Next with its buttons; outside the wizard leaving
// the ranges page runs their check. The ranges page groups its fields in boxes.
TEST(DataPointSheetGui, TabsLeaveThePagesAsTheButtonsDo) {
  hvtest::ScriptedUi ui;
  RegisterDataPointDialogs();
  hvtest::DialogScripts user;
  auto book = [](wxDialog* dlg) {
    wxBookCtrlBase* found = nullptr;
    for (wxWindow* w : dlg->GetChildren())
      if (auto* b = dynamic_cast<wxBookCtrlBase*>(w)) found = b;
    return found;
  };
  auto boxText = [](wxDialog* dlg, int id) {
    auto* box = dynamic_cast<wxStaticBox*>(dlg->FindWindow(id));
    return box ? box->GetLabel() : wxString("none");
  };
  struct Seen {
    int pageAfterEmptyName = -1, pageAfterName = -1;
    bool nextOnRanges = true, finishOnRanges = false, nextAfterBack = false;
    wxString init, mode;
    std::vector<wxString> ranges;
  } seen;
  user.Then([&](wxDialog* dlg) {
    wxBookCtrlBase* b = book(dlg);
    ASSERT_TRUE(b);
    auto* name = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(kIdName));
    name->ChangeValue(wxString());
    b->SetSelection(1);
    hvtest::Pump(100ms);
    seen.pageAfterEmptyName = b->GetSelection();
    name->ChangeValue("Motor");
    b->SetSelection(1);
    seen.pageAfterName = b->GetSelection();
    seen.nextOnRanges = Shown(dlg, 12324);
    seen.finishOnRanges = Shown(dlg, kDpWizardFinish);
    seen.init = boxText(dlg, 1187);
    seen.mode = boxText(dlg, 1097);
    for (wxWindow* w : b->GetPage(1)->GetChildren())
      if (auto* box = dynamic_cast<wxStaticBox*>(w); box && box->GetId() != 1187 && box->GetId() != 1097)
        seen.ranges.push_back(box->GetLabel());
    b->SetSelection(0);
    seen.nextAfterBack = Shown(dlg, 12324);
    hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
  });
  DataPointSheetRequest wizard = ByteSheet(0x103);
  ui.ExpectMessage(11504);
  EXPECT_EQ(hv::Ui().Run(wizard), IDCANCEL);
  EXPECT_EQ(seen.pageAfterEmptyName, 0);
  EXPECT_EQ(seen.pageAfterName, 1);
  EXPECT_FALSE(seen.nextOnRanges);
  EXPECT_TRUE(seen.finishOnRanges);
  EXPECT_TRUE(seen.nextAfterBack);
  EXPECT_EQ(seen.init, "Initialisierung");
  EXPECT_EQ(seen.mode, "Verarbeitungsmodus");
  EXPECT_EQ(seen.ranges, (std::vector<wxString>{hvtest::S("Signalbereich:"), hvtest::S("Meßbereich:")}));

  // Editing: leaving the ranges by the tab checks them (minimum above maximum).
  int pageAfterBadRange = -1;
  user.Then([&](wxDialog* dlg) {
    wxBookCtrlBase* b = book(dlg);
    ASSERT_TRUE(b);
    b->SetSelection(1);
    dynamic_cast<wxTextCtrl*>(dlg->FindWindow(kIdSigMin))->ChangeValue("9");
    dynamic_cast<wxTextCtrl*>(dlg->FindWindow(kIdSigMax))->ChangeValue("1");
    b->SetSelection(0);
    hvtest::Pump(100ms);
    pageAfterBadRange = b->GetSelection();
    hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
  });
  DataPointSheetRequest edit = ByteSheet(0x103);
  edit.wizard = false;
  ui.ExpectMessage(11509);
  EXPECT_EQ(hv::Ui().Run(edit), IDCANCEL);
  EXPECT_EQ(pageAfterBadRange, 1);
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(ui.AllExpectationsMet());
  hv::Ui().Reset();
}

// Return goes on as the shown button: Next on the general page, Finish on the ranges,
// OK outside the wizard.
TEST(DataPointSheetGui, ReturnTakesTheShownButton) {
  hvtest::ScriptedUi ui;
  RegisterDataPointDialogs();
  hvtest::DialogScripts user;
  bool turned = false;
  user.Then([&](wxDialog* dlg) {
    hvtest::ClickOn(dlg->FindWindow(kIdName));
    hvtest::PressKey(WXK_RETURN);
    turned = hvtest::PumpUntil([&] { return dlg->FindWindow(kIdSigMax)->IsShownOnScreen(); }, 3s);
    hvtest::ClickOn(dlg->FindWindow(kIdSigMax));
    hvtest::PressKey(WXK_RETURN);
    if (!hvtest::PumpUntil([&] { return !dlg->IsModal(); }, 3s)) hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
  });
  DataPointSheetRequest wizard = ByteSheet(0x103);
  EXPECT_EQ(hv::Ui().Run(wizard), kDpWizardFinish);
  EXPECT_TRUE(turned);

  user.Then([&](wxDialog* dlg) {
    hvtest::ClickOn(dlg->FindWindow(kIdName));
    hvtest::PressKey(WXK_RETURN);
    if (!hvtest::PumpUntil([&] { return !dlg->IsModal(); }, 3s)) hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
  });
  DataPointSheetRequest edit = ByteSheet(0x103);
  edit.wizard = false;
  EXPECT_EQ(hv::Ui().Run(edit), IDOK);
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(ui.AllExpectationsMet());
  hv::Ui().Reset();
}

// The picker of several points takes the selected entries and a typed address together;
// OK with neither says what is missing and keeps the window.
TEST(DataPointSheetGui, ThePickerTakesSelectedEntriesAndATypedAddress) {
  hvtest::ScriptedUi ui;
  RegisterDataPointDialogs();
  hvtest::DialogScripts user;
  bool keptOpen = false;
  user.Then([&](wxDialog* dlg) {
    hvtest::ClickOn(dlg->FindWindow(wxID_OK));
    keptOpen = hvtest::PumpUntil([&] { return !ui.MessageIds().empty(); }, 3s) && dlg->IsModal();
    dynamic_cast<wxListBox*>(dlg->FindWindow(1001))->SetSelection(1);
    ASSERT_TRUE(hvtest::TypeInto(dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1002)), "HR|7"));
    hvtest::ClickOn(dlg->FindWindow(wxID_OK));
    if (!hvtest::PumpUntil([&] { return !dlg->IsModal(); }, 3s)) hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
  });
  DataPointPickRequest pick;
  pick.netDriver = "MBTCP";
  pick.multiple = true;
  for (const char* a : {"HR|1", "HR|2", "HR|3"}) {
    PickedDataPoint p;
    p.address = a;
    p.type = 8;
    pick.offered.push_back(p);
  }
  ui.ExpectMessage(11508);
  EXPECT_EQ(hv::Ui().Run(pick), IDOK);
  EXPECT_TRUE(keptOpen);
  std::vector<wxString> chosen;
  for (const PickedDataPoint& p : pick.chosen) chosen.push_back(p.address);
  EXPECT_EQ(chosen, (std::vector<wxString>{"HR|2", "HR|7"}));
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(ui.AllExpectationsMet());
  hv::Ui().Reset();
}

}  // namespace
