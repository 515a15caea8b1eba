// A project download from the project's command in the real window, with the services
// bound at start-up: the resource file reaches a CE panel over FTP and a simulated
// device, byte for byte; with the panel's server gone the report names it; the graph
// tool open on another device ends it without claiming success.
#include <gtest/gtest.h>

#include <signal.h>
#include <utime.h>

#include <algorithm>
#include <ctime>

#include "framework/CommandIds.h"
#include "framework/Launcher.h"
#include "framework/SettingsFile.h"
#include "model/GraphToolCheck.h"
#include "model/ProjectDownload.h"
#include "model/ResourceFreshness.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/ToolService.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/CeTransferAnswers.h"
#include "tests/support/FtpTestServer.h"

using hvtest::ChildNamed;
using hvtest::S;

namespace {

class ProjectDownloadGui : public hvtest::ProjectWindowFixture {
 protected:
  // A device with one CoDeSys program and a resource file.
  CPOPrjDevice* Device(CPOProject* project, const wxString& name, const wxString& type, const wxString& driver,
                       const wxString& network) {
    AnswerNewDevice({name, type, driver, network});
    if (!SelectInTree(project) || !RunInTree(ID_OBJECT_NEW)) return nullptr;
    hvtest::PumpUntilIdle();
    auto* device = dynamic_cast<CPOPrjDevice*>(ChildNamed(project, name));
    if (!device) return nullptr;
    const wxString codesys = hv::ResolvePath(device->GetDeviceFolder() + "/CoDeSys");
    const wxString resource = hv::ResolvePath(device->GetDeviceFolder() + "/resource");
    hv::MakeFolders(codesys);
    hv::MakeFolders(resource);
    hvtest::WriteAll(codesys + "/Main.pro", "PROGRAM");
    std::string bytes;
    for (int i = 0; i < 70000; ++i) bytes.push_back(static_cast<char>((i * 7 + name.length()) & 0xFF));
    hvtest::WriteAll(resource + "/resource.res", bytes);
    return device;
  }
  std::vector<wxString> report;
};

// A process standing in for the graph tool, recorded as this program records the graph
// tool it starts; ended when the test ends.
struct GraphToolRunning {
  GraphToolRunning() {
    if (LaunchProcess(nullptr, wxS("/bin/sleep 120"), wxString(), &pid))
      hv::ToolService::Get().Record(pid, kGraphToolWindowClass, wxS("TavGraph"));
  }
  ~GraphToolRunning() {
    if (pid == 0) return;
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    WaitForLaunchedProcess(pid, 5000);
  }
  DWORD pid = 0;
};

TEST_F(ProjectDownloadGui, ResourcesArriveAndAFailedDeviceIsNamed) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  {
    CSettingsFile profile(home.Sub("Project.INI"));
    ASSERT_TRUE(profile.WriteString("Programs", "CODESYSDOWNLOAD", "/bin/true"));
  }
  Open();
  hvtest::TempDir ftpRoot;
  hvtest::FtpTestServer server(ftpRoot.Path());
  ASSERT_GT(server.Port(), 0);
  CPOPrjDevice* panel = Device(project, S("Panel"), S("CE_PLC7"), S("CE_TCP"), S("MBTCP"));
  CPOPrjDevice* sim = Device(project, S("Sim"), S("COMBO_C167"), S("COMBO167"), S("SIMNET"));
  ASSERT_TRUE(panel && sim);
  panel->SetDeviceParameters("CE_TCP;x;" + server.Address());
  panel->GetSettings().WriteConfigString("FtpUsername", "dev");
  panel->GetSettings().WriteConfigString("FtpPassword", "pw");
  hvtest::TempDir simFolder;
  hvtest::WriteAll(simFolder.Path() + "/net.sim", "[Device 4]\nType=COMBO_C167\n");
  sim->SetNetworkPara("file=" + simFolder.Path() + "/net.sim");
  sim->SetNode("4");

  hvtest::AnswerCeTransferHeadless(ui);
  hvtest::AnswerOnlineDownloadHeadless(ui);
  ui.Answer<PrjDownloadReportRequest>([this](PrjDownloadReportRequest& r) {
    report = r.lines;
    return IDOK;
  });
  ui.AllowAnyMessage();
  ASSERT_TRUE(SelectInTree(project));
  ASSERT_TRUE(EnabledInTree(ID_DOWNLOAD_PROJECT));
  ASSERT_TRUE(RunInTree(ID_DOWNLOAD_PROJECT));
  EXPECT_TRUE(report.empty()) << report[0];
  EXPECT_TRUE(ui.Saw(10857));
  const std::string sent = hvtest::ReadAll(hv::ResolvePath(panel->GetDeviceFolder() + "/resource/resource.res"));
  EXPECT_EQ(hvtest::ReadAll(ftpRoot.Path() + "/Flashdisk/TavDesign/resource.res"), sent);
  EXPECT_EQ(hvtest::ReadAll(simFolder.Path() + "/download/4/resource.res"),
            hvtest::ReadAll(hv::ResolvePath(sim->GetDeviceFolder() + "/resource/resource.res")));

  server.Kill();
  ASSERT_TRUE(RunInTree(ID_DOWNLOAD_PROJECT));
  ASSERT_EQ(report.size(), 1u);
  EXPECT_TRUE(report[0].StartsWith(S("Panel: Ressource - "))) << report[0];
  EXPECT_EQ(std::count(ui.MessageIds().begin(), ui.MessageIds().end(), 10857u), 1);
}

// The graph tool is open on another device when the first device's resources are due:
// the download ends there, the report says so, and success is not claimed.
TEST_F(ProjectDownloadGui, TheGraphToolOnAnotherDeviceEndsTheDownloadWithoutSuccess) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  {
    CSettingsFile profile(home.Sub("Project.INI"));
    ASSERT_TRUE(profile.WriteString("Programs", "CODESYSDOWNLOAD", "/bin/true"));
  }
  Open();
  CPOPrjDevice* first = Device(project, S("Erste"), S("COMBO_C167"), S("COMBO167"), S("SIMNET"));
  CPOPrjDevice* second = Device(project, S("Zweite"), S("COMBO_C167"), S("COMBO167"), S("SIMNET"));
  ASSERT_TRUE(first && second);
  hvtest::TempDir simFolder;
  hvtest::WriteAll(simFolder.Path() + "/net.sim", "[Device 4]\nType=COMBO_C167\n[Device 5]\nType=COMBO_C167\n");
  first->SetNetworkPara("file=" + simFolder.Path() + "/net.sim");
  first->SetNode("4");
  second->SetNetworkPara("file=" + simFolder.Path() + "/net.sim");
  second->SetNode("5");
  // A bitmap newer than the first device's resource file: its resources are due.
  const wxString bitmap = hv::ResolvePath(first->GetDeviceFolder() + "/Bitmaps") + "/neu.bmp";
  hvtest::WriteAll(bitmap, "BM");
  const time_t later = std::time(nullptr) + 120;
  utimbuf times{later, later};
  ASSERT_EQ(utime(hv::ToFs(bitmap).c_str(), &times), 0);
  ASSERT_EQ(ResourceFreshness(first->GetDeviceFolder()), 0);

  ASSERT_TRUE(hv::RegistryStore::Get().SetString(hv::kKeyGraphTool, wxS("PROJECTNAME"), wxS("Anderes")));
  ASSERT_TRUE(hv::RegistryStore::Get().SetString(hv::kKeyGraphTool, wxS("DEVICENAME"), wxS("Panel")));
  GraphToolRunning graphTool;
  ASSERT_NE(graphTool.pid, 0u);
  hvtest::AnswerOnlineDownloadHeadless(ui);
  ui.Answer<PrjDownloadReportRequest>([this](PrjDownloadReportRequest& r) {
    report = r.lines;
    return IDOK;
  });
  ui.ExpectMessage(10074);   // and no other message: neither the question nor success
  ASSERT_TRUE(SelectInTree(project));
  ASSERT_TRUE(RunInTree(ID_DOWNLOAD_PROJECT));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(ui.Saw(10857));
  EXPECT_EQ(report, std::vector<wxString>{S("Erste: Ressource - Abbruch, die folgenden Geräte wurden nicht geladen")});
  EXPECT_FALSE(hv::PathExists(simFolder.Path() + "/download"));   // the second device was not reached
}

}  // namespace
