// A new device in a project: its folder with tables, row, settings, hardware and
// resource folders, checked on disk and with an independent table reader; failures at
// every step leave nothing behind.
#include <gtest/gtest.h>
#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "framework/MissingDialog.h"
#include "model/NewObjectRequests.h"
#include "framework/UpdateHints.h"
#include "model/DeviceTexts.h"
#include "platform/DeviceConfig.h"
#include "platform/Paths.h"
#include "tests/model/DeviceTestSupport.h"
#include "tests/platform/dbase/DbTestSupport.h"

using devtest::DeviceFixture;
using devtest::IniValue;
using devtest::Names;
using devtest::Named;
using devtest::NewDevice;
using hvtest::S;
using Strings = std::vector<std::string>;

namespace {

const Strings kTables = {"BITMAP.DBF", "DATPKT.DBF", "EEPROM.DBF", "EINHEIT.DBF", "FONT.DBF",
                         "GERAET.DBF", "MSKFLD.DBF", "NETZWERK.DBF", "TEXTW.DBF"};

Strings With(Strings names, std::initializer_list<const char*> more) {
  for (const char* n : more) names.push_back(n);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  });
  return names;
}

}  // namespace

TEST_F(DeviceFixture, NewPanelHasItsTablesRowSettingsHardwareAndFonts) {
  std::vector<std::pair<wxString, wxString>> seen;   // caption, proposed name
  ui.Answer<PrjDeviceSheetRequest>([&](PrjDeviceSheetRequest& r) {
    EXPECT_TRUE(r.wizard);
    seen.emplace_back(r.caption, r.device->GetName());
    devtest::ApplyAnswers(*r.device, Named("Panel1"), projectFolder);
    return static_cast<int>(kWizardFinish);
  });
  CPOPrjDevice prototype;
  ASSERT_TRUE(prototype.CreateNew(project, nullptr, nullptr));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].first, "Neues Geraet");
  EXPECT_EQ(seen[0].second, "Geraet1");   // the proposal

  CPOPrjDevice* device = Find("Panel1");
  ASSERT_TRUE(device);
  EXPECT_EQ(device->GetParent(), project);
  EXPECT_EQ(device->GetDeviceNumber(), 1u);
  ASSERT_FALSE(view.entries.empty());
  EXPECT_EQ(view.entries.back().hint, HINT_OBJECT_ADDED);
  EXPECT_EQ(view.entries.back().object, device);

  const wxString folder = DeviceFolder("Panel1");
  EXPECT_EQ(device->GetDeviceFolder(), folder);
  EXPECT_EQ(Names(folder), With(kTables, {"Bitmaps", "DEVICE.SET", "Fonts", "Hardware", "Menus", "Resource"}));
  EXPECT_EQ(Names(hv::JoinPath(folder, "Hardware")), Names(hv::InstalledTypeFolder("KOLM_G320")));
  EXPECT_EQ(Names(hv::JoinPath(folder, "Fonts")), (Strings{"Gross.fnt", "Standard.fnt"}));
  for (const char* empty : {"Bitmaps", "Menus", "Resource"}) EXPECT_TRUE(Names(hv::JoinPath(folder, empty)).empty());

  // The settings file's layout is checked with the settings; here the wizard's values.
  const wxString set = hv::JoinPath(folder, "DEVICE.SET");
  for (auto [section, key, value] : {std::tuple{"Config", "Type", "KOLM_G320"}, {"Config", "FWVersion", "180"},
                                      {"Connection", "NetworkPara", "127.168.0.10"}, {"Connection", "Node", "M1"},
                                      {"Resource Offset", "Mask", "4000000"}})
    EXPECT_EQ(IniValue(set, section, key), value) << key;

  dbtest::ShapeReader geraet(hv::JoinPath(folder, "GERAET.DBF"));
  ASSERT_TRUE(geraet.ok());
  ASSERT_EQ(geraet.count(), 1);
  for (auto [field, number] : {std::pair{"GNR", 1}, {"NNR", 65535}, {"MARKE", 1}}) EXPECT_EQ(geraet.num(0, field), number);
  for (auto [field, text] : {std::pair{"BEZEICH", "Panel1"}, {"TYP", "CAN_R515"}, {"KNOTEN", "M1"},
                             {"PARAM", "CAN_R515;$$$DEVICEPATH$$$\\CoDeSys\\plc.sym;127.0.0.7"}})
    EXPECT_EQ(geraet.str(0, field), text) << field;
  dbtest::ShapeReader units(hv::JoinPath(folder, "EINHEIT.DBF"));
  ASSERT_TRUE(units.ok());
  EXPECT_EQ(units.count(), 26);
  for (const std::string& table : kTables) EXPECT_TRUE(dbtest::ShapeReader(hv::JoinPath(folder, table)).ok()) << table;
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(DeviceFixture, FoldersFollowDisplayDriverAndKeypads) {
  struct Case {
    const char* type;
    const char* driver;
    const char* remote;
    Strings extra;   // besides tables, DEVICE.SET and Hardware
    bool fonts;      // the default fonts copied
  };
  const Case cases[] = {
      {"KOLM_T420", "CAN_R515", "", {"Fonts", "Menus", "Resource"}, false},
      {"CE_PANEL7", "CE_TCP", "", {"Bitmaps", "Fonts", "Keypads", "Menus", "Resource"}, true},
      // Those drivers have no resources of their own, whatever the display says.
      {"CE_PANEL7", "CE_QX", "", {"Fonts", "Menus", "Resource"}, false},
      {"CE_PANEL7", "CE_PN_QX", "", {"Fonts", "Menus", "Resource"}, false},
      // A combined panel and controller never gets keypads at creation.
      {"CE_PANEL7", "COMBO167", "", {"Bitmaps", "Fonts", "Menus", "Resource"}, true},
      {"COMBO_C167", "COMBO167", "", {"Bitmaps", "Fonts", "Menus", "Resource"}, true},
      {"CTRL_515", "CAN_R515", "", {}, false},
      {"CTRL_515", "CAN_R515", "KOLM_G320", {"Bitmaps", "Fonts", "Menus", "Resource"}, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.driver + " " + c.remote);
    NewDevice answers = Named("", c.type, c.driver);
    answers.name = wxString::Format("D%d", ++n);
    answers.remoteType = c.remote;
    CPOPrjDevice* device = Create(answers);
    ASSERT_TRUE(device);
    Strings expected = kTables;
    expected.push_back("DEVICE.SET");
    expected.push_back("Hardware");
    for (const std::string& e : c.extra) expected.push_back(e);
    EXPECT_EQ(Names(device->GetDeviceFolder()), With(expected, {}));
    const Strings fonts = Names(hv::JoinPath(device->GetDeviceFolder(), "Fonts"));
    EXPECT_EQ(fonts, c.fonts ? (Strings{"Gross.fnt", "Standard.fnt"}) : Strings());
    // Only the top level of the type: a remote panel's folder is never copied.
    EXPECT_EQ(Names(hv::JoinPath(device->GetDeviceFolder(), "Hardware")).size(),
              Names(hv::InstalledTypeFolder(c.type)).size() - (std::string(c.type) == "CTRL_515" ? 1 : 0));
  }
}

TEST_F(DeviceFixture, ProposedNameIsTheFirstFreeNumberAndCancelLeavesNothing) {
  const auto proposal = [this] {
    wxString name;
    ui.Answer<PrjDeviceSheetRequest>([&name](PrjDeviceSheetRequest& r) {
      name = r.device->GetName();
      return static_cast<int>(IDCANCEL);
    });
    const Strings before = Names(projectFolder);
    const size_t hints = view.entries.size();
    CPOPrjDevice prototype;
    EXPECT_FALSE(prototype.CreateNew(project, nullptr, nullptr));
    EXPECT_EQ(Names(projectFolder), before);
    EXPECT_EQ(project->GetChildCount(), 0u);
    EXPECT_EQ(view.entries.size(), hints);
    return name;
  };
  hv::MakeFolders(DeviceFolder("geraet2"));
  EXPECT_EQ(proposal(), "Geraet1");
  hv::MakeFolders(DeviceFolder("Geraet1"));
  EXPECT_EQ(proposal(), "Geraet3");
}

TEST_F(DeviceFixture, NewDeviceWithoutTheSheetTellsTheUserAndMakesNothing) {
  // The program's answer to a dialog it does not have.
  hv::Ui().SetMissingHandler(ReportMissingDialog);
  ui.ExpectMessage(TXT_FUNCTION_NOT_AVAILABLE);
  const Strings before = Names(projectFolder);
  CPOPrjDevice prototype;
  EXPECT_FALSE(prototype.CreateNew(project, nullptr, nullptr));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(Names(projectFolder), before);
  EXPECT_TRUE(project->HasNoChildren());
}

TEST_F(DeviceFixture, NewDeviceTakesTheFirstDevicesConnection) {
  NewDevice first = Named("Erstes");
  first.network = "SIMNET";
  first.networkPara = "300,123kBaud";
  first.slot = "CAN_0";
  first.firmware = 152;
  ASSERT_TRUE(Create(first));
  CPOPrjDevice seen;
  ui.Answer<PrjDeviceSheetRequest>([&seen](PrjDeviceSheetRequest& r) {
    seen.CopyDevice(*r.device);
    return static_cast<int>(IDCANCEL);
  });
  CPOPrjDevice prototype;
  EXPECT_FALSE(prototype.CreateNew(project, nullptr, nullptr));
  EXPECT_EQ(seen.GetNetwork(), "SIMNET");
  EXPECT_EQ(seen.GetNetworkPara(), "300,123kBaud");
  EXPECT_EQ(seen.GetSlot(), "CAN_0");
  EXPECT_EQ(seen.GetFirmwareVersion(), 152);
}

TEST_F(DeviceFixture, NewObjectCommandOfTheProjectMakesADevice) {
  ui.Answer<NewObjectRequest>([](NewObjectRequest& r) {
    r.typeCode = TypeCode::PrjDevice;
    return static_cast<int>(IDOK);
  });
  const wxString folder = projectFolder;
  AnswerSheet([folder](CPOPrjDevice& d) { devtest::ApplyAnswers(d, Named("Linie"), folder); }, kWizardFinish);
  project->OnCmdMsg(ID_OBJECT_NEW, CN_COMMAND, nullptr, nullptr);
  ASSERT_TRUE(Find("Linie"));
  // "Neues Gerät" on a device makes another one beside it.
  AnswerSheet([folder](CPOPrjDevice& d) { devtest::ApplyAnswers(d, Named("Linie2"), folder); }, kWizardFinish);
  CRecordingCmdUI text(ID_DEVICE_NEW_OBJECT);
  Find("Linie")->OnCmdMsg(ID_DEVICE_NEW_OBJECT, CN_UPDATE_COMMAND_UI, &text, nullptr);
  EXPECT_EQ(text.text, S("Neues Gerät"));
  Find("Linie")->OnCmdMsg(ID_DEVICE_NEW_OBJECT, CN_COMMAND, nullptr, nullptr);
  ASSERT_TRUE(Find("Linie2"));   // found among the project's children
}

// Every failing step shows its message and leaves the project folder, the tree and the
// views as they were.
TEST_F(DeviceFixture, FailedStepsLeaveNoHalfDevice) {
  hvtest::WriteAll(DeviceFolder("Datei"), "kein Ordner");
  const wxString privateInstall = UsePrivateInstall();
  struct Case {
    const char* what;
    UINT message;
    std::function<void(NewDevice&)> setup;
    unsigned long sizeLimit;   // 0: none
  };
  const Case cases[] = {
      {"name of an existing file", TXT_DEVICE_EXISTS, [](NewDevice& d) { d.name = "Datei"; }, 0},
      {"name with a separator", 10300, [](NewDevice& d) { d.name = "a/b"; }, 0},
      {"empty name", TXT_DEVICE_NAME_EMPTY, [](NewDevice& d) { d.name = "  "; }, 0},
      {"no room for the tables", TXT_DEVICE_TABLES_FAILED, [](NewDevice&) {}, 300},
      {"no room for the row", TXT_DEVICE_ROW_FAILED, [](NewDevice&) {}, 940},
      {"settings text outside Windows-1252", TXT_DEVICE_SETTINGS_FAILED,
       [](NewDevice& d) { d.networkPara = S("Ře"); }, 0},
      {"type not installed", 10282, [](NewDevice& d) { d.type = "KOLM_X999"; }, 0},
      {"hardware file too big", 10282, [](NewDevice&) {}, 3000},
      {"default fonts missing", 10222,
       [&privateInstall](NewDevice&) {
         std::filesystem::rename(hv::ToFs(privateInstall) + "/Halvora/default/fonts",
                                 hv::ToFs(privateInstall) + "/fonts.away");
       },
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NewDevice answers = Named("Neu");
    c.setup(answers);
    const Strings before = Names(projectFolder);
    const std::string file = hvtest::ReadAll(DeviceFolder("Datei"));
    const size_t hints = view.entries.size();
    ui.ExpectMessage(c.message);
    const wxString folder = projectFolder;
    AnswerSheet([answers, folder](CPOPrjDevice& d) { devtest::ApplyAnswers(d, answers, folder); }, kWizardFinish);
    BOOL made = FALSE;
    {
      std::unique_ptr<hvtest::FileSizeLimit> limit;
      if (c.sizeLimit) limit = std::make_unique<hvtest::FileSizeLimit>(c.sizeLimit);
      CPOPrjDevice prototype;
      made = prototype.CreateNew(project, nullptr, nullptr);
    }
    EXPECT_FALSE(made);
    EXPECT_TRUE(ui.AllExpectationsMet());
    EXPECT_EQ(Names(projectFolder), before);
    EXPECT_EQ(hvtest::ReadAll(DeviceFolder("Datei")), file);
    EXPECT_EQ(project->GetChildCount(), 0u);
    EXPECT_EQ(view.entries.size(), hints);
  }
  // The same device is made once nothing stands in the way.
  std::filesystem::rename(hv::ToFs(privateInstall) + "/fonts.away", hv::ToFs(privateInstall) + "/Halvora/default/fonts");
  EXPECT_TRUE(Create(Named("Neu")));
}

TEST_F(DeviceFixture, FolderThatCannotBeMadeIsReported) {
  // The project's folder lies below a file.
  hvtest::WriteAll(home.Sub("Projects/Datei"), "x");
  auto* blocked = static_cast<CPOProject*>(
      doc.AddRoot(std::make_unique<CPOProject>("Blockiert", home.Sub("Projects/Datei/Blockiert"))));
  const wxString folder = blocked->GetFolder();
  AnswerSheet([folder](CPOPrjDevice& d) { devtest::ApplyAnswers(d, Named("Neu"), folder); }, kWizardFinish);
  ui.ExpectMessage(10125);
  CPOPrjDevice prototype;
  EXPECT_FALSE(prototype.CreateNew(blocked, nullptr, nullptr));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(hvtest::ReadAll(home.Sub("Projects/Datei")), "x");
  EXPECT_EQ(blocked->GetChildCount(), 0u);
}

// --- the offer of a newer hardware configuration ---

namespace {

// The device's copy of the configuration claims an older version than the installed one.
void MakeCopyOlder(const wxString& deviceFolder) {
  const wxString file = hv::ResolvePath(hv::JoinPath(deviceFolder, "Hardware/hardware.set"));
  std::string text = hvtest::ReadAll(file);
  const size_t at = text.find("ConfigVersion=1.2");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 17, "ConfigVersion=1.0");
  hvtest::WriteAll(file, text);
}

std::string CopyVersion(CPOPrjDevice& device) {
  return IniValue(hv::JoinPath(device.GetDeviceFolder(), "Hardware/hardware.set"), "General", "ConfigVersion");
}

}  // namespace

TEST_F(DeviceFixture, NewerConfigurationIsOfferedOnceAfterLoadingAndTakenOverOnYes) {
  CPOPrjDevice* device = Create(Named("Panel"));
  ASSERT_TRUE(device);
  MakeCopyOlder(device->GetDeviceFolder());
  hvtest::WriteAll(hv::JoinPath(device->GetDeviceFolder(), "Hardware/Tool.ini"), "[x]\n");
  // A fresh object, as the project makes it at the next start.
  project->DeleteAllChildren();
  project->LoadChildren();
  device = Find("Panel");
  ASSERT_TRUE(device);
  EXPECT_EQ(device->GetConfigAccess().GetConfigVersion(), 100);

  // The question waits until loading the children is over.
  device->LoadChildren();
  ASSERT_EQ(deferred.size(), 1u);
  EXPECT_TRUE(ui.MessageIds().empty());
  ui.ExpectMessage(10711, IDYES);
  RunDeferred();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(CopyVersion(*device), "1.2");
  EXPECT_EQ(device->GetConfigAccess().GetConfigVersion(), 120);
  // The hardware folder is the installed one again, without the stray file.
  EXPECT_EQ(Names(hv::JoinPath(device->GetDeviceFolder(), "Hardware")), Names(hv::InstalledTypeFolder("KOLM_G320")));
  EXPECT_TRUE(devtest::Leftovers(device->GetDeviceFolder()).empty());

  // Never twice for one object.
  MakeCopyOlder(device->GetDeviceFolder());
  device->LoadChildren();
  RunDeferred();
  EXPECT_EQ(ui.MessageIds().size(), 1u);
}

TEST_F(DeviceFixture, DeclinedOrFailedOfferKeepsTheDevicesConfiguration) {
  ASSERT_TRUE(Create(Named("Panel")));
  MakeCopyOlder(DeviceFolder("Panel"));
  const wxString hardware = hv::JoinPath(DeviceFolder("Panel"), "Hardware");
  const Strings files = Names(hardware);

  project->DeleteAllChildren();
  project->LoadChildren();
  CPOPrjDevice* device = Find("Panel");
  device->LoadChildren();
  ui.ExpectMessage(10711, IDNO);
  RunDeferred();
  EXPECT_EQ(CopyVersion(*device), "1.0");

  project->DeleteAllChildren();   // a new object asks again
  project->LoadChildren();
  device = Find("Panel");
  device->LoadChildren();
  ui.ExpectMessage(10711, IDYES);
  ui.ExpectMessage(10282);
  {
    hvtest::FileSizeLimit limit(3000);   // device.bmp does not fit
    RunDeferred();
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(CopyVersion(*device), "1.0");
  EXPECT_EQ(Names(hardware), files);
  EXPECT_TRUE(device->GetConfigAccess().LoadDeviceConfig());
  EXPECT_TRUE(devtest::Leftovers(DeviceFolder("Panel")).empty());
}

TEST_F(DeviceFixture, OfferForADeviceRemovedMeanwhileIsDropped) {
  ASSERT_TRUE(Create(Named("Panel")));
  MakeCopyOlder(DeviceFolder("Panel"));
  project->DeleteAllChildren();
  project->LoadChildren();
  CPOPrjDevice* device = Find("Panel");
  device->LoadChildren();
  ASSERT_EQ(deferred.size(), 1u);
  {
    DispatchScope scope;
    project->RemoveChild(device);
  }
  RunDeferred();
  EXPECT_TRUE(ui.MessageIds().empty());
}
