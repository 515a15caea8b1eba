#include <gtest/gtest.h>

#include <utime.h>

#include <algorithm>
#include <ctime>

#include "build/CoDeSys.h"
#include "model/ProjectDownload.h"
#include "model/ProjectDownloadSteps.h"
#include "model/ResourceFreshness.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/model/DeviceTestSupport.h"
#include "tests/support/CeTransferAnswers.h"
#include "tests/support/FtpTestServer.h"

namespace {

using devtest::DeviceFixture;
using devtest::Named;
using hvtest::S;

// Stands in for the device side; the FTP transfer is the real one unless told.
struct FakeSteps : CProjectDownloadSteps {
  std::map<wxString, int> programCodes;   // by program name; missing: 0
  std::vector<wxString> programs;         // downloaded, "device/program"
  std::vector<wxString> online;           // devices reached online
  bool onlineOk = true;
  std::vector<wxString> generated;        // resource files made
  bool generateOk = true;
  bool GenerateResources(const wxString& file, wxString& message) override {
    generated.push_back(file);
    message = "generator failed";
    return generateOk;
  }
  int DownloadProgram(CPOPrjDevice& device, CPOCoDeSys& program) override {
    programs.push_back(device.GetName() + "/" + program.GetName());
    const auto it = programCodes.find(program.GetName());
    return it == programCodes.end() ? 0 : it->second;
  }
  bool DownloadOnline(CPOPrjDevice& device, const wxString&, wxString& message) override {
    online.push_back(device.GetName());
    message = "offline";
    return onlineOk;
  }
};

// The real device side, with every program's download taken as done.
struct ProgramsDone : CProjectDownloadSteps {
  int DownloadProgram(CPOPrjDevice&, CPOCoDeSys&) override { return 0; }
};

struct ProjectDownload : DeviceFixture {
  FakeSteps steps;
  hv::ServiceOverride<hv::IProjectDownloadSteps> bound{&steps};
  std::vector<wxString> report;

  ProjectDownload() {
    ui.Answer<PrjDownloadReportRequest>([this](PrjDownloadReportRequest& r) {
      report = r.lines;
      return IDOK;
    });
  }
  // A CE device with a CoDeSys PLC, its programs and a resource file.
  CPOPrjDevice* Plc(const wxString& name, std::vector<const char*> programs, const wxString& network = "MBTCP",
                    const wxString& type = "CE_PLC7", const wxString& driver = "CE_TCP") {
    devtest::NewDevice answers = Named(name, type, driver);
    answers.network = network;
    CPOPrjDevice* device = Create(answers);
    if (!device) return nullptr;
    const wxString codesys = hv::ResolvePath(DeviceFolder(name) + "/CoDeSys");
    const wxString resource = hv::ResolvePath(DeviceFolder(name) + "/resource");
    hv::MakeFolders(codesys);
    hv::MakeFolders(resource);
    for (const char* p : programs) hvtest::WriteAll(codesys + "/" + p + ".pro", "PROGRAM");
    hvtest::WriteAll(resource + "/resource.res", std::string("RES\0\x01\x02 ", 8) + name.ToStdString());
    SetAge(resource + "/resource.res", 3660);   // a minute from now: newer than its sources
    return device;
  }
  // "Panel", a CE device served by `server` with user "dev" and `password`, whose
  // resource file is due to be sent.
  CPOPrjDevice* FtpPanel(const hvtest::FtpTestServer& server, const char* password) {
    CPOPrjDevice* ce = Plc("Panel", {"Main"});
    if (!ce) return nullptr;
    ce->SetDeviceParameters("CE_TCP;x;" + server.Address());
    ce->GetSettings().WriteConfigString("FtpUsername", "dev");
    ce->GetSettings().WriteConfigString("FtpPassword", password);
    SetAge(DeviceFolder("Panel") + "/resource/resource.res", 3700);
    return ce;
  }
  // Gives a file a time `seconds` after a fixed moment in the past.
  static void SetAge(const wxString& path, long seconds) {
    const time_t t = std::time(nullptr) - 3600 + seconds;
    utimbuf times{t, t};
    utime(hv::ToFs(hv::ResolvePath(path)).c_str(), &times);
  }
  static void AgeTree(const wxString& folder, long seconds) {
    for (const wxString& name : hv::ListFolder(hv::ResolvePath(folder))) {
      const wxString path = hv::ResolvePath(folder) + "/" + name;
      if (hv::IsFolder(path)) AgeTree(path, seconds);
      SetAge(path, seconds);
    }
  }
};

TEST_F(ProjectDownload, DevicesWithoutDownloadTypeSucceedAtOnce) {
  ASSERT_TRUE(Create(Named("G320")));
  ui.ExpectMessage(10857);
  EXPECT_TRUE(RunProjectDownload(*project).empty());
  EXPECT_TRUE(steps.programs.empty());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// One program is taken without asking; several ask, and an earlier choice is not kept.
TEST_F(ProjectDownload, ProgramChoiceAndFailureLines) {
  CPOPrjDevice* one = Plc("One", {"Main"});
  CPOPrjDevice* two = Plc("Two", {"Alpha", "Beta"});
  ASSERT_TRUE(one && two);
  two->SetDownloadProgram("Alpha");
  std::vector<PrgSelRequest> asked;
  ui.Answer<PrgSelRequest>([&](PrgSelRequest& r) {
    asked.push_back(r);
    r.chosen = "beta";
    return IDOK;
  });
  steps.programCodes["Main"] = CODESYS_TRANSLATION;
  // The CE transfers are refused at the target dialog.
  ui.Answer<DownloadWebCERequest>([](DownloadWebCERequest&) { return IDCANCEL; });
  RunProjectDownload(*project);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].device, "Two");
  EXPECT_EQ(asked[0].programs.size(), 2u);
  EXPECT_EQ(steps.programs, (std::vector<wxString>{"One/Main", "Two/Beta"}));
  ASSERT_EQ(report.size(), 3u);
  EXPECT_EQ(report[0], S("One: Main - Fehler beim Übersetzen des CoDeSys-Programms"));
  EXPECT_TRUE(report[1].StartsWith("One: Ressource - "));
  EXPECT_TRUE(report[2].StartsWith("Two: Ressource - "));
}

// A cancelled choice ends without any report; an abort still shows what went wrong.
// A panel whose parameters hold no address (its folder where the address belongs, its
// node a unit id) gets no transfer; its line says where the address is set.
TEST_F(ProjectDownload, APanelWithoutAnAddressIsNamedWithWhereToSetIt) {
  CPOPrjDevice* ce = Plc("Panel", {"Main"});
  ASSERT_TRUE(ce);
  ce->SetDeviceParameters(";" + ce->GetDeviceFolder());
  ce->SetNode("3");
  int asked = 0;
  ui.Answer<DownloadWebCERequest>([&](DownloadWebCERequest&) {
    ++asked;
    return IDCANCEL;
  });
  RunProjectDownload(*project);
  EXPECT_EQ(asked, 0);
  ASSERT_EQ(report.size(), 1u);
  EXPECT_TRUE(report[0].StartsWith(S("Panel: Ressource - IP-Adresse nicht gefunden! "))) << report[0];
  EXPECT_TRUE(report[0].Contains(S("Seite \"Allgemein\""))) << report[0];
}

TEST_F(ProjectDownload, CancelEndsSilentlyAbortShowsCollectedFailures) {
  ASSERT_TRUE(Plc("A", {"P1"}) && Plc("B", {"X", "Y"}));
  ui.Answer<PrgSelRequest>([](PrgSelRequest&) { return IDCANCEL; });
  RunProjectDownload(*project);
  EXPECT_TRUE(report.empty());
  EXPECT_TRUE(steps.programs.empty());

  ui.Answer<PrgSelRequest>([](PrgSelRequest& r) {
    r.chosen = "X";
    return IDOK;
  });
  ui.Answer<DownloadWebCERequest>([](DownloadWebCERequest&) { return IDCANCEL; });
  steps.programCodes["X"] = CODESYS_ABORT;
  RunProjectDownload(*project);
  ASSERT_EQ(report.size(), 2u);
  EXPECT_TRUE(report[0].StartsWith("A: Ressource - "));
  EXPECT_TRUE(report[1].StartsWith("B: X - "));
}

// Without configured command lines the program step fails with its message.
TEST_F(ProjectDownload, UnconfiguredProgramToolFails) {
  CProjectDownloadSteps real;
  hv::ServiceOverride<hv::IProjectDownloadSteps> realBound{&real};
  CPOPrjDevice* device = Plc("Solo", {"Main"});
  ASSERT_TRUE(device);
  ui.Answer<DownloadWebCERequest>([](DownloadWebCERequest&) { return IDCANCEL; });
  RunProjectDownload(*project);
  ASSERT_FALSE(report.empty());
  EXPECT_EQ(report[0], S("Solo: Main - Fehler beim Erzeugen der CoDeSys Konfiguration Datei"));
  wxString message;
  EXPECT_FALSE(real.GenerateResources(DeviceFolder("Solo") + "/resource/x.res", message));
  // The message says where the generator is set.
  EXPECT_TRUE(message.Contains(wxS("Seite \"Programme\", Zeile \"Ressourcengenerator\""))) << message;
}

// The real transfers: FTP to a CE device served on 127.0.0.1 and a copy into a
// simulated device; with the server gone the report names the device.
TEST_F(ProjectDownload, ResourcesReachFtpAndSimulatedDevices) {
  ProgramsDone real;
  hv::ServiceOverride<hv::IProjectDownloadSteps> realBound{&real};
  hvtest::TempDir ftpRoot;
  hvtest::FtpTestServer server(ftpRoot.Path());
  ASSERT_GT(server.Port(), 0);
  CPOPrjDevice* ce = FtpPanel(server, "pw");
  ASSERT_TRUE(ce);
  ce->GetSettings().WriteConfigString("ResourcePath", "\\Flashdisk\\Res");
  hvtest::TempDir sim;
  hvtest::WriteAll(sim.Path() + "/net.sim", "[Device 7]\nType=CE_PLC7\n");
  CPOPrjDevice* simulated = Plc("Sim", {"Main"}, "SIMNET", "COMBO_C167", "COMBO167");
  ASSERT_TRUE(simulated);
  simulated->SetNetworkPara("file=" + sim.Path() + "/net.sim");
  simulated->SetNode("7");
  hvtest::AnswerCeTransferHeadless(ui);
  hvtest::AnswerOnlineDownloadHeadless(ui);
  ui.ExpectMessage(10857);
  ui.AllowAnyMessage();
  RunProjectDownload(*project);
  EXPECT_TRUE(ui.Saw(10857)) << (report.empty() ? wxString() : report[0]);
  EXPECT_EQ(hvtest::ReadAll(ftpRoot.Path() + "/Flashdisk/Res/resource.res"),
            hvtest::ReadAll(hv::ResolvePath(DeviceFolder("Panel") + "/resource/resource.res")));
  EXPECT_EQ(hvtest::ReadAll(sim.Path() + "/download/7/resource.res"),
            hvtest::ReadAll(hv::ResolvePath(DeviceFolder("Sim") + "/resource/resource.res")));
  EXPECT_EQ(ui.MessageIds(), std::vector<UINT>{10857});

  // The panel is gone: its line is reported and success is not claimed.
  server.Kill();
  report.clear();
  RunProjectDownload(*project);
  ASSERT_EQ(report.size(), 1u);
  EXPECT_TRUE(report[0].StartsWith("Panel: Ressource - ")) << report[0];
  EXPECT_EQ(std::count(ui.MessageIds().begin(), ui.MessageIds().end(), 10857u), 1);
  EXPECT_EQ(ce->GetSettings().GetSetting("Config", "ResourcePath", ""), "\\Flashdisk\\Res");
}

// The panel refuses the stored login: the login dialog asks, the resource goes with the
// login entered, which is kept with "Speichern"; the device folder keeps the record of
// what was sent.
TEST_F(ProjectDownload, ARefusedPanelLoginIsAskedForAndKept) {
  ProgramsDone real;
  hv::ServiceOverride<hv::IProjectDownloadSteps> realBound{&real};
  hvtest::TempDir ftpRoot;
  hvtest::FtpTestServer server(ftpRoot.Path());
  ASSERT_GT(server.Port(), 0);
  CPOPrjDevice* ce = FtpPanel(server, "falsch");
  ASSERT_TRUE(ce);
  hvtest::AnswerCeTransferHeadless(ui);
  int asked = 0;
  ui.Answer<UserPwdRequest>([&](UserPwdRequest& r) {
    ++asked;
    EXPECT_EQ(r.user, "dev");
    r.password = "pw";
    r.save = true;
    return static_cast<int>(IDOK);
  });
  ui.AllowAnyMessage();
  RunProjectDownload(*project);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(hvtest::ReadAll(ftpRoot.Path() + "/Flashdisk/TavDesign/resource.res"),
            hvtest::ReadAll(hv::ResolvePath(DeviceFolder("Panel") + "/resource/resource.res")));
  EXPECT_EQ(ce->GetSettings().GetSetting("Config", "FtpPassword", ""), "pw");
  EXPECT_TRUE(hv::IsFile(FtpSentRecord::FileIn(hv::ResolvePath(DeviceFolder("Panel")))));
}

// Each kind of source newer than the resource file makes it stale; a missing file must
// be made.
TEST_F(ProjectDownload, ResourceFileIsStaleWhenAnySourceIsNewer) {
  ASSERT_TRUE(Plc("P", {}));
  const wxString folder = DeviceFolder("P");
  const wxString res = folder + "/resource/resource.res";
  SetAge(res, 1000);
  for (const char* source : {"DEVICE.SET", "MSKFLD.DBF", "TEXTW.DBF", "Bitmaps/logo.bmp", "Fonts/Big.fnt",
                             "Keypads/Keypad_Num.xml", "Menus/main.mnu"}) {
    const wxString path = hv::ResolvePath(folder) + "/" + source;
    if (!hv::IsFile(hv::ResolvePath(path))) hvtest::WriteAll(path, "x");
  }
  // Every source older: up to date.
  AgeTree(folder, 10);
  SetAge(res, 1000);
  EXPECT_EQ(ResourceFreshness(folder), 1);
  for (const char* source : {"DEVICE.SET", "MSKFLD.DBF", "TEXTW.DBF", "Bitmaps/logo.bmp", "Fonts/Big.fnt",
                             "Keypads/Keypad_Num.xml", "Menus/main.mnu", "Bitmaps"}) {
    SetAge(folder + "/" + source, 2000);
    EXPECT_EQ(ResourceFreshness(folder), 0) << source;
    SetAge(folder + "/" + source, 10);
  }
  EXPECT_EQ(ResourceFreshness(folder), 1);
  // A source outside the list (data points) does not count.
  hvtest::WriteAll(hv::ResolvePath(folder) + "/DATPKT.DBF", "x");
  EXPECT_EQ(ResourceFreshness(folder), 1);
  std::remove(hv::ToFs(hv::ResolvePath(res)).c_str());
  EXPECT_EQ(ResourceFreshness(folder), -1);
}

// Stale: the user is asked; "no" sends the file as it is, "yes" makes it first, a failed
// generation ends the command; a missing file is made without asking.
TEST_F(ProjectDownload, StaleResourceIsAskedForAndAFailedGenerationEndsTheCommand) {
  CPOPrjDevice* a = Plc("A", {}, "SIMNET", "COMBO_C167", "COMBO167");
  CPOPrjDevice* b = Plc("B", {}, "SIMNET", "COMBO_C167", "COMBO167");
  ASSERT_TRUE(a && b);
  hvtest::WriteAll(hv::ResolvePath(DeviceFolder("A")) + "/Bitmaps/new.bmp", "BM");
  SetAge(DeviceFolder("A") + "/Bitmaps/new.bmp", 3720);   // after the resource file
  const std::string before = hvtest::ReadAll(hv::ResolvePath(DeviceFolder("A") + "/resource/resource.res"));

  ui.ExpectMessage(11819, IDNO);
  ui.ExpectMessage(10857);
  RunProjectDownload(*project);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(steps.generated.empty());
  EXPECT_EQ(steps.online, (std::vector<wxString>{"A", "B"}));
  EXPECT_EQ(hvtest::ReadAll(hv::ResolvePath(DeviceFolder("A") + "/resource/resource.res")), before);

  steps.online.clear();
  ui.ExpectMessage(11819, IDYES);
  ui.ExpectMessage(10857);
  RunProjectDownload(*project);
  EXPECT_TRUE(ui.AllExpectationsMet());
  ASSERT_EQ(steps.generated.size(), 1u);
  EXPECT_EQ(steps.generated[0], hv::ResolvePath(DeviceFolder("A") + "/resource") + "/resource.res");
  EXPECT_EQ(steps.online, (std::vector<wxString>{"A", "B"}));

  // A has no resource file: made without asking; its failure ends everything.
  std::remove(hv::ToFs(hv::ResolvePath(DeviceFolder("A") + "/resource/resource.res")).c_str());
  steps.online.clear();
  steps.generated.clear();
  steps.generateOk = false;
  RunProjectDownload(*project);
  EXPECT_EQ(steps.generated.size(), 1u);
  EXPECT_TRUE(steps.online.empty());   // B was not reached
  EXPECT_EQ(std::count(ui.MessageIds().begin(), ui.MessageIds().end(), 11819u), 2);   // not asked again
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0], "A: Ressource - generator failed");
}

// A device whose network driver takes no files gets a clear line, and the others still
// receive theirs through the online download.
TEST_F(ProjectDownload, ADriverWithoutFilesIsNamedInTheReport) {
  ProgramsDone real;
  hv::ServiceOverride<hv::IProjectDownloadSteps> realBound{&real};
  CPOPrjDevice* bus = Plc("Bus", {}, "MBTCP", "COMBO_C167", "COMBO167");
  CPOPrjDevice* sim = Plc("Sim", {}, "SIMNET", "COMBO_C167", "COMBO167");
  ASSERT_TRUE(bus && sim);
  bus->SetNetworkPara("host=127.0.0.1 port=1502");
  hvtest::TempDir simFolder;
  hvtest::WriteAll(simFolder.Path() + "/net.sim", "[Device 3]\nType=COMBO_C167\n");
  sim->SetNetworkPara("file=" + simFolder.Path() + "/net.sim");
  sim->SetNode("3");
  hvtest::AnswerOnlineDownloadHeadless(ui);
  ui.ExpectMessage(11820);   // the dialog shows the failure
  RunProjectDownload(*project);
  EXPECT_TRUE(ui.AllExpectationsMet());
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0], S("Bus: Ressource - Das Gerät Bus nimmt über den Netzwerktreiber MBTCP keine Dateien an."));
  EXPECT_EQ(hvtest::ReadAll(simFolder.Path() + "/download/3/resource.res"),
            hvtest::ReadAll(hv::ResolvePath(DeviceFolder("Sim") + "/resource/resource.res")));
}

}  // namespace
