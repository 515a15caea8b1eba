// The download defaults page: driver lists from the installed plug-ins, the profile's
// [Download] with its defaults, the checks before OK and what OK writes.
#include <gtest/gtest.h>

#include "framework/PropertySheetModel.h"
#include "model/DownloadPage.h"
#include "platform/IniFile.h"
#include "platform/Online.h"
#include "platform/online/ParameterForm.h"
#include "tests/support/OnlineTestSupport.h"

namespace {

struct DownloadFixture : ::testing::Test {
  hvtest::PluginInstall install{{"TESTDEV.so", "OTHERNET.so"}};
  wxString profile = install.Home().Sub("Project.INI");
  hvtest::ScriptedUi ui;
  ProfileEdits edits{profile};
  CPPDownload page{edits};
  CSheetController sheet;

  void Start() {
    sheet.AddPage(&page);
    ASSERT_TRUE(sheet.SetActivePage(0));
  }
  std::optional<wxString> Read(const char* key) {
    hv::IniFlushCache();
    return hv::IniRead(profile, "Download", key);
  }
};

// A fresh profile: the defaults name drivers that are not installed, so the page proposes
// the first network with its own settings and a device it serves; OK takes them as
// they are and writes all six keys.
TEST_F(DownloadFixture, WithoutStoredSettingsTheProposalPassesTheChecks) {
  Start();
  EXPECT_EQ(page.networkDriver, "MBTCP");
  EXPECT_EQ(page.slot, "TCP_0");
  EXPECT_FALSE(page.networkOpen);
  EXPECT_EQ(page.deviceDriver, "TESTDEV");
  EXPECT_FALSE(page.deviceOpen);
  EXPECT_TRUE(hv::Vostrel_CheckDeviceNode("TESTDEV", page.node)) << page.node;
  ASSERT_TRUE(sheet.OK());
  ASSERT_TRUE(edits.Commit());
  for (const char* key : {"DevicePara", "NetworkPara", "Node", "Slot", "Network", "Device"})
    EXPECT_TRUE(Read(key)) << key;
  EXPECT_EQ(Read("Slot"), wxString("TCP_0"));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// Stored drivers that are no longer installed: the first drivers, still to be set.
TEST_F(DownloadFixture, StoredDriversNoLongerInstalledAreRefusedUntilSet) {
  hvtest::WriteAll(profile, "[Download]\r\nNetwork=CAN_RZW2\r\nDevice=CAN_R515\r\n");
  Start();
  EXPECT_EQ(page.Networks(), (std::vector<wxString>{"MBTCP", "SIMNET"}));
  EXPECT_EQ(page.Devices(), (std::vector<wxString>{"OTHERNET", "TESTDEV"}));
  EXPECT_EQ(page.networkDriver, "MBTCP");
  EXPECT_EQ(page.slot, "CAN_0");
  EXPECT_TRUE(page.networkOpen);
  ui.ExpectMessage(10108);
  EXPECT_FALSE(sheet.OK());
  EXPECT_EQ(sheet.LastCheck().field, CPPDownload::IDC_NETWORK_SETTINGS);

  ui.Answer<hv::DriverParameterRequest>([](hv::DriverParameterRequest& r) {
    for (auto& f : r.fields)
      if (f.key == "slot") f.value = "TCP_1";
    return IDOK;
  });
  ASSERT_TRUE(page.NetworkSettings());
  EXPECT_EQ(page.slot, "TCP_1");
  EXPECT_FALSE(page.networkOpen);
  ui.ExpectMessage(10120);
  EXPECT_FALSE(sheet.OK());

  ui.Answer<hv::DeviceParameterRequest>([](hv::DeviceParameterRequest& r) {
    r.node = "7";
    r.param = "/p;;10.0.0.7";
    return IDOK;
  });
  ASSERT_TRUE(page.DeviceSettings());   // OTHERNET on Modbus: refused as a pair
  ui.ExpectMessage(10077);
  EXPECT_FALSE(sheet.OK());
  EXPECT_EQ(sheet.LastCheck().field, CPPDownload::IDC_DEVICES);

  page.SelectDevice("TESTDEV");
  EXPECT_TRUE(page.deviceOpen);
  ASSERT_TRUE(page.DeviceSettings());
  edits.Clear();
  ASSERT_TRUE(sheet.OK());
  ASSERT_TRUE(edits.Commit());
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(Read("Network"), wxString("MBTCP"));
  EXPECT_EQ(Read("Device"), wxString("TESTDEV"));
  EXPECT_EQ(Read("Node"), wxString("7"));
  EXPECT_EQ(Read("DevicePara"), wxString("/p;;10.0.0.7"));
}

TEST_F(DownloadFixture, StoredDriversAreValidAndReselectingKeepsThem) {
  hvtest::WriteAll(profile, "[Download]\r\nNetwork=simnet\r\nDevice=TESTDEV\r\nSlot=SIM_0\r\nNode=3\r\n");
  Start();
  EXPECT_FALSE(page.networkOpen);
  EXPECT_FALSE(page.deviceOpen);
  EXPECT_EQ(page.networkPara, "300,123kBaud");
  page.SelectNetwork("SIMNET");   // the stored one again
  EXPECT_FALSE(page.networkOpen);
  page.SelectNetwork("MBTCP");
  EXPECT_TRUE(page.networkOpen);

  page.SelectNetwork("SIMNET");
  const std::string before = hvtest::ReadAll(profile);
  ui.ExpectMessage(10108);   // once another driver was chosen, its settings are due
  EXPECT_FALSE(sheet.OK());
  EXPECT_EQ(hvtest::ReadAll(profile), before);
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(DownloadFixture, ParameterButtonsNeedADriver) {
  hvtest::PluginInstall empty{{}, {}};
  Start();
  EXPECT_TRUE(page.Networks().empty());
  ui.ExpectMessage(10285);
  EXPECT_FALSE(page.NetworkSettings());
  ui.ExpectMessage(10254);
  EXPECT_FALSE(page.DeviceSettings());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

}  // namespace
