// Sending a project to its devices in the real window with the dialogs bound at
// start-up: the CE panels are made through the new-device wizard with each driver their
// type lists; the project download sends resources to a CE panel over FTP and to a
// simulated device through the online download dialog; a stale resource file is asked
// about, "no" sends it as it is, "yes" runs the configured generator first.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>
#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/gauge.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

#include <ctime>

#include "app/ui/Dialogs.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/StaticControls.h"
#include "build/ui/DlgDownload.h"
#include "build/ui/DownloadWebCE.h"
#include "build/ui/FtpDownload.h"
#include "framework/CommandIds.h"
#include "framework/SettingsFile.h"
#include "model/NewObjectRequests.h"
#include "model/ProjectDownload.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "resources/ResourceCommands.h"
#include "resources/ResourceRequests.h"
#include "tests/gui/support/DialogHook.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/FtpTestServer.h"

namespace {

using namespace std::chrono_literals;
using hvtest::S;

enum { kNetwork = 1076, kNetworkSettings = 1078, kName = 1025, kType = 1067, kDriver = 1069, kDriverSettings = 1070,
       kNext = 12324, kFinish = 12325 };

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

// Picks a list entry as the list's own selection would report it (the pointer and
// keyboard way is the device sheet's own test; here it would only cost time).
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

class SendToDevicesGui : public hvtest::ProjectWindowFixture {
 protected:
  void SetUp() override {
    RegisterAppDialogs();   // as the program does at start-up
    project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  }

  // One device through the real wizard: network, type, device driver (its display
  // text), the parameter dialogs confirmed, a name, Finish.
  CPOPrjDevice* MakeThroughWizard(const wxString& name, const wxString& network, const wxString& type,
                                  const wxString& driverText) {
    hvtest::DialogScripts user;
    user.Then(ChooseDeviceKind);
    user.Then([&](wxDialog* dlg) {
      auto* net = Find<wxChoice>(dlg, kNetwork);
      ASSERT_TRUE(net);
      ASSERT_TRUE(Pick(net, network)) << network;
      hvtest::ClickOn(dlg->FindWindow(kNetworkSettings));
      hvtest::ClickOn(dlg->FindWindow(kNext));
      ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(kName)->IsShownOnScreen(); }, 3s));
      auto* types = Find<wxChoice>(dlg, kType);
      ASSERT_TRUE(Pick(types, type)) << type;
      auto* drivers = Find<wxChoice>(dlg, kDriver);
      ASSERT_TRUE(drivers);
      ASSERT_NE(drivers->FindString(driverText), wxNOT_FOUND) << driverText << " not offered for " << type;
      ASSERT_TRUE(Pick(drivers, driverText));
      hvtest::ClickOn(dlg->FindWindow(kDriverSettings));
      Find<wxTextCtrl>(dlg, kName)->SetValue(name);
      hvtest::ClickOn(dlg->FindWindow(kFinish));
    });
    user.Then([](wxDialog* params) { hvtest::ClickOn(params->FindWindow(wxID_OK)); });   // network settings
    user.Then([](wxDialog* params) {   // node and parameters
      hvtest::TypeInto(dynamic_cast<wxTextCtrl*>(params->GetChildren()[1]), "3");
      hvtest::ClickOn(params->FindWindow(wxID_OK));
    });
    if (!SelectInTree(project) || !RunInTree(ID_OBJECT_NEW)) return nullptr;
    EXPECT_TRUE(hvtest::PumpUntil([&] { return user.AllRun() && !wxDynamicCast(wxGetActiveWindow(), wxDialog); }, 30s));
    hvtest::PumpUntilIdle();
    EXPECT_EQ(user.unexpected, 0);
    return dynamic_cast<CPOPrjDevice*>(hvtest::ChildNamed(project, name));
  }

  CPOProject* project = nullptr;
};

TEST_F(SendToDevicesGui, CePanelsAreMadeWithEachDriverTheirTypeLists) {
  Open();
  ui.AllowAnyMessage();   // the devices' late notices
  struct Case {
    const char* name;
    const char* type;
    const char* driver;
    const char* driverText;
  } cases[] = {
      {"P7Tcp", "CE_PANEL7", "CE_TCP", "CE Panel TCP-Treiber"},
      {"P7Qx", "CE_PANEL7", "CE_QX", "CE Panel SPS-Treiber (QX)"},
      {"PlcTcp", "CE_PLC7", "CE_TCP", "CE Panel TCP-Treiber"},
      {"PlcQx", "CE_PLC7", "CE_QX", "CE Panel SPS-Treiber (QX)"},
  };
  for (const Case& c : cases) {
    CPOPrjDevice* device = MakeThroughWizard(c.name, "Modbus TCP", c.type, wxString::FromUTF8(c.driverText));
    ASSERT_TRUE(device) << c.name;
    EXPECT_EQ(device->GetHardwareType(), c.type);
    EXPECT_EQ(device->GetDeviceDriver(), c.driver);
    EXPECT_EQ(device->GetNetwork(), "MBTCP");
    EXPECT_EQ(device->GetNode(), "3");
    EXPECT_TRUE(hv::IsFile(hv::ResolvePath(device->GetDeviceFolder() + "/DEVICE.SET")));
  }
  EXPECT_FALSE(ui.Saw(11403));   // "Es muß ein Gerätetreiber ausgewählt werden!"
}

// Plays the user at the transfer dialogs: the CE target dialog is confirmed as
// proposed; the FTP and online download dialogs run on their own timers and end by
// themselves.
class TransferUser : public wxModalDialogHook {
 public:
  TransferUser() { Register(); }
  ~TransferUser() override { Unregister(); }
  std::vector<wxString> onlineCaptions;
  int onlineGauge = -1;
  int ftpRuns = 0;
  // The online dialog's file line: its whole text, what it shows, and whether that fits.
  wxString fileLine, fileLineShown;
  bool fileLineFits = false;

 protected:
  int Enter(wxDialog* dialog) override {
    if (auto* target = dynamic_cast<CDlgDownloadWebCE*>(dialog)) {
      target->TransferDataFromWindow();
      return wxID_OK;
    }
    auto* ftp = dynamic_cast<CDlgFtpDownload*>(dialog);
    auto* online = dynamic_cast<CDlgDownload*>(dialog);
    if (!ftp && !online) return wxID_NONE;
    dialog->Show();
    EXPECT_TRUE(hvtest::PumpUntil([&] { return !dialog->IsShown(); }, 20s));
    if (online) {
      onlineCaptions.push_back(online->GetTitle());
      onlineGauge = dynamic_cast<wxGauge*>(online->FindWindow(1623))->GetValue();
      if (auto* line = dynamic_cast<CStaticFilespec*>(online->FindWindow(1621))) {
        fileLine = line->GetLabel();
        fileLineShown = line->GetShownText();
        wxClientDC dc(line);
        dc.SetFont(line->GetFont());
        fileLineFits = dc.GetTextExtent(fileLineShown).x <= line->GetClientSize().x;
      }
    } else {
      ++ftpRuns;
    }
    return dialog->GetReturnCode();
  }
  void Exit(wxDialog*) override {}
};

void SetTime(const wxString& path, time_t t) {
  utimbuf times{t, t};
  utime(hv::ToFs(hv::ResolvePath(path)).c_str(), &times);
}

TEST_F(SendToDevicesGui, ProjectDownloadReachesFtpAndOnlineDevicesAndAsksAboutStaleResources) {
  hvtest::TempDir tools;
  const wxString generator = tools.Path() + "/resgen.sh";
  hvtest::WriteAll(generator, "#!/bin/sh\nprintf GENERATED > \"$1\"\n");
  chmod(hv::ToFs(generator).c_str(), 0755);
  {
    CSettingsFile profile(home.Sub("Project.INI"));
    ASSERT_TRUE(profile.WriteString("Programs", "RESGEN", generator));
  }
  Open();
  hvtest::TempDir ftpRoot;
  hvtest::FtpTestServer server(ftpRoot.Path());
  ASSERT_GT(server.Port(), 0);
  ui.AllowAnyMessage();
  AnswerNewDevice({S("Panel"), S("CE_PLC7"), S("CE_TCP"), S("MBTCP")});
  ASSERT_TRUE(SelectInTree(project) && RunInTree(ID_OBJECT_NEW));
  hvtest::PumpUntilIdle();
  AnswerNewDevice({S("Sim"), S("COMBO_C167"), S("COMBO167"), S("SIMNET")});
  ASSERT_TRUE(SelectInTree(project) && RunInTree(ID_OBJECT_NEW));
  hvtest::PumpUntilIdle();
  auto* panel = dynamic_cast<CPOPrjDevice*>(hvtest::ChildNamed(project, S("Panel")));
  auto* sim = dynamic_cast<CPOPrjDevice*>(hvtest::ChildNamed(project, S("Sim")));
  ASSERT_TRUE(panel && sim);
  panel->SetDeviceParameters("CE_TCP;x;" + server.Address());
  panel->GetSettings().WriteConfigString("FtpUsername", "dev");
  panel->GetSettings().WriteConfigString("FtpPassword", "pw");
  hvtest::TempDir simFolder;
  hvtest::WriteAll(simFolder.Path() + "/net.sim", "[Device 4]\nType=COMBO_C167\n");
  sim->SetNetworkPara("file=" + simFolder.Path() + "/net.sim");
  sim->SetNode("4");
  const wxString panelRes = hv::ResolvePath(panel->GetDeviceFolder() + "/resource") + "/resource.res";
  const wxString simRes = hv::ResolvePath(sim->GetDeviceFolder() + "/resource") + "/resource.res";
  hvtest::WriteAll(panelRes, "PANEL-RES");
  hvtest::WriteAll(simRes, "SIM-RES");
  const time_t later = std::time(nullptr) + 60;   // newer than every source
  SetTime(panelRes, later);
  SetTime(simRes, later);
  ui.Answer<PrjDownloadReportRequest>([](PrjDownloadReportRequest& r) {
    ADD_FAILURE() << hv::ToUtf8(r.lines.front());
    return IDOK;
  });

  TransferUser user;
  ui.ExpectMessage(10857);
  ASSERT_TRUE(SelectInTree(project) && RunInTree(ID_DOWNLOAD_PROJECT));
  EXPECT_TRUE(ui.AllExpectationsMet());
  // The last transfer's end stays in the status bar after its dialog closed.
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), S("Übertragung erfolgreich"));
  EXPECT_EQ(hvtest::ReadAll(ftpRoot.Path() + "/Flashdisk/TavDesign/resource.res"), "PANEL-RES");
  EXPECT_EQ(hvtest::ReadAll(simFolder.Path() + "/download/4/resource.res"), "SIM-RES");
  EXPECT_EQ(user.onlineCaptions, std::vector<wxString>{S("Ressourcendatei downloaden")});
  EXPECT_EQ(user.onlineGauge, 100);
  EXPECT_EQ(user.ftpRuns, 1);
  // The resource file's long path lost folders in its middle; file name and device show.
  EXPECT_EQ(user.fileLine, simRes + " -> Sim");
  EXPECT_NE(user.fileLineShown, user.fileLine);
  EXPECT_TRUE(user.fileLineShown.EndsWith(S(".../resource.res -> Sim"))) << user.fileLineShown;
  EXPECT_TRUE(simRes.StartsWith(user.fileLineShown.BeforeFirst('.'))) << user.fileLineShown;
  EXPECT_TRUE(user.fileLineFits);

  // A bitmap newer than the simulated device's resource file: "no" sends it as it is.
  hvtest::WriteAll(hv::ResolvePath(sim->GetDeviceFolder() + "/Bitmaps") + "/logo.bmp", "BM");
  SetTime(hv::ResolvePath(sim->GetDeviceFolder() + "/Bitmaps") + "/logo.bmp", later + 60);
  hvtest::WriteAll(simFolder.Path() + "/download/4/resource.res", "");
  ui.ExpectMessage(11819, IDNO);
  ui.ExpectMessage(10857);
  ASSERT_TRUE(SelectInTree(project) && RunInTree(ID_DOWNLOAD_PROJECT));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(hvtest::ReadAll(simRes), "SIM-RES");
  EXPECT_EQ(hvtest::ReadAll(simFolder.Path() + "/download/4/resource.res"), "SIM-RES");
  EXPECT_EQ(server.Stored().size(), 1u);   // the panel's unchanged file is not sent again

  // "Yes" runs the configured generator first, and the new file is what arrives.
  ui.ExpectMessage(11819, IDYES);
  ui.ExpectMessage(10857);
  ASSERT_TRUE(SelectInTree(project) && RunInTree(ID_DOWNLOAD_PROJECT));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(hvtest::ReadAll(simRes), "GENERATED");
  EXPECT_EQ(hvtest::ReadAll(simFolder.Path() + "/download/4/resource.res"), "GENERATED");
}

// A keypad file sent from its row's menu: the transfer dialog closes at its end and the
// main window's status bar keeps what it said; sent again, the panel's file is current.
TEST_F(SendToDevicesGui, TheStatusBarKeepsHowAKeypadTransferEnded) {
  Open();
  hvtest::TempDir ftpRoot;
  hvtest::FtpTestServer server(ftpRoot.Path());
  ASSERT_GT(server.Port(), 0);
  ui.AllowAnyMessage();
  AnswerNewDevice({S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")});
  ASSERT_TRUE(SelectInTree(project) && RunInTree(ID_OBJECT_NEW));
  hvtest::PumpUntilIdle();
  auto* panel = dynamic_cast<CPOPrjDevice*>(hvtest::ChildNamed(project, S("Panel")));
  ASSERT_TRUE(panel);
  panel->SetDeviceParameters("CE_TCP;x;" + server.Address());
  panel->GetSettings().WriteConfigString("FtpUsername", "dev");
  panel->GetSettings().WriteConfigString("FtpPassword", "pw");
  ui.Answer<NewObjectRequest>([](NewObjectRequest& r) {
    r.typeCode = TypeCode::KeypadXML;
    return static_cast<int>(IDOK);
  });
  ui.Answer<NewKeypadRequest>([](NewKeypadRequest& r) {
    r.name = S("Tasten");
    return static_cast<int>(IDOK);
  });
  ASSERT_TRUE(SelectInTree(panel) && RunInTree(ID_OBJECT_NEW));
  CProjectObject* keypads = hvtest::ChildNamed(hvtest::ChildNamed(panel, S("Ressourcen")), S("Keypads"));
  ASSERT_TRUE(keypads);
  CProjectObject* keypad = hvtest::ChildNamed(keypads, S("Tasten.xml"));
  ASSERT_TRUE(keypad);

  CProjectListView& list = *frame->GetListView();
  wxStatusBar* bar = frame->GetStatusBar();
  TransferUser user;
  auto send = [&] {
    ASSERT_TRUE(SelectInTree(keypads));
    const long row = list.Presenter().FindRow(keypad);
    ASSERT_GE(row, 0);
    list.ClearSelection();
    list.SelectRow(static_cast<std::size_t>(row), true);
    bar->SetStatusText(wxString(), 0);
    DispatchScope scope;
    EXPECT_TRUE(frame->Router().RouteFrom(&list.Presenter()).Execute(ID_RES_KEYPAD_DOWNLOAD));
  };
  send();
  EXPECT_EQ(user.ftpRuns, 1);
  EXPECT_EQ(hvtest::ReadAll(ftpRoot.Path() + "/Flashdisk/TavDesign/Tasten.xml"),
            hvtest::ReadAll(hv::ResolvePath(panel->GetDeviceFolder() + "/keypads/Tasten.xml")));
  EXPECT_EQ(bar->GetStatusText(0), S("Übertragung erfolgreich: 1 Datei(en) gesendet, 0 bereits aktuell"));
  send();
  EXPECT_EQ(user.ftpRuns, 2);
  EXPECT_EQ(bar->GetStatusText(0), S("Übertragung erfolgreich: 0 Datei(en) gesendet, 1 bereits aktuell"));
  EXPECT_EQ(server.Stored().size(), 1u);
}

// "Download" on a keypad sends its own files: the XML file and the pictures it names,
// not the rest of its folder. A keypad of the device type lies in the hardware folder
// beside the type's configuration, font, palette and pictures, which stay.
TEST_F(SendToDevicesGui, AKeypadSendsItsFileAndThePicturesItNamesOnly) {
  Open();
  hvtest::TempDir ftpRoot;
  hvtest::FtpTestServer server(ftpRoot.Path());
  ASSERT_GT(server.Port(), 0);
  ui.AllowAnyMessage();
  AnswerNewDevice({S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")});
  ASSERT_TRUE(SelectInTree(project) && RunInTree(ID_OBJECT_NEW));
  hvtest::PumpUntilIdle();
  auto* panel = dynamic_cast<CPOPrjDevice*>(hvtest::ChildNamed(project, S("Panel")));
  ASSERT_TRUE(panel);
  panel->SetDeviceParameters("CE_TCP;x;" + server.Address());
  panel->GetSettings().WriteConfigString("FtpUsername", "dev");
  panel->GetSettings().WriteConfigString("FtpPassword", "pw");
  const wxString keypadFolder = hv::ResolvePath(panel->GetDeviceFolder() + "/keypads");
  hvtest::WriteAll(keypadFolder + "/Tasten.xml",
                   "<?xml version=\"1.0\"?>\n<keypad name=\"Tasten\" layout=\"Tasten.bmp\">\n"
                   "  <key row=\"0\" column=\"0\" text=\".\" image=\"Bilder\\Punkt.BMP\"/>\n</keypad>\n");
  hvtest::WriteAll(keypadFolder + "/Tasten.bmp", "BM-layout");
  hvtest::WriteAll(keypadFolder + "/Bilder/Punkt.bmp", "BM-key");
  hvtest::WriteAll(keypadFolder + "/Anders.bmp", "BM-other");
  hvtest::WriteAll(keypadFolder + "/Anders.xml", "<keypad layout=\"Anders.bmp\"/>");
  // Made outside the program: "Aktualisieren" shows them.
  ASSERT_TRUE(SelectInTree(panel) && RunInTree(ID_VIEW_REFRESH));
  CProjectObject* resources = hvtest::ChildNamed(panel, S("Ressourcen"));
  ASSERT_TRUE(resources && SelectInTree(resources) && RunInTree(ID_VIEW_REFRESH));
  CProjectObject* keypads = hvtest::ChildNamed(resources, S("Keypads"));
  ASSERT_TRUE(keypads);

  CProjectListView& list = *frame->GetListView();
  TransferUser user;
  auto download = [&](const char* name) {
    ASSERT_TRUE(SelectInTree(keypads));
    CProjectObject* keypad = hvtest::ChildNamed(keypads, S(name));
    ASSERT_TRUE(keypad) << name;
    const long row = list.Presenter().FindRow(keypad);
    ASSERT_GE(row, 0);
    list.ClearSelection();
    list.SelectRow(static_cast<std::size_t>(row), true);
    DispatchScope scope;
    EXPECT_TRUE(frame->Router().RouteFrom(&list.Presenter()).Execute(ID_RES_KEYPAD_DOWNLOAD));
  };
  download("Keypad_Num.xml");
  EXPECT_EQ(server.Stored(), std::vector<wxString>{S("Flashdisk/TavDesign/Keypad_Num.xml")});
  download("Tasten.xml");
  EXPECT_EQ(server.Stored(),
            (std::vector<wxString>{S("Flashdisk/TavDesign/Keypad_Num.xml"), S("Flashdisk/TavDesign/Tasten.xml"),
                                   S("Flashdisk/TavDesign/Tasten.bmp"), S("Flashdisk/TavDesign/Bilder/Punkt.bmp")}));
  EXPECT_EQ(hvtest::ReadAll(ftpRoot.Path() + "/Flashdisk/TavDesign/Bilder/Punkt.bmp"), "BM-key");
  EXPECT_EQ(user.ftpRuns, 2);
}

}  // namespace
