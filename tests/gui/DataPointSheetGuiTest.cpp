// The data-point sheet in a real window: the wizard shows Next on the general page and
// Back and Finish on the ranges page; the range fields check their type's range
// themselves; a point that cannot be initialised offers no start value, and the stored
// or battery-buffered value takes the start value away.
#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

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

}  // namespace
