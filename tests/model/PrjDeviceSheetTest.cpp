// The project device's sheet over a device copy: the wizard's order and checks, the
// general page's lists from the install tree and the plug-ins, and the scan's values.
#include <gtest/gtest.h>

#include <thread>

#include "model/FieldBusRequests.h"
#include "model/PrjDeviceSheet.h"
#include "platform/DeviceConfig.h"
#include "platform/Paths.h"
#include "platform/online/ParameterForm.h"
#include "platform/online/ScanFile.h"
#include "tests/model/DeviceTestSupport.h"

namespace {

using devtest::DeviceFixture;

struct SheetFixture : DeviceFixture {
  std::unique_ptr<CPOPrjDevice> copy;

  CPOPrjDevice& NewCopy() {
    copy = std::make_unique<CPOPrjDevice>(project);
    copy->SetName("Geraet1");
    copy->SetDeviceFolder(hv::JoinPath(projectFolder, "Geraet1"));
    return *copy;
  }
  void AnswerNetwork(const wxString& slot) {
    ui.Answer<hv::DriverParameterRequest>([slot](hv::DriverParameterRequest& r) {
      for (auto& f : r.fields)
        if (f.key == "slot") f.value = slot;
      return IDOK;
    });
  }
  void AnswerDevice(const wxString& node) {
    ui.Answer<hv::DeviceParameterRequest>([node](hv::DeviceParameterRequest& r) {
      r.node = node;
      return IDOK;
    });
  }
};

TEST(ScannedFirmware, ReadLocaleFreeAsWholeHundredthsAndClamped) {
  struct Case {
    const char* firmware;
    const char* version;
    int hundredths;
  } cases[] = {
      {"FW-Version : 1.52", "", 152}, {"FW-Version : 1.15", "", 115},   // not 114
      {"V 2.5", "9.9", 250},           {"V 0", "1.8", 180},             // 0 takes the version text
      {"x", "1.8", 180},               {"", "", 0},                     // too short for a third character
      {"FW-Version : 400", "", 32767}, {"FW-Version : -1.5", "", 0},
      {"FW-Version : 1,52", "", 100},  {"FW-Version : nan", "", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ScannedFirmwareHundredths(c.firmware, c.version), c.hundredths) << c.firmware << " / " << c.version;
}

TEST_F(SheetFixture, WizardWalksConnectionThenGeneralAndOnlyFinishCompletes) {
  CPOPrjDevice& device = NewCopy();
  CPSPrjDevice sheet(device, true);
  ASSERT_EQ(sheet.IndexOf(&sheet.Connection()), 0);
  ASSERT_EQ(sheet.IndexOf(&sheet.General()), 1);
  ASSERT_TRUE(sheet.SetActivePage(0));
  EXPECT_EQ(sheet.WizardButtons(), unsigned{PSWIZB_NEXT});
  CPPPrjDeviceConnection& connection = sheet.Connection();
  ASSERT_GE(connection.Drivers().size(), 2u);
  int simnet = -1;
  for (size_t i = 0; i < connection.Drivers().size(); ++i)
    if (connection.Drivers()[i].title == "SIMNET") simnet = static_cast<int>(i);
  ASSERT_GE(simnet, 0);
  connection.SelectNetwork(simnet);
  ui.ExpectMessage(10284);   // no slot yet
  EXPECT_FALSE(sheet.Next());
  AnswerNetwork("SIM_0");
  ASSERT_TRUE(connection.NetworkSettings());
  ASSERT_TRUE(sheet.Next());
  EXPECT_EQ(device.GetNetwork(), "SIMNET");
  EXPECT_EQ(sheet.WizardButtons(), unsigned{PSWIZB_BACK | PSWIZB_FINISH});
  EXPECT_TRUE(sheet.IsExtraButtonShown(ID_AUTOSCAN));
  // "Zurück" leaves the general page unchecked: its Autoscan goes all the same.
  ASSERT_TRUE(sheet.Back());
  EXPECT_FALSE(sheet.IsExtraButtonShown(ID_AUTOSCAN));
  ASSERT_TRUE(sheet.Next());
  EXPECT_TRUE(sheet.IsExtraButtonShown(ID_AUTOSCAN));

  CPPPrjDeviceGeneral& general = sheet.General();
  // CE_PANEL7 and CTRL_515 are not on SIMNET.
  EXPECT_EQ(general.types, (std::vector<wxString>{"CE_PLC7", "COMBO_C167", "KOLM_G320", "KOLM_T420"}));
  // Each refusal of "Fertigstellen" names the field that mends it.
  ui.ExpectMessage(11402);
  EXPECT_FALSE(sheet.Finish());
  EXPECT_EQ(sheet.LastCheck().field, CPPPrjDeviceGeneral::IDC_TYPE);
  general.OnTypeChanged(2);
  ASSERT_EQ(general.drivers.size(), 1u);   // the only driver is chosen by itself
  EXPECT_EQ(general.driver, 0);
  EXPECT_EQ(general.drivers[0].key, "CAN_R515");
  ASSERT_EQ(general.firmwares.size(), 3u);
  EXPECT_EQ(general.firmwares[0].text, "< 1.50");
  EXPECT_EQ(general.firmwares[2].text, ">= 2.00");
  EXPECT_EQ(general.firmware, 2);
  EXPECT_TRUE(general.firmwareEnabled);
  EXPECT_TRUE(general.picture.EndsWith("KOLM_G320/device.bmp"));
  ASSERT_FALSE(general.info.empty());
  EXPECT_EQ(general.info[0].first, wxS("Grafisches Display"));

  general.driver = -1;
  ui.ExpectMessage(11403);
  EXPECT_FALSE(sheet.Finish());
  EXPECT_EQ(sheet.LastCheck().field, CPPPrjDeviceGeneral::IDC_DRIVER);
  general.driver = 0;
  ui.ExpectMessage(11404);   // no node yet
  EXPECT_FALSE(sheet.Finish());
  EXPECT_EQ(sheet.LastCheck().field, CPPPrjDeviceGeneral::IDC_DRIVER_SETTINGS);
  general.node = "3";   // typed by hand: no parameters yet
  ui.ExpectMessage(11405);
  EXPECT_FALSE(sheet.Finish());
  EXPECT_EQ(sheet.LastCheck().field, CPPPrjDeviceGeneral::IDC_NAME);
  EXPECT_EQ(device.GetName(), "Geraet1");   // nothing taken yet
  AnswerDevice("3");
  ASSERT_TRUE(general.SelectDriverParameters());
  EXPECT_EQ(general.parameters.Left(1), ";");   // starts from the device folder
  general.OnNameChanged("Panel7");
  EXPECT_TRUE(general.parameters.Contains("/Panel7"));
  ASSERT_TRUE(sheet.Finish());
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(device.GetName(), "Panel7");
  EXPECT_EQ(device.GetHardwareType(), "KOLM_G320");
  EXPECT_EQ(device.GetDeviceDriver(), "CAN_R515");
  EXPECT_EQ(device.GetNode(), "3");
  EXPECT_EQ(device.GetFirmwareVersion(), 200);
  EXPECT_EQ(device.GetDeviceFolder(), hv::JoinPath(projectFolder, "Panel7"));
  EXPECT_FALSE(sheet.IsExtraButtonShown(ID_AUTOSCAN));
}

TEST_F(SheetFixture, SettingsRefuseBadNamesAndACaseOnlyRename) {
  CPOPrjDevice* existing = Create(devtest::Named("Panel1"));
  ASSERT_TRUE(existing);
  copy = std::make_unique<CPOPrjDevice>(project);
  copy->CopyDevice(*existing);
  CPSPrjDevice sheet(*copy, false);
  EXPECT_EQ(sheet.IndexOf(&sheet.General()), 0);
  EXPECT_EQ(sheet.IndexOf(&sheet.Connection()), 1);
  EXPECT_TRUE(sheet.HasFontsPage());   // KOLM_G320 has display resources of its own
  ASSERT_TRUE(sheet.SetActivePage(0));
  CPPPrjDeviceGeneral& general = sheet.General();
  EXPECT_EQ(general.name, "Panel1");

  general.name = "panel1";
  ui.ExpectMessage(11206);   // the folder test finds the device's own folder
  EXPECT_FALSE(sheet.SetActivePage(1));
  // The name field's check: its own text, and the character to select.
  for (auto [bad, at] : {std::pair{wxString(wxS("Pänel")), 1L}, {wxString(wxS("Pa\u0141nel")), 2L}, {wxString("a.b"), 1L}}) {
    general.name = bad;
    ui.ExpectMessage(10300);
    EXPECT_FALSE(sheet.SetActivePage(1)) << bad;
    EXPECT_EQ(sheet.LastCheck().select, at) << bad;
  }
  general.name = "P\tx";
  ui.ExpectMessage(10941);
  EXPECT_FALSE(sheet.SetActivePage(1));
  general.name = wxString('P', 31);   // beyond the field's limit: refused, never cut
  ui.ExpectMessage(10941);
  EXPECT_FALSE(sheet.SetActivePage(1));
  general.name = "Panel2";
  ASSERT_TRUE(sheet.SetActivePage(1));
  // OK from the connection page still checks the general page, and turns back to it.
  general.node.clear();
  ui.ExpectMessage(11404);
  EXPECT_FALSE(sheet.Confirm());
  EXPECT_EQ(sheet.ActivePage(), 0);
  EXPECT_EQ(sheet.LastCheck().field, CPPPrjDeviceGeneral::IDC_DRIVER_SETTINGS);
  general.node = "M2";
  // OK on the general page runs the same check: cleared parameters are never stored.
  const wxString parameters = general.parameters;
  general.parameters.clear();
  ui.ExpectMessage(11405);
  EXPECT_FALSE(sheet.Confirm());
  EXPECT_EQ(sheet.LastCheck().field, CPPPrjDeviceGeneral::IDC_NAME);
  EXPECT_EQ(copy->GetDeviceParameters(), parameters);
  EXPECT_EQ(copy->GetName(), "Panel1");
  general.parameters = parameters + ";x";
  ASSERT_TRUE(sheet.Confirm());
  EXPECT_EQ(copy->GetName(), "Panel2");
  EXPECT_EQ(copy->GetNode(), "M2");
  EXPECT_EQ(copy->GetDeviceParameters(), parameters + ";x");
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(SheetFixture, DriverChangeClearsNodeAndScannedAddressFillsTheThirdField) {
  CPOPrjDevice* existing = Create(devtest::Named("Panel1"));
  ASSERT_TRUE(existing);
  copy = std::make_unique<CPOPrjDevice>(project);
  copy->CopyDevice(*existing);
  CPSPrjDevice sheet(*copy, false);
  ASSERT_TRUE(sheet.SetActivePage(0));
  CPPPrjDeviceGeneral& general = sheet.General();
  ASSERT_EQ(general.driver, 0);
  general.OnDriverChanged(0);   // the same driver keeps its settings
  EXPECT_EQ(general.node, "M1");
  general.OnDriverChanged(-1);
  EXPECT_EQ(general.node, "");
  EXPECT_EQ(general.parameters, "");

  for (auto [before, after] : {std::pair{"a;b;c", "a;b;X"}, {"a;b", "a;b;X"}, {"a", "a;;X"}}) {
    general.parameters = before;
    general.ApplyScannedDevice("X");
    EXPECT_EQ(general.parameters, after) << before;
  }
}

TEST_F(SheetFixture, ATypePickedByHandAfterAScanKeepsTheScannedNodeAndAddress) {
  CPOPrjDevice* existing = Create(devtest::Named("Panel1"));
  ASSERT_TRUE(existing);
  copy = std::make_unique<CPOPrjDevice>(project);
  copy->CopyDevice(*existing);
  CPSPrjDevice sheet(*copy, false);
  ASSERT_TRUE(sheet.SetActivePage(0));
  CPPPrjDeviceGeneral& general = sheet.General();
  // The scan's hardware line names no type this installation lists.
  copy->SetHardwareType("FREMD_99");
  copy->SetDeviceDriver(wxString());
  copy->SetNode("7");
  general.parameters = ";" + copy->GetDeviceFolder();
  general.ApplyScannedDevice("10.0.0.7");
  EXPECT_EQ(general.type, -1);
  ASSERT_FALSE(general.types.empty());
  general.OnTypeChanged(0);
  ASSERT_FALSE(general.drivers.empty());
  general.OnDriverChanged(0);
  EXPECT_EQ(general.node, "7");
  EXPECT_TRUE(general.parameters.EndsWith(";10.0.0.7")) << general.parameters;
}

}  // namespace

namespace {

TEST_F(SheetFixture, AutoscanOnSimnetFillsTheGeneralPage) {
  const wxString simFile = home.Sub("simnet.ini");
  hvtest::WriteAll(simFile,
                   "[Device 5]\nType=CAN_R515\nHardware=KOLM_T420\nFirmware=152\nIP=10.0.0.5\n"
                   "[Device 9]\nType=CAN_R515\nHardware=KOLM_G320\nFirmware=0\n");
  const wxString stale = hv::ScanFilePath(projectFolder, 0);
  hvtest::WriteAll(stale, "[old]\r\nGONE\r\n");

  CPOPrjDevice& device = NewCopy();
  device.SetNetwork("SIMNET");
  device.SetSlot("SIM_0");
  device.SetNetworkPara("file=" + simFile);
  CPSPrjDevice sheet(device, true);
  ASSERT_TRUE(sheet.SetActivePage(0));
  ASSERT_TRUE(sheet.Next());
  std::vector<wxString> offered;
  // The scan dialog as its timer drives it, then the device selection.
  ui.Answer<hv::AutoscanRequest>([](hv::AutoscanRequest& r) {
    hv::AutoscanController c(r);
    for (int i = 0; i < 2000; ++i) {
      if (const int result = c.Tick()) return result;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return static_cast<int>(IDCANCEL);
  });
  ui.Answer<hv::SelectDeviceRequest>([&](hv::SelectDeviceRequest& r) {
    hv::SelectDeviceController c(r);
    if (!c.Init()) return static_cast<int>(IDCANCEL);
    for (const hv::ScanEntry& e : r.entries) offered.push_back(e.node + "|" + e.DetailLine(0) + "|" + e.DetailLine(1));
    c.Select(0);
    return static_cast<int>(IDOK);
  });
  ASSERT_TRUE(sheet.Autoscan());
  EXPECT_EQ(offered, (std::vector<wxString>{"5|KOLM_T420|FW-Version : 1.52", "9|KOLM_G320|FW-Version : 0.00"}));
  EXPECT_FALSE(hv::PathExists(stale) && hvtest::ReadAll(stale).find("GONE") != std::string::npos);
  CPPPrjDeviceGeneral& general = sheet.General();
  ASSERT_GE(general.type, 0);
  EXPECT_EQ(general.types[static_cast<size_t>(general.type)], "KOLM_T420");
  ASSERT_GE(general.driver, 0);
  EXPECT_EQ(general.drivers[static_cast<size_t>(general.driver)].key, "CAN_R515");
  EXPECT_EQ(general.node, "5");
  EXPECT_TRUE(general.parameters.EndsWith(";10.0.0.5"));
  ASSERT_GE(general.firmware, 0);
  EXPECT_EQ(general.firmwares[static_cast<size_t>(general.firmware)].hundredths, 152);
  EXPECT_EQ(device.GetFirmwareVersion(), 152);

  // Cancelling the choice changes nothing.
  const wxString parameters = general.parameters;
  ui.Answer<hv::SelectDeviceRequest>([](hv::SelectDeviceRequest& r) {
    hv::SelectDeviceController c(r);
    c.Init();
    c.Select(1);
    return static_cast<int>(IDCANCEL);
  });
  EXPECT_FALSE(sheet.Autoscan());
  EXPECT_EQ(general.parameters, parameters);
  EXPECT_EQ(device.GetHardwareType(), "KOLM_T420");
}

}  // namespace

namespace {

// Every shipped hardware type, on every network it lists, with every device driver it
// lists: the wizard must be able to make that device from the install tree alone.
TEST_F(SheetFixture, EveryShippedTypeIsMadeWithEachOfItsDrivers) {
  const wxString hardware = hv::InstalledHardwareFolder();
  int walked = 0;
  for (const wxString& entry : hv::ListFolder(hardware)) {
    const wxString folder = hv::JoinPath(hardware, entry);
    if (!hv::IsHardwareTypeFolder(folder)) continue;
    auto config = hv::OpenDeviceConfig(folder, 0);
    ASSERT_TRUE(config) << entry;
    ASSERT_FALSE(config->GetDrivers().empty()) << entry;
    for (const wxString& network : config->GetNetworks()) {
      for (const wxString& driverName : config->GetDrivers()) {
        SCOPED_TRACE((entry + " / " + network + " / " + driverName).ToStdString());
        CPOPrjDevice& device = NewCopy();
        CPSPrjDevice sheet(device, true);
        ASSERT_TRUE(sheet.SetActivePage(0));
        CPPPrjDeviceConnection& connection = sheet.Connection();
        int net = -1;
        for (size_t i = 0; i < connection.Drivers().size(); ++i)
          if (connection.Drivers()[i].title.CmpNoCase(network) == 0) net = static_cast<int>(i);
        ASSERT_GE(net, 0) << "network driver not installed";
        connection.SelectNetwork(net);
        AnswerNetwork("SLOT_0");
        ASSERT_TRUE(connection.NetworkSettings());
        ASSERT_TRUE(sheet.Next());
        CPPPrjDeviceGeneral& general = sheet.General();
        int typeIndex = -1;
        for (size_t i = 0; i < general.types.size(); ++i)
          if (general.types[i].CmpNoCase(entry) == 0) typeIndex = static_cast<int>(i);
        ASSERT_GE(typeIndex, 0) << "type not offered";
        general.OnTypeChanged(typeIndex);
        int driverIndex = -1;
        for (size_t i = 0; i < general.drivers.size(); ++i)
          if (general.drivers[i].key.CmpNoCase(driverName) == 0) driverIndex = static_cast<int>(i);
        ASSERT_GE(driverIndex, 0) << "device driver not offered";
        general.OnDriverChanged(driverIndex);
        AnswerDevice("1");
        ASSERT_TRUE(general.SelectDriverParameters());
        ASSERT_TRUE(sheet.Finish());
        EXPECT_EQ(device.GetDeviceDriver().Upper(), driverName.Upper());
        EXPECT_EQ(device.GetHardwareType().Upper(), entry.Upper());
        ++walked;
      }
    }
  }
  EXPECT_GE(walked, 10);
  EXPECT_TRUE(ui.AllExpectationsMet());
}

}  // namespace
