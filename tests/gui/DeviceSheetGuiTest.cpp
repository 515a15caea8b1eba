// The project device's sheet in the real window, driven by the pointer and keyboard:
// "Neu..." on a project walks the new-device wizard and makes the device's folder,
// "DEVICE.SET" and its GERAET row; Cancel on any page leaves nothing; a device's
// "Eigenschaften" renames it and changes its type, its hidden flags kept; Autoscan on
// SIMNET fills the page.
#include <gtest/gtest.h>

#include <shapefil.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/bookctrl.h>
#include <wx/propdlg.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/translation.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "app/ui/App.h"
#include "app/ui/Dialogs.h"
#include "framework/CommandIds.h"
#include "framework/ui/DialogLayout.h"
#include "model/NewObjectRequests.h"
#include "model/PrjDevice.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"

namespace {

using namespace std::chrono_literals;
using hvtest::S;

enum { kNetwork = 1076, kNetworkSettings = 1078, kName = 1025, kType = 1067, kDriverSettings = 1070, kNext = 12324,
       kFinish = 12325, kBack = 12323, kAutoscan = 415 };

template <class T>
T* Find(wxDialog* dlg, int id) {
  return dynamic_cast<T*>(dlg->FindWindow(id));
}

// In the new-object dialog: a click on the device kind, then OK.
void ChooseDeviceKind(wxDialog* dlg) {
  auto* tree = dynamic_cast<wxTreeCtrl*>(dlg->FindWindow(1023));
  ASSERT_TRUE(tree);
  wxTreeItemIdValue cookie;
  for (wxTreeItemId item = tree->GetFirstChild(tree->GetRootItem(), cookie); item.IsOk();
       item = tree->GetNextChild(tree->GetRootItem(), cookie)) {
    if (!tree->GetItemText(item).Contains(wxS("Gerät"))) continue;
    wxRect rect;
    ASSERT_TRUE(tree->GetBoundingRect(item, rect, true));
    wxUIActionSimulator sim;
    const wxPoint at = tree->ClientToScreen(rect.GetPosition() + wxPoint(4, rect.height / 2));
    sim.MouseMove(at);
    hvtest::PumpUntil([&] { return wxGetMousePosition() == at; }, 2s);
    sim.MouseClick();
    ASSERT_TRUE(hvtest::PumpUntil([&] { return tree->GetSelection() == item; }, 2s));
  }
  hvtest::ClickOn(dlg->FindWindow(wxID_OK));
}

int IndexOf(wxChoice* choice, const wxString& text) { return choice ? choice->FindString(text) : -1; }

// One GERAET row's fields as an independent reader sees them.
struct GeraetRow {
  bool found = false;
  std::string driver, node, param;
};
GeraetRow ReadGeraet(const wxString& deviceFolder, const std::string& name) {
  GeraetRow row;
  DBFHandle h = DBFOpen(hv::ToFs(hv::ResolvePath(hv::JoinPath(deviceFolder, "GERAET.DBF"))).c_str(), "rb");
  if (!h) return row;
  const int nameField = DBFGetFieldIndex(h, "BEZEICH"), typ = DBFGetFieldIndex(h, "TYP"), node = DBFGetFieldIndex(h, "KNOTEN");
  const int param = DBFGetFieldIndex(h, "PARAM");
  for (int i = 0; i < DBFGetRecordCount(h); ++i) {
    if (DBFIsRecordDeleted(h, i)) continue;
    std::string n = DBFReadStringAttribute(h, i, nameField);
    while (!n.empty() && n.back() == ' ') n.pop_back();
    if (n != name) continue;
    row = {true, DBFReadStringAttribute(h, i, typ), DBFReadStringAttribute(h, i, node),
           DBFReadStringAttribute(h, i, param)};
  }
  DBFClose(h);
  return row;
}

// A key of an INI file as python3's configparser reads it.
std::string IniValue(const wxString& file, const std::string& section, const std::string& key) {
  const std::string cmd = "/usr/bin/python3 -c \"import configparser,sys\n"
                          "c=configparser.ConfigParser(interpolation=None,strict=False)\nc.optionxform=str\n"
                          "c.read(sys.argv[1], encoding='cp1252')\nprint(c.get(sys.argv[2],sys.argv[3],fallback='<none>'))\" '" +
                          hv::ToUtf8(hv::ResolvePath(file)) + "' '" + section + "' '" + key + "'";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

class DeviceSheetGui : public hvtest::ProjectWindowFixture {
 protected:
  void SetUp() override {
    RegisterAppDialogs();
    project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
    Open();
    ASSERT_TRUE(SelectInTree(project));
  }
  // The scripts of the new-object dialog and the wizard's connection page up to Next.
  void NewDeviceUntilGeneralPage(const wxString& shotName = wxString()) {
    user.Then(ChooseDeviceKind);
    user.Then([this, shotName](wxDialog* dlg) {
      sheet = dlg;
      if (!shotName.empty()) hvtest::SaveScreenshot(dlg, shotName + "-connection");
      auto* network = Find<wxChoice>(dlg, kNetwork);
      ASSERT_TRUE(network);
      ASSERT_TRUE(hvtest::ChooseEntry(network, IndexOf(network, "Simulation")))
          << network->GetCount() << " " << network->GetString(0) << " sel " << network->GetSelection();
      hvtest::ClickOn(dlg->FindWindow(kNetworkSettings));
      ASSERT_FALSE(Find<wxTextCtrl>(dlg, 1077)->GetValue().empty());
      hvtest::ClickOn(dlg->FindWindow(kNext));
      ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(kName)->IsShownOnScreen(); }, 3s));
      generalPage(dlg);
    });
    user.Then([](wxDialog* params) { hvtest::ClickOn(params->FindWindow(wxID_OK)); });   // slot and parameters
  }
  void RunNew() {
    ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
    ASSERT_TRUE(hvtest::PumpUntil([&] { return user.AllRun() && !wxDynamicCast(wxGetActiveWindow(), wxDialog); }, 30s));
    hvtest::PumpUntilIdle();
  }
  // A KOLM_G320 "Panel7" made through the wizard, its driver's node 3.
  CPOPrjDevice* NewPanel7() {
    generalPage = [&](wxDialog* dlg) {
      auto* type = Find<wxChoice>(dlg, kType);
      ASSERT_TRUE(hvtest::ChooseEntry(type, IndexOf(type, "KOLM_G320")));
      hvtest::ClickOn(dlg->FindWindow(kDriverSettings));
      ASSERT_TRUE(hvtest::TypeInto(Find<wxTextCtrl>(dlg, kName), "Panel7"));
      hvtest::ClickOn(dlg->FindWindow(kFinish));
    };
    NewDeviceUntilGeneralPage();
    user.Then([](wxDialog* params) {
      hvtest::TypeInto(dynamic_cast<wxTextCtrl*>(params->GetChildren()[1]), "3");
      hvtest::ClickOn(params->FindWindow(wxID_OK));
    });
    RunNew();
    return dynamic_cast<CPOPrjDevice*>(hvtest::ChildNamed(project, S("Panel7")));
  }
  CPOProject* project = nullptr;
  hvtest::DialogScripts user;
  wxDialog* sheet = nullptr;
  std::function<void(wxDialog*)> generalPage;
};

TEST_F(DeviceSheetGui, TheWizardMakesTheDeviceWithItsFolderSettingsAndRow) {
  ui.AllowAnyMessage();   // the device's late notices
  generalPage = [&](wxDialog* dlg) {
    auto* type = Find<wxChoice>(dlg, kType);
    ASSERT_TRUE(hvtest::ChooseEntry(type, IndexOf(type, "KOLM_G320")));
    EXPECT_TRUE(dlg->FindWindow(kAutoscan)->IsShown());
    EXPECT_FALSE(dlg->FindWindow(kNext)->IsShown());
    hvtest::ClickOn(dlg->FindWindow(kDriverSettings));   // node and parameters
    ASSERT_TRUE(hvtest::TypeInto(Find<wxTextCtrl>(dlg, kName), "Panel7"));
    hvtest::SaveScreenshot(dlg, "device-wizard-general");   // docs/device-wizard.png is a copy
    hvtest::ClickOn(dlg->FindWindow(kFinish));
  };
  NewDeviceUntilGeneralPage("device-wizard");
  user.Then([](wxDialog* params) {
    hvtest::TypeInto(dynamic_cast<wxTextCtrl*>(params->GetChildren()[1]), "3");
    hvtest::ClickOn(params->FindWindow(wxID_OK));
  });
  RunNew();
  EXPECT_EQ(user.unexpected, 0);

  const wxString folder = hv::JoinPath(project->GetFolder(), "Panel7");
  ASSERT_TRUE(hv::IsFolder(folder));
  const wxString set = hv::JoinPath(folder, "DEVICE.SET");
  EXPECT_EQ(IniValue(set, "Config", "Type"), "KOLM_G320");
  EXPECT_EQ(IniValue(set, "Connection", "Network"), "SIMNET");
  EXPECT_EQ(IniValue(set, "Connection", "Node"), "3");
  const GeraetRow row = ReadGeraet(folder, "Panel7");
  EXPECT_TRUE(row.found);
  EXPECT_EQ(row.driver, "CAN_R515");
  EXPECT_EQ(row.node, "3");
  EXPECT_TRUE(hvtest::ChildNamed(project, S("Panel7")));
}

TEST_F(DeviceSheetGui, AForbiddenCharacterInTheNameIsSelectedWithTheFieldsOwnText) {
  ui.AllowAnyMessage();   // the device's late notices
  long from = -1, to = -1;
  bool keptOpen = false;
  generalPage = [&](wxDialog* dlg) {
    auto* type = Find<wxChoice>(dlg, kType);
    ASSERT_TRUE(hvtest::ChooseEntry(type, IndexOf(type, "KOLM_G320")));
    hvtest::ClickOn(dlg->FindWindow(kDriverSettings));
    auto* name = Find<wxTextCtrl>(dlg, kName);
    // Typed, the colon never gets in; a name handed in with it does.
    ASSERT_TRUE(hvtest::TypeInto(name, "Pa"));
    wxUIActionSimulator().Text(":");
    hvtest::Pump(100ms);
    EXPECT_EQ(name->GetValue(), "Pa");
    name->ChangeValue("Pa:nel");
    hvtest::ClickOn(dlg->FindWindow(kFinish));
    keptOpen = dlg->IsModal();
    name->GetSelection(&from, &to);
    ASSERT_TRUE(hvtest::TypeInto(name, "Panel8"));
    hvtest::ClickOn(dlg->FindWindow(kFinish));
  };
  NewDeviceUntilGeneralPage();
  user.Then([](wxDialog* params) {
    hvtest::TypeInto(dynamic_cast<wxTextCtrl*>(params->GetChildren()[1]), "3");
    hvtest::ClickOn(params->FindWindow(wxID_OK));
  });
  RunNew();
  EXPECT_TRUE(keptOpen);
  ASSERT_FALSE(ui.MessageIds().empty());
  EXPECT_EQ(ui.MessageIds().front(), 10300u);
  EXPECT_EQ(ui.MessageTexts().front(), wxS("Es wurde ein ungültiges Zeichen eingegeben!"));
  EXPECT_EQ(from, 2);
  EXPECT_EQ(to, 3);
  EXPECT_TRUE(hvtest::ChildNamed(project, S("Panel8")));
}

// The general page shows the chosen type's facts, and node and parameters typed by hand
// (no parameter dialog) reach the device's GERAET row and DEVICE.SET.
TEST_F(DeviceSheetGui, TheTypesFactsShowAndATypedNodeAndParameterAreStored) {
  ui.AllowAnyMessage();   // the device's late notices
  std::vector<std::pair<wxString, wxString>> lines;
  wxString group, number;
  generalPage = [&](wxDialog* dlg) {
    auto* type = Find<wxChoice>(dlg, kType);
    ASSERT_TRUE(hvtest::ChooseEntry(type, IndexOf(type, "KOLM_G320")));
    for (int i = 0; i < 5; ++i) {
      auto* label = dynamic_cast<wxStaticText*>(dlg->FindWindow(1146 + i));
      auto* value = dynamic_cast<wxStaticText*>(dlg->FindWindow(1151 + i));
      ASSERT_TRUE(label && value) << i;
      lines.emplace_back(label->GetLabel(), value->GetLabel());
    }
    if (auto* box = dynamic_cast<wxStaticBox*>(dlg->FindWindow(1145))) group = box->GetLabel();
    number = Find<wxTextCtrl>(dlg, 1072)->GetValue();
    hvtest::SaveScreenshot(dlg, "device-general-information");
    ASSERT_TRUE(hvtest::TypeInto(Find<wxTextCtrl>(dlg, 1073), "5"));
    // The connection page has a 1074 of its own: the general page's is looked up on it.
    wxWindow* general = dlg->FindWindow(kName)->GetParent();
    ASSERT_TRUE(hvtest::TypeInto(dynamic_cast<wxTextCtrl*>(general->FindWindow(1074)), "p1/10.0.0.5"));
    ASSERT_TRUE(hvtest::TypeInto(Find<wxTextCtrl>(dlg, kName), "Panel9"));
    hvtest::ClickOn(dlg->FindWindow(kFinish));
  };
  NewDeviceUntilGeneralPage();
  RunNew();
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_EQ(group, wxS("Geräteinformationen"));
  EXPECT_EQ(number, "0");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].first, "Grafisches Display");
  EXPECT_EQ(lines[1], std::make_pair(wxString(wxS("  Auflösung:")), wxString("320x240")));
  EXPECT_EQ(lines[2].first, "  Farben:");
  EXPECT_FALSE(lines[2].second.empty());
  EXPECT_EQ(lines[3].first, "");

  const wxString folder = hv::JoinPath(project->GetFolder(), "Panel9");
  EXPECT_EQ(IniValue(hv::JoinPath(folder, "DEVICE.SET"), "Connection", "Node"), "5");
  const GeraetRow row = ReadGeraet(folder, "Panel9");
  ASSERT_TRUE(row.found);
  EXPECT_EQ(row.node, "5");
  EXPECT_EQ(row.param.rfind("p1/10.0.0.5", 0), 0u) << row.param;
}

TEST_F(DeviceSheetGui, CancelOnEitherPageLeavesNothing) {
  const std::vector<std::string> before = [&] {
    std::vector<std::string> names;
    for (const wxString& n : hv::ListFolder(project->GetFolder())) names.push_back(hv::ToUtf8(n));
    return names;
  }();
  // On the first page.
  user.Then(ChooseDeviceKind);
  user.Then([](wxDialog* dlg) { hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL)); });
  RunNew();
  // On the general page, after the connection was set.
  generalPage = [](wxDialog* dlg) { hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL)); };
  NewDeviceUntilGeneralPage();
  RunNew();
  std::vector<std::string> after;
  for (const wxString& n : hv::ListFolder(project->GetFolder())) after.push_back(hv::ToUtf8(n));
  EXPECT_EQ(after, before);
  EXPECT_TRUE(project->GetChildren().empty());
  EXPECT_EQ(user.unexpected, 0);
}

TEST_F(DeviceSheetGui, SettingsRenameTheDeviceAndChangeItsType) {
  ui.AllowAnyMessage(IDYES);   // the notices and questions that follow a rename and a type change
  CPOPrjDevice* device = nullptr;
  ASSERT_NO_FATAL_FAILURE(device = NewPanel7());
  ASSERT_TRUE(device);

  // The compressed-bitmaps flag is not offered, yet the page carries it through OK.
  device->SetCompressedBitmaps(TRUE);
  user.Then([&](wxDialog* dlg) {
    hvtest::SaveScreenshot(dlg, "device-settings-general");
    EXPECT_FALSE(dlg->FindWindow(kNext));
    auto* compressed = Find<wxCheckBox>(dlg, 1221);
    ASSERT_TRUE(compressed);
    EXPECT_EQ(compressed->GetLabel(), "Bitmaps komprimiert");
    EXPECT_FALSE(compressed->IsShown());
    EXPECT_FALSE(compressed->IsEnabled());
    EXPECT_TRUE(compressed->GetValue());
    auto* type = Find<wxChoice>(dlg, kType);
    ASSERT_TRUE(hvtest::ChooseEntry(type, IndexOf(type, "KOLM_T420")));
    ASSERT_TRUE(hvtest::TypeInto(Find<wxTextCtrl>(dlg, kName), "Panel8"));
    hvtest::PressKey(WXK_PAGEDOWN, wxMOD_CONTROL);
    ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(kNetwork)->IsShownOnScreen(); }, 3s));
    EXPECT_FALSE(dlg->FindWindow(kAutoscan)->IsShown());   // only on the general page
    hvtest::SaveScreenshot(dlg, "device-settings-connection");
    hvtest::ClickOn(dlg->FindWindow(kNetwork));
    hvtest::PressKey(WXK_ESCAPE);
    hvtest::PressKey(WXK_PAGEDOWN, wxMOD_CONTROL);
    hvtest::SaveScreenshot(dlg, "device-settings-fonts");
    hvtest::ClickOn(dlg->FindWindow(wxID_OK));
  });
  ASSERT_TRUE(SelectInTree(device));
  ASSERT_TRUE(RunInTree(ID_DEVICE_EDIT));
  ASSERT_TRUE(hvtest::PumpUntil([&] { return user.AllRun() && !wxDynamicCast(wxGetActiveWindow(), wxDialog); }, 30s));
  hvtest::PumpUntilIdle();
  EXPECT_EQ(user.unexpected, 0);

  auto* renamed = dynamic_cast<CPOPrjDevice*>(hvtest::ChildNamed(project, S("Panel8")));
  ASSERT_TRUE(renamed);
  EXPECT_TRUE(renamed->GetCompressedBitmaps());
  const wxString folder = hv::JoinPath(project->GetFolder(), "Panel8");
  ASSERT_TRUE(hv::IsFolder(folder));
  EXPECT_FALSE(hv::PathExists(hv::JoinPath(project->GetFolder(), "Panel7")));
  EXPECT_EQ(IniValue(hv::JoinPath(folder, "DEVICE.SET"), "Config", "Type"), "KOLM_T420");
  EXPECT_TRUE(ReadGeraet(folder, "Panel8").found);
  EXPECT_FALSE(ReadGeraet(folder, "Panel7").found);
}

// The text fields of a dialog, in their order.
std::vector<wxTextCtrl*> TextFields(wxWindow* dlg) {
  std::vector<wxTextCtrl*> out;
  for (wxWindow* child : dlg->GetChildren())
    if (auto* text = dynamic_cast<wxTextCtrl*>(child)) out.push_back(text);
  return out;
}

TEST_F(DeviceSheetGui, AutoscanOnTheSimulatedNetworkFillsTheGeneralPage) {
  const wxString simFile = home.Sub("simnet.ini");
  // A progress text longer than the scan dialog takes, a two-byte character across its end.
  const std::string progress = std::string(98, 'x') + "\xc3\xbc";
  hvtest::WriteAll(simFile, "[Network]\nScanDelayMs=700\nProgressText=" + progress +
                                "\n[Device 5]\nType=CAN_R515\nHardware=KOLM_T420\nFirmware=152\nIP=10.0.0.5\n");
  wxString typeShown, nodeShown, parametersShown, statusShown;
  user.Then(ChooseDeviceKind);
  user.Then([&](wxDialog* dlg) {
    auto* network = Find<wxChoice>(dlg, kNetwork);
    ASSERT_TRUE(hvtest::ChooseEntry(network, IndexOf(network, "Simulation")));
    hvtest::ClickOn(dlg->FindWindow(kNetworkSettings));
    hvtest::ClickOn(dlg->FindWindow(kNext));
    ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(kAutoscan)->IsShownOnScreen(); }, 3s));
    hvtest::ClickOn(dlg->FindWindow(kAutoscan));
    ASSERT_TRUE(hvtest::PumpUntil([&] { return !Find<wxTextCtrl>(dlg, 1073)->GetValue().empty(); }, 10s));
    hvtest::SaveScreenshot(dlg, "device-wizard-autoscan");
    typeShown = Find<wxChoice>(dlg, kType)->GetStringSelection();
    nodeShown = Find<wxTextCtrl>(dlg, 1073)->GetValue();
    // Both pages have a parameters field: the general page's one.
    parametersShown = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(kName)->GetParent()->FindWindow(1074))->GetValue();
    hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
  });
  user.Then([&](wxDialog* params) {   // the simulation file as the network's parameter
    const std::vector<wxTextCtrl*> fields = TextFields(params);
    ASSERT_EQ(fields.size(), 2u);
    ASSERT_TRUE(hvtest::TypeInto(fields[1], simFile));
    hvtest::ClickOn(params->FindWindow(wxID_OK));
  });
  user.Then([&](wxDialog* scan) {   // the scan dialog ends by itself at the end of the scan
    auto* status = Find<wxTextCtrl>(scan, 1113);
    ASSERT_TRUE(status);
    hvtest::PumpUntil([&] { return status->GetValue().StartsWith("x"); }, 3s);
    statusShown = status->GetValue();
    hvtest::SaveScreenshot(scan, "autoscan-progress");
  });
  user.Then([](wxDialog* found) { hvtest::ClickOn(found->FindWindow(wxID_OK)); });   // the first scanned device
  RunNew();
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_EQ(statusShown, wxString(std::string(98, 'x')));   // cut before the character, not emptied
  EXPECT_EQ(typeShown, "KOLM_T420");
  EXPECT_EQ(nodeShown, "5");
  EXPECT_TRUE(parametersShown.EndsWith(";10.0.0.5")) << parametersShown;
  EXPECT_TRUE(project->GetChildren().empty());   // cancelled afterwards: nothing made
}

// A device's text that looks like a block of the scan result ("[99]") is no second device:
// the selection lists the one device the scan found.
TEST_F(DeviceSheetGui, ADeviceTextCannotAddADeviceToTheScanResult) {
  const wxString simFile = home.Sub("simnet.ini");
  hvtest::WriteAll(simFile, "[Device 5]\nType=CAN_R515\nHardware=[99]\nFirmware=152\nIP=10.0.0.5\n");
  wxString nodeShown;
  unsigned listed = 0;
  user.Then(ChooseDeviceKind);
  user.Then([&](wxDialog* dlg) {
    auto* network = Find<wxChoice>(dlg, kNetwork);
    ASSERT_TRUE(hvtest::ChooseEntry(network, IndexOf(network, "Simulation")));
    hvtest::ClickOn(dlg->FindWindow(kNetworkSettings));
    hvtest::ClickOn(dlg->FindWindow(kNext));
    ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(kAutoscan)->IsShownOnScreen(); }, 3s));
    hvtest::ClickOn(dlg->FindWindow(kAutoscan));
    ASSERT_TRUE(hvtest::PumpUntil([&] { return !Find<wxTextCtrl>(dlg, 1073)->GetValue().empty(); }, 10s));
    nodeShown = Find<wxTextCtrl>(dlg, 1073)->GetValue();
    hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
  });
  user.Then([&](wxDialog* params) {
    const std::vector<wxTextCtrl*> fields = TextFields(params);
    ASSERT_EQ(fields.size(), 2u);
    ASSERT_TRUE(hvtest::TypeInto(fields[1], simFile));
    hvtest::ClickOn(params->FindWindow(wxID_OK));
  });
  user.Then([](wxDialog*) {});
  user.Then([&](wxDialog* found) {
    if (auto* list = dynamic_cast<wxListBox*>(found->FindWindow(1055))) listed = list->GetCount();
    hvtest::ClickOn(found->FindWindow(wxID_OK));
  });
  RunNew();
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_EQ(listed, 1u);
  EXPECT_EQ(nodeShown, "5");
}

// Picks a list entry as the list's own selection reports it (the pointer's way is
// tested above; here it would only cost time).
bool Pick(wxChoice* choice, const wxString& text) {
  const int index = choice ? choice->FindString(text) : wxNOT_FOUND;
  if (index == wxNOT_FOUND) return false;
  choice->SetSelection(index);
  wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
  event.SetEventObject(choice);
  event.SetInt(index);
  event.SetString(text);
  choice->GetEventHandler()->ProcessEvent(event);
  hvtest::PumpUntilIdle();
  return choice->GetSelection() == index;
}

// Whether the text is shown whole: its text fits its width, and it lies inside its
// parent's client area, which lies inside its own parent's, and so on up to the dialog.
// A group box's children are placed below its label, which its client size includes.
bool ShownWhole(wxStaticText* text) {
  if (!text->IsShownOnScreen() || TextWidth(text, text->GetLabel()) > text->GetSize().GetWidth()) return false;
  for (wxWindow* inner = text; !inner->IsTopLevel(); inner = inner->GetParent()) {
    wxRect client(inner->GetParent()->GetClientSize());
    if (auto* box = dynamic_cast<wxStaticBox*>(inner->GetParent())) {
      int top = 0, other = 0;
      box->GetBordersForSizer(&top, &other);
      client.height -= top + other;
    }
    if (!client.Contains(inner->GetRect())) return false;
  }
  return true;
}

// A panel with a graphic display and four kinds of I/O has seven lines of facts: each is
// shown whole in the wizard, in German and in English.
TEST_F(DeviceSheetGui, EveryLineOfTheDeviceInformationIsShownWholeInBothLanguages) {
  ui.Answer<NewObjectRequest>([](NewObjectRequest& r) {
    r.typeCode = TypeCode::PrjDevice;
    return static_cast<int>(IDOK);
  });
  for (const char* language : {"DEU", "ENG"}) {
    SCOPED_TRACE(language);
    if (std::string(language) == "ENG") {
      ASSERT_TRUE(hv::InitMultiLanguage("Project", S(language)));
      ApplyToolkitLanguage(1);
    }
    std::vector<wxString> lines, cut;
    user.Then([&](wxDialog* dlg) {
      ASSERT_TRUE(Pick(Find<wxChoice>(dlg, kNetwork), "Simulation"));
      hvtest::ClickOn(dlg->FindWindow(kNetworkSettings));
      hvtest::ClickOn(dlg->FindWindow(kNext));
      ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(kName)->IsShownOnScreen(); }, 3s));
      ASSERT_TRUE(Pick(Find<wxChoice>(dlg, kType), "COMBO_C167"));
      hvtest::PumpUntilIdle();
      hvtest::SaveScreenshot(dlg, wxString("device-wizard-information-") + language);
      wxWindow* group = dlg->FindWindow(1145);
      ASSERT_TRUE(group);
      // Labels and values in turn, the lines not used left empty.
      std::vector<wxStaticText*> texts;
      for (wxWindow* child : group->GetChildren())
        if (auto* text = dynamic_cast<wxStaticText*>(child)) texts.push_back(text);
      for (size_t i = 0; i + 1 < texts.size(); i += 2)
        if (!texts[i]->GetLabel().empty()) lines.push_back(texts[i]->GetLabel() + "|" + texts[i + 1]->GetLabel());
      for (wxStaticText* text : texts)
        if (!text->GetLabel().empty() && !ShownWhole(text)) cut.push_back(text->GetLabel());
      hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
    });
    user.Then([](wxDialog* params) { hvtest::ClickOn(params->FindWindow(wxID_OK)); });   // slot and parameters
    RunNew();
    EXPECT_EQ(user.unexpected, 0);
    const bool english = std::string(language) == "ENG";
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[1], english ? S("  Resolution:|240x128") : S("  Auflösung:|240x128"));
    EXPECT_EQ(lines[6], english ? S("Analogue outputs:|2") : S("Analoge Ausgänge:|2"));
    for (const wxString& text : cut) ADD_FAILURE() << "cut off: " << hv::ToUtf8(text);
  }
  hv::ResetLanguage();
  wxTranslations::Set(nullptr);
}

}  // namespace

namespace {

// Keyboard users start in the wizard's first field, and a refused "Weiter" takes them to
// the button that mends it instead of leaving them on "Weiter".
TEST_F(DeviceSheetGui, TheWizardStartsInItsFirstFieldAndARefusalGoesToWhatIsMissing) {
  ui.ExpectMessage(10284);
  wxWindow *atStart = nullptr, *afterRefusal = nullptr, *settings = nullptr, *network = nullptr;
  user.Then(ChooseDeviceKind);
  user.Then([&](wxDialog* dlg) {
    hvtest::PumpUntilIdle();
    atStart = wxWindow::FindFocus();
    network = dlg->FindWindow(kNetwork);
    settings = dlg->FindWindow(kNetworkSettings);
    ASSERT_TRUE(Pick(Find<wxChoice>(dlg, kNetwork), "Simulation"));
    hvtest::ClickOn(dlg->FindWindow(kNext));   // its settings are not made yet
    hvtest::PumpUntilIdle();
    afterRefusal = wxWindow::FindFocus();
    hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
  });
  RunNew();
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(atStart && atStart == network);
  EXPECT_TRUE(afterRefusal && afterRefusal == settings);
  EXPECT_TRUE(ui.AllExpectationsMet());
}

}  // namespace

namespace {

// Clears a text field from the keyboard.
void ClearField(wxTextCtrl* field) {
  hvtest::ClickOn(field);
  hvtest::PressKey('a', wxMOD_CONTROL);
  hvtest::PressKey(WXK_DELETE);
  hvtest::PumpUntil([&] { return field->GetValue().empty(); }, 2s);
}

int FocusedId() {
  wxWindow* focus = wxWindow::FindFocus();
  return focus ? focus->GetId() : 0;
}

// Each refusal of "Fertigstellen" puts the keys on what is missing: the type, the driver
// (CE_PLC7 has two, so none is chosen by itself), the driver's settings ("..."), and for
// parameters the name, where their path comes from.
TEST_F(DeviceSheetGui, ARefusedFinishGoesToTheFieldThatIsMissing) {
  ui.ExpectMessage(11402);
  ui.ExpectMessage(11403);
  ui.ExpectMessage(11404);
  ui.ExpectMessage(11405);
  std::vector<int> focused;
  generalPage = [&](wxDialog* dlg) {
    auto finish = [&] {
      hvtest::ClickOn(dlg->FindWindow(kFinish));
      hvtest::PumpUntilIdle();
      focused.push_back(FocusedId());
    };
    finish();
    ASSERT_TRUE(Pick(Find<wxChoice>(dlg, kType), "CE_PLC7"));
    finish();
    ASSERT_TRUE(Pick(Find<wxChoice>(dlg, kType), "KOLM_G320"));
    finish();
    ASSERT_TRUE(hvtest::TypeInto(Find<wxTextCtrl>(dlg, 1073), "3"));   // node by hand, no parameters
    finish();
    hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
  };
  NewDeviceUntilGeneralPage();
  RunNew();
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(focused, (std::vector<int>{kType, 1069, kDriverSettings, kName}));
}

// OK of a device's settings runs the general page's check on whichever page is in front:
// cleared parameters are refused with the keys on the name; a cleared node, with the
// connection page in front, turns back to the general page onto "...". Once OK passes,
// the values are stored as typed.
TEST_F(DeviceSheetGui, SettingsOKChecksTheGeneralPageAndGoesToWhatIsMissing) {
  ui.AllowAnyMessage();   // the device's late notices
  CPOPrjDevice* device = nullptr;
  ASSERT_NO_FATAL_FAILURE(device = NewPanel7());
  ASSERT_TRUE(device);
  const wxString folder = device->GetDeviceFolder();

  struct Refusal {
    bool open = false;
    bool generalInFront = false;
    int focused = 0;
  } noParameters, noNode;
  user.Then([&](wxDialog* dlg) {
    wxWindow* general = dlg->FindWindow(kName)->GetParent();
    auto* parameters = dynamic_cast<wxTextCtrl*>(general->FindWindow(1074));
    auto* node = Find<wxTextCtrl>(dlg, 1073);
    auto refused = [&](Refusal& r) {
      hvtest::ClickOn(dlg->FindWindow(wxID_OK));
      hvtest::PumpUntilIdle();
      r = {dlg->IsModal(), general->IsShownOnScreen(), FocusedId()};
    };
    ClearField(parameters);
    refused(noParameters);
    ASSERT_TRUE(hvtest::TypeInto(parameters, "p2/10.0.0.6"));
    ClearField(node);
    hvtest::PressKey(WXK_PAGEDOWN, wxMOD_CONTROL);
    ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(kNetwork)->IsShownOnScreen(); }, 3s));
    refused(noNode);
    ASSERT_TRUE(hvtest::TypeInto(node, "4"));
    hvtest::ClickOn(dlg->FindWindow(wxID_OK));
  });
  ASSERT_TRUE(SelectInTree(device));
  ASSERT_TRUE(RunInTree(ID_DEVICE_EDIT));
  ASSERT_TRUE(hvtest::PumpUntil([&] { return user.AllRun() && !wxDynamicCast(wxGetActiveWindow(), wxDialog); }, 30s));
  hvtest::PumpUntilIdle();
  EXPECT_EQ(user.unexpected, 0);

  EXPECT_TRUE(ui.Saw(11405));
  EXPECT_TRUE(ui.Saw(11404));
  EXPECT_TRUE(noParameters.open);
  EXPECT_EQ(noParameters.focused, kName);
  EXPECT_TRUE(noNode.open);
  EXPECT_TRUE(noNode.generalInFront);
  EXPECT_EQ(noNode.focused, kDriverSettings);

  const GeraetRow after = ReadGeraet(folder, "Panel7");
  EXPECT_EQ(after.node, "4");
  EXPECT_EQ(after.param.rfind("p2/10.0.0.6", 0), 0u) << after.param;
  EXPECT_EQ(IniValue(hv::JoinPath(folder, "DEVICE.SET"), "Connection", "Node"), "4");
}

// The text of the manual's section that begins with the heading, up to the next one.
std::string ManualSection(const char* manual, const char* heading) {
  std::ifstream in(std::string(HV_TEST_SOURCE_DIR) + "/../docs/manual/" + manual);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t begin = text.find(std::string("\n## ") + heading + "\n");
  if (begin == std::string::npos) return std::string();
  return text.substr(begin, text.find("\n## ", begin + 1) - begin);
}

// The manual names the device settings' pages and the network driver's fields as the
// program shows them, in German and in English; a page it names is one the sheet has.
TEST_F(DeviceSheetGui, TheManualNamesTheSettingsPagesAndTheNetworkFieldsAsShown) {
  ui.AllowAnyMessage();   // the device's late notices
  AnswerNewDevice({S("Panel"), S("KOLM_G320"), S("CAN_R515"), S("SIMNET")});
  CPOPrjDevice* device = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(device);
  RegisterAppDialogs();   // the real sheet again
  for (const char* language : {"DEU", "ENG"}) {
    SCOPED_TRACE(language);
    const bool english = std::string(language) == "ENG";
    if (english) {
      ASSERT_TRUE(hv::InitMultiLanguage("Project", S(language)));
      ApplyToolkitLanguage(1);
    }
    std::vector<wxString> pages, fields;
    user.Then([&](wxDialog* dlg) {
      auto* sheet = dynamic_cast<wxPropertySheetDialog*>(dlg);
      ASSERT_TRUE(sheet);
      wxBookCtrlBase* book = sheet->GetBookCtrl();
      for (size_t i = 0; i < book->GetPageCount(); ++i) pages.push_back(book->GetPageText(i));
      book->SetSelection(1);
      ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(kNetwork)->IsShownOnScreen(); }, 3s));
      ASSERT_TRUE(Pick(Find<wxChoice>(dlg, kNetwork), "Modbus TCP"));
      hvtest::ClickOn(dlg->FindWindow(kNetworkSettings));
      hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
    });
    user.Then([&](wxDialog* params) {
      for (wxWindow* child : params->GetChildren())
        if (auto* label = dynamic_cast<wxStaticText*>(child); label && !label->GetLabel().empty())
          fields.push_back(label->GetLabel());
      hvtest::ClickOn(params->FindWindow(wxID_CANCEL));
    });
    ASSERT_TRUE(SelectInTree(device));
    ASSERT_TRUE(RunInTree(ID_DEVICE_EDIT));
    ASSERT_TRUE(hvtest::PumpUntil([&] { return user.AllRun() && !wxDynamicCast(wxGetActiveWindow(), wxDialog); }, 30s));
    hvtest::PumpUntilIdle();
    EXPECT_EQ(user.unexpected, 0);
    EXPECT_EQ(pages, english ? (std::vector<wxString>{S("General"), S("PC connection"), S("Font")})
                             : (std::vector<wxString>{S("Allgemein"), S("PC-Verbindung"), S("Schriftart")}));
    EXPECT_EQ(fields.size(), 6u);

    const std::string section = english ? ManualSection("en/Manual.md", "Devices") : ManualSection("de/Handbuch.md", "Geräte");
    ASSERT_FALSE(section.empty());
    auto quoted = [english](const wxString& name) {
      return english ? "\"" + hv::ToUtf8(name) + "\"" : "„" + hv::ToUtf8(name) + "“";
    };
    for (const wxString& name : pages) EXPECT_NE(section.find(quoted(name)), std::string::npos) << quoted(name);
    for (const wxString& name : fields) EXPECT_NE(section.find(quoted(name)), std::string::npos) << quoted(name);
    const std::regex page(english ? "page \"([^\"]+)\"" : "Seite „([^“]+)“");
    for (auto it = std::sregex_iterator(section.begin(), section.end(), page); it != std::sregex_iterator(); ++it)
      EXPECT_NE(std::find(pages.begin(), pages.end(), hv::FromUtf8((*it)[1].str())), pages.end()) << (*it)[0].str();
  }
  hv::ResetLanguage();
  wxTranslations::Set(nullptr);
}

}  // namespace
