// The project device's sheet by the keyboard: arrow keys step through the network, type
// and driver lists one entry per key, in the new-device wizard and in a device's
// settings, and the keys stay in the list while the page refills itself. "&Autoscan"
// belongs to the general page: leaving it by "Zurück" or another tab hides it. Tab and
// Shift+Tab walk the general page as it is laid out, then the sheet's buttons.
#include <gtest/gtest.h>

#include <wx/bookctrl.h>
#include <wx/choice.h>
#include <wx/propdlg.h>
#include <wx/translation.h>
#include <wx/window.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/ui/App.h"
#include "app/ui/Dialogs.h"
#include "framework/CommandIds.h"
#include "model/NewObjectRequests.h"
#include "model/PrjDevice.h"
#include "platform/Localization.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"

namespace {

using namespace std::chrono_literals;

enum { kNetwork = 1076, kNetworkSettings = 1078, kName = 1025, kType = 1067, kDriver = 1069, kNext = 12324,
       kBack = 12323, kAutoscan = 415, kFinish = 12325, kId = 1072, kDots = 1070, kNode = 1073, kParameters = 1074,
       kFirmware = 1228, kRemote = 1237 };

wxChoice* List(wxWindow* dlg, int id) { return dynamic_cast<wxChoice*>(dlg->FindWindow(id)); }

// What the keys did to a list: its selection after each key, and each time whether the
// keyboard was still in the list once the page had done its work.
struct Steps {
  std::vector<int> selections;
  std::vector<bool> kept;
  wxString leftTo;   // where the keyboard went, the first time it left
};

// The keyboard is put into the list, then each key is pressed on the display as a user
// would, one after another.
Steps StepThrough(wxChoice* list, const std::vector<int>& keys) {
  Steps steps;
  if (!list) return steps;
  list->SetFocus();
  hvtest::PumpUntil([&] { return wxWindow::FindFocus() == list; }, 10s);
  for (int key : keys) {
    const int before = list->GetSelection();
    hvtest::PressKey(key);
    // A key the list missed leaves it unchanged: that shows below, the wait only ends.
    hvtest::PumpUntil([&] { return list->GetSelection() != before; }, 10s);
    hvtest::PumpUntilIdle();
    steps.selections.push_back(list->GetSelection());
    wxWindow* focus = wxWindow::FindFocus();
    steps.kept.push_back(focus == list);
    if (focus != list && steps.leftTo.empty())
      steps.leftTo = focus ? wxString::Format("#%d '%s'", focus->GetId(), focus->GetLabel()) : wxString("nothing");
  }
  return steps;
}

bool Shown(wxWindow* dlg, int id) {
  wxWindow* w = dlg->FindWindow(id);
  return w && w->IsShown();
}

class DeviceSheetKeysGui : public hvtest::ProjectWindowFixture {
 protected:
  void SetUp() override {
    RegisterAppDialogs();
    project = AddProject(AddFolder(wxS("Anlagen")), wxS("Halle"));
    Open();
  }
  void Run(UINT command) {
    ASSERT_TRUE(RunInTree(command));
    ASSERT_TRUE(hvtest::PumpUntil([&] { return user.AllRun() && !wxDynamicCast(wxGetActiveWindow(), wxDialog); }, 30s));
    hvtest::PumpUntilIdle();
    EXPECT_EQ(user.unexpected, 0);
  }
  CPOProject* project = nullptr;
  hvtest::DialogScripts user;
};

// Types on the simulated network: CE_PLC7, COMBO_C167, KOLM_G320, KOLM_T420; CE_PLC7 has
// two drivers and chooses neither by itself. Networks: Modbus TCP and the simulation.
TEST_F(DeviceSheetKeysGui, TheWizardsListsKeepTheKeysAndAutoscanStaysOnTheGeneralPage) {
  ui.Answer<NewObjectRequest>([](NewObjectRequest& r) {
    r.typeCode = TypeCode::PrjDevice;
    return static_cast<int>(IDOK);
  });
  Steps networks, types, drivers;
  std::vector<bool> autoscan;   // connection, general, after Back, general again
  user.Then([&](wxDialog* dlg) {
    [&] {
      wxChoice* network = List(dlg, kNetwork);
      ASSERT_TRUE(network);
      const int simulation = network->FindString("Simulation");
      ASSERT_NE(simulation, wxNOT_FOUND);
      const int away = simulation == 0 ? WXK_DOWN : WXK_UP;
      networks = StepThrough(network, {away, away == WXK_DOWN ? WXK_UP : WXK_DOWN});
      ASSERT_EQ(network->GetStringSelection(), "Simulation");
      hvtest::ClickOn(dlg->FindWindow(kNetworkSettings));
      autoscan.push_back(Shown(dlg, kAutoscan));
      hvtest::ClickOn(dlg->FindWindow(kNext));
      ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(kName)->IsShownOnScreen(); }, 10s));
      autoscan.push_back(Shown(dlg, kAutoscan));
      hvtest::ClickOn(dlg->FindWindow(kBack));
      ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(kNetwork)->IsShownOnScreen(); }, 10s));
      autoscan.push_back(Shown(dlg, kAutoscan));
      hvtest::ClickOn(dlg->FindWindow(kNext));
      ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(kName)->IsShownOnScreen(); }, 10s));
      autoscan.push_back(Shown(dlg, kAutoscan));

      types = StepThrough(List(dlg, kType), {WXK_DOWN, WXK_DOWN, WXK_DOWN, WXK_UP, WXK_UP});
      ASSERT_EQ(List(dlg, kType)->GetStringSelection(), "CE_PLC7");
      drivers = StepThrough(List(dlg, kDriver), {WXK_DOWN, WXK_DOWN, WXK_UP});
    }();
    hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
  });
  user.Then([](wxDialog* params) { hvtest::ClickOn(params->FindWindow(wxID_OK)); });   // slot and parameters
  ASSERT_TRUE(SelectInTree(project));
  Run(ID_OBJECT_NEW);

  EXPECT_EQ(networks.selections.size(), 2u);
  EXPECT_EQ(networks.kept, std::vector<bool>(2, true)) << "left to " << networks.leftTo;
  EXPECT_EQ(types.selections, (std::vector<int>{0, 1, 2, 1, 0}));
  EXPECT_EQ(types.kept, std::vector<bool>(5, true)) << "left to " << types.leftTo;
  EXPECT_EQ(drivers.selections, (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(drivers.kept, std::vector<bool>(3, true)) << "left to " << drivers.leftTo;
  EXPECT_EQ(autoscan, (std::vector<bool>{false, true, false, true}));
  EXPECT_TRUE(project->GetChildren().empty());
}

// A KOLM_G320 on Modbus TCP: its types are CE_PANEL7, CE_PLC7, COMBO_C167, CTRL_515,
// KOLM_G320, KOLM_T420; its pages General, PC connection and Font. Ctrl+PageDown and
// Ctrl+PageUp turn the pages, each time with the keys on the page turned to.
TEST_F(DeviceSheetKeysGui, TheSettingsListsKeepTheKeysAndAutoscanShowsOnlyOnTheGeneralPage) {
  ui.AllowAnyMessage();   // the new device's late notices
  AnswerNewDevice({wxS("Panel"), wxS("KOLM_G320"), wxS("CAN_R515"), wxS("MBTCP")});
  CPOPrjDevice* device = MakeDevice(project, wxS("Panel"));
  ASSERT_TRUE(device);
  device->SetSlot("MB_0");   // the connection's settings made: its page may be left
  RegisterAppDialogs();   // the real sheet again
  Steps types, drivers, networks;
  std::vector<bool> autoscan;   // general, connection, font, connection, general again
  std::vector<bool> keysOnPage;
  user.Then([&](wxDialog* dlg) {
    auto* book = dynamic_cast<wxPropertySheetDialog*>(dlg)->GetBookCtrl();
    auto turn = [&](int key, size_t page) {
      hvtest::PressKey(key, wxMOD_CONTROL);
      const bool turned = hvtest::PumpUntil([&] { return book->GetSelection() == static_cast<int>(page); }, 10s);
      hvtest::PumpUntilIdle();
      wxWindow* focus = wxWindow::FindFocus();
      keysOnPage.push_back(turned && focus && focus->IsShownOnScreen());
      autoscan.push_back(Shown(dlg, kAutoscan));
      return turned;
    };
    [&] {
      autoscan.push_back(Shown(dlg, kAutoscan));
      ASSERT_EQ(List(dlg, kType)->GetStringSelection(), "KOLM_G320");
      types = StepThrough(List(dlg, kType), {WXK_UP, WXK_UP, WXK_UP});
      drivers = StepThrough(List(dlg, kDriver), {WXK_DOWN, WXK_DOWN, WXK_UP});
      ASSERT_TRUE(turn(WXK_PAGEDOWN, 1));
      ASSERT_TRUE(turn(WXK_PAGEDOWN, 2));
      ASSERT_TRUE(turn(WXK_PAGEUP, 1));
      ASSERT_TRUE(turn(WXK_PAGEUP, 0));
      // Last: another network wants its settings made before the page may be left.
      ASSERT_TRUE(turn(WXK_PAGEDOWN, 1));
      wxChoice* network = List(dlg, kNetwork);
      networks = StepThrough(network, {network->GetSelection() == 0 ? WXK_DOWN : WXK_UP});
    }();
    hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
  });
  ASSERT_TRUE(SelectInTree(device));
  Run(ID_DEVICE_EDIT);

  EXPECT_EQ(types.selections, (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(types.kept, std::vector<bool>(3, true)) << "left to " << types.leftTo;
  EXPECT_EQ(drivers.selections, (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(drivers.kept, std::vector<bool>(3, true)) << "left to " << drivers.leftTo;
  EXPECT_EQ(networks.kept, std::vector<bool>(1, true)) << "left to " << networks.leftTo;
  EXPECT_EQ(keysOnPage, std::vector<bool>(5, true));
  EXPECT_EQ(autoscan, (std::vector<bool>{true, false, false, false, true, false}));
  EXPECT_EQ(device->GetHardwareType(), "KOLM_G320");   // cancelled: unchanged
}

// ---- Tab order ---------------------------------------------------------------------

// Where the keyboard is after each press of the key: the control's id, 0 for nowhere.
std::vector<int> Walk(wxDialog* dlg, int key, int modifiers, size_t presses) {
  std::vector<int> ids;
  for (size_t i = 0; i < presses; ++i) {
    wxWindow* before = hvtest::KeyboardFocus(dlg);
    hvtest::PressKey(key, modifiers);
    // A key that moved nothing shows below; the wait only ends.
    hvtest::PumpUntil([&] { return hvtest::KeyboardFocus(dlg) != before; }, 10s);
    hvtest::PumpUntilIdle();
    wxWindow* focus = hvtest::KeyboardFocus(dlg);
    ids.push_back(focus ? focus->GetId() : 0);
  }
  return ids;
}

void FocusOn(wxDialog* dlg, wxWindow* control) {
  control->SetFocus();
  hvtest::PumpUntil([&] { return hvtest::KeyboardFocus(dlg) == control; }, 10s);
}

// The general page's fields the keyboard may enter, as they stand top to bottom (a list
// without entries is greyed), then the sheet's own stops.
std::vector<int> Stops(wxDialog* dlg, const std::vector<int>& sheetStops) {
  wxWindow* page = dlg->FindWindow(kName)->GetParent();   // ids repeat on the other page
  std::vector<int> stops;
  for (int id : {kName, kId, kType, kDriver, kDots, kNode, kParameters, kFirmware, kRemote}) {
    wxWindow* w = page->FindWindow(id);
    auto* list = dynamic_cast<wxChoice*>(w);
    if (w && w->IsShown() && w->IsEnabled() && (!list || list->GetCount() > 0)) stops.push_back(id);
  }
  stops.insert(stops.end(), sheetStops.begin(), sheetStops.end());
  return stops;
}

// Tab from the name round to it again, Shift+Tab back the same way; then Tab and
// Shift+Tab after each list was opened and closed from the keyboard, once by Return and
// once by Escape.
struct TabOrder {
  std::vector<int> expected, forward, backward, afterLists, afterListsExpected;
};

TabOrder WalkPage(wxDialog* dlg, const std::vector<int>& sheetStops) {
  TabOrder t;
  t.expected = Stops(dlg, sheetStops);
  wxWindow* page = dlg->FindWindow(kName)->GetParent();
  FocusOn(dlg, page->FindWindow(kName));
  t.forward = Walk(dlg, WXK_TAB, 0, t.expected.size());
  t.backward = Walk(dlg, WXK_TAB, wxMOD_SHIFT, t.expected.size());
  for (int id : {kType, kDriver}) {
    auto* list = dynamic_cast<wxChoice*>(page->FindWindow(id));
    const auto at = std::find(t.expected.begin(), t.expected.end(), id);
    if (at == t.expected.end()) continue;
    for (int close : {WXK_RETURN, WXK_ESCAPE}) {
      FocusOn(dlg, list);
      hvtest::PressKey(WXK_SPACE);
      if (!hvtest::PumpUntil([&] { return hvtest::ListShown(list); }, 10s)) continue;   // shows as missing
      hvtest::PressKey(close);
      hvtest::PumpUntil([&] { return !hvtest::ListShown(list); }, 10s);
      hvtest::PumpUntilIdle();
      const std::vector<int> there = Walk(dlg, WXK_TAB, 0, 1), back = Walk(dlg, WXK_TAB, wxMOD_SHIFT, 1);
      t.afterLists.insert(t.afterLists.end(), {there[0], back[0]});
      t.afterListsExpected.insert(t.afterListsExpected.end(), {at + 1 != t.expected.end() ? *(at + 1) : t.expected[0], id});
    }
  }
  return t;
}

void ExpectFollowsLayout(const TabOrder& t) {
  // Forward from the name: every stop after it, then the name again.
  std::vector<int> forward(t.expected.begin() + 1, t.expected.end());
  forward.push_back(t.expected.front());
  EXPECT_EQ(t.forward, forward);
  // Backward from the name: the stops in reverse, ending on the name.
  std::vector<int> backward(t.expected.rbegin(), t.expected.rend());
  EXPECT_EQ(t.backward, backward);
  EXPECT_EQ(t.afterLists, t.afterListsExpected) << "Tab and Shift+Tab after a list closed by Return, by Escape";
  EXPECT_EQ(t.afterLists.size(), 8u);
}

void UseLanguage(const char* language) {
  if (std::string(language) == "DEU") return;
  ASSERT_TRUE(hv::InitMultiLanguage("Project", wxString(language)));
  ApplyToolkitLanguage(1);
}

// Steps the list with arrow keys to the entry.
bool ArrowTo(wxDialog* dlg, wxChoice* list, const wxString& entry) {
  const int target = list->FindString(entry);
  if (target == wxNOT_FOUND) return false;
  FocusOn(dlg, list);
  for (int i = 0; i < 10 && list->GetSelection() != target; ++i) {
    const int before = list->GetSelection();
    hvtest::PressKey(before < target ? WXK_DOWN : WXK_UP);
    hvtest::PumpUntil([&] { return list->GetSelection() != before; }, 10s);
    hvtest::PumpUntilIdle();
  }
  return list->GetSelection() == target;
}

// KOLM_G320 on the simulated network: one driver, chosen by itself, and a firmware list.
TEST_F(DeviceSheetKeysGui, TabWalksTheWizardsGeneralPageAsLaidOutThenAutoscanAndTheButtons) {
  ui.Answer<NewObjectRequest>([](NewObjectRequest& r) {
    r.typeCode = TypeCode::PrjDevice;
    return static_cast<int>(IDOK);
  });
  for (const char* language : {"DEU", "ENG"}) {
    SCOPED_TRACE(language);
    UseLanguage(language);
    TabOrder order;
    user.Then([&](wxDialog* dlg) {
      [&] {
        ASSERT_TRUE(ArrowTo(dlg, List(dlg, kNetwork), "Simulation"));
        hvtest::ClickOn(dlg->FindWindow(kNetworkSettings));
        hvtest::ClickOn(dlg->FindWindow(kNext));
        ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(kName)->IsShownOnScreen(); }, 10s));
        ASSERT_TRUE(ArrowTo(dlg, List(dlg, kType), "KOLM_G320"));
        ASSERT_EQ(List(dlg, kDriver)->GetCount(), 1u);
        order = WalkPage(dlg, {kAutoscan, kBack, kFinish, wxID_CANCEL});
      }();
      hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
    });
    user.Then([](wxDialog* params) { hvtest::ClickOn(params->FindWindow(wxID_OK)); });   // slot and parameters
    ASSERT_TRUE(SelectInTree(project));
    Run(ID_OBJECT_NEW);
    EXPECT_EQ(order.expected.size(), 12u);   // eight fields (the firmware list among them), four buttons
    ExpectFollowsLayout(order);
  }
  hv::ResetLanguage();
  wxTranslations::Set(nullptr);
}

TEST_F(DeviceSheetKeysGui, TabWalksTheSettingsGeneralPageAsLaidOutThenAutoscanAndTheButtons) {
  ui.AllowAnyMessage();   // the new device's late notices
  AnswerNewDevice({wxS("Panel"), wxS("KOLM_G320"), wxS("CAN_R515"), wxS("MBTCP")});
  CPOPrjDevice* device = MakeDevice(project, wxS("Panel"));
  ASSERT_TRUE(device);
  RegisterAppDialogs();   // the real sheet again
  for (const char* language : {"DEU", "ENG"}) {
    SCOPED_TRACE(language);
    UseLanguage(language);
    TabOrder order;
    user.Then([&](wxDialog* dlg) {
      const int book = dynamic_cast<wxPropertySheetDialog*>(dlg)->GetBookCtrl()->GetId();
      order = WalkPage(dlg, {kAutoscan, wxID_OK, wxID_CANCEL, book});
      hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
    });
    ASSERT_TRUE(SelectInTree(device));
    Run(ID_DEVICE_EDIT);
    EXPECT_EQ(order.expected.size(), 12u);   // eight fields, three buttons and the tabs
    ExpectFollowsLayout(order);
  }
  hv::ResetLanguage();
  wxTranslations::Set(nullptr);
}

}  // namespace
