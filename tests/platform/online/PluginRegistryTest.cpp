#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <filesystem>

#include "platform/Localization.h"
#include "platform/Online.h"
#include "platform/Paths.h"
#include "platform/online/PluginRegistry.h"
#include "tests/support/OnlineTestSupport.h"
#include "tests/support/HardwareTree.h"

namespace {

using hv::PluginKind;
using hv::PluginRegistry;

std::vector<std::string> Titles(const std::vector<hv::PluginListEntry>& list) {
  std::vector<std::string> t;
  for (const auto& e : list) t.push_back(e.title.utf8_string() + "=" + e.displayName.utf8_string());
  return t;
}

const std::vector<std::string> kAllTestDevices = {"TESTDEV.so", "zorva_P303.so", "NONAME.so", "HIDDEN.so", "NOABI.so",
                                                  "NEWABI.so", "NOCHECK.so", "OTHERNET.so", "JUNK.so"};

TEST(PluginRegistry, ListsUsablePluginsAndSkipsBrokenOnesOnce) {
  hvtest::PluginInstall install(kAllTestDevices, {"SIMNET.so", "MBTCP.so", "NOREAD.so"});
  hvtest::WriteAll(install.Sub("device/README.ddl"), "a Windows plug-in is never loaded");
  auto& reg = PluginRegistry::Get();

  EXPECT_EQ(Titles(reg.List(PluginKind::Device)),
            (std::vector<std::string>{"NONAME=NONAME", "OTHERNET=Other network", "TESTDEV=Test Device",
                                      "ZORVA_P303=Zorva P303"}));
  EXPECT_EQ(reg.List(PluginKind::Device, true).size(), 5u);  // HIDDEN too
  // NOABI, NEWABI, NOCHECK and JUNK: one report each.
  const auto problems = reg.Problems();
  ASSERT_EQ(problems.size(), 4u);
  std::vector<std::string> names;
  for (const auto& p : problems) names.push_back(hv::PathName(p.path).utf8_string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"JUNK.so", "NEWABI.so", "NOABI.so", "NOCHECK.so"}));

  // Listing and asking again opens nothing anew and reports nothing new.
  const unsigned opens = reg.OpenCount();
  reg.List(PluginKind::Device, true);
  EXPECT_FALSE(reg.Device("NOCHECK"));
  EXPECT_FALSE(reg.Device("junk"));
  EXPECT_TRUE(reg.Device("testdev"));
  EXPECT_EQ(reg.OpenCount(), opens);
  EXPECT_EQ(reg.Problems().size(), 4u);

  // A driver without Driver_Read is skipped like the devices above.
  EXPECT_EQ(Titles(reg.List(PluginKind::Driver)),
            (std::vector<std::string>{"MBTCP=Modbus TCP", "SIMNET=Simulation"}));
  EXPECT_FALSE(reg.Driver("NOREAD"));
  ASSERT_EQ(reg.Problems().size(), 5u);
  EXPECT_EQ(reg.Problems().back().reason, "no Driver_Read");
}

TEST(PluginRegistry, FindsPluginsOnlyByTitleInsideTheirFolder) {
  hvtest::PluginInstall install({"TESTDEV.so", "zorva_P303.so"});
  hvtest::TempDir elsewhere;
  std::filesystem::copy_file(hv::ToFs(hvtest::TestPluginFolder("device") + "/TESTDEV.so"),
                             hv::ToFs(elsewhere.Sub("EVIL.so")));
  auto& reg = PluginRegistry::Get();
  for (const char* name : {"TESTDEV", "testdev.ddl.", "TestDev.dll", "TESTDEV.so", " testdev "})
    EXPECT_TRUE(reg.Device(name)) << name;
  EXPECT_EQ(reg.Device("ZORVA_P303")->displayName, "Zorva P303");
  for (wxString name : {wxString("../device/TESTDEV"), hv::JoinPath(elsewhere.Path(), "EVIL.so"), wxString("EVIL"),
                        wxString("sub\\TESTDEV"), wxString(""), wxString("TESTDEV.x")})
    EXPECT_FALSE(reg.Device(name)) << name;
  EXPECT_EQ(reg.DeviceDisplayName("MISSING"), "MISSING");
  EXPECT_EQ(reg.DeviceDisplayName("testdev"), "Test Device");
  EXPECT_EQ(reg.DriverDisplayName("simnet.ndl"), "Simulation");
}

TEST(PluginRegistry, AChangedFileIsLoadedAgainOnce) {
  hvtest::PluginInstall install({});
  const wxString target = install.Sub("device/TESTDEV.so");
  std::filesystem::copy_file(hv::ToFs(hvtest::TestPluginFolder("device") + "/NOCHECK.so"), hv::ToFs(target));
  auto& reg = PluginRegistry::Get();
  EXPECT_FALSE(reg.Device("TESTDEV"));
  EXPECT_FALSE(reg.Device("TESTDEV"));
  EXPECT_EQ(reg.Problems().size(), 1u);
  // Replaced by a good plug-in (new inode, size and time): found on the next look-up.
  std::filesystem::remove(hv::ToFs(target));
  std::filesystem::copy_file(hv::ToFs(hvtest::TestPluginFolder("device") + "/TESTDEV.so"), hv::ToFs(target));
  const unsigned opens = reg.OpenCount();
  EXPECT_TRUE(reg.Device("TESTDEV"));
  EXPECT_TRUE(reg.Device("TESTDEV"));
  EXPECT_EQ(reg.OpenCount(), opens + 1);
}

TEST(PluginRegistry, ShippedSampleTypesServeTheirNetworks) {
  hvtest::TempHome home;
  hvtest::UseInstallFolder(home, hvtest::SourceDataFolder());  // plug-ins come from the build tree
  PluginRegistry::Get().Reset();
  EXPECT_EQ(Titles(PluginRegistry::Get().List(PluginKind::Device)),
            (std::vector<std::string>{"CAN_R515=CAN R515 Panel-Treiber", "CE_PANEL7=CE Panel 7 Zoll", "CE_PLC7=CE Panel 7 Zoll mit SPS",
                                      "CE_QX=CE Panel SPS-Treiber (QX)", "CE_TCP=CE Panel TCP-Treiber",
                                      "COMBO167=COMBO C167 Treiber", "COMBO_C167=COMBO C167 Panel-Steuerung",
                                      "CTRL_515=CTRL 515 Steuerung", "KOLM_G320=KOLM G320 Grafikpanel",
                                      "KOLM_T420=KOLM T420 Textpanel"}));
  // The names follow the language the host runs in.
  ASSERT_TRUE(hv::InitMultiLanguage("Project", wxS("ENG")));
  PluginRegistry::Get().Reset();
  const std::vector<std::string> english = Titles(PluginRegistry::Get().List(PluginKind::Device));
  hv::ResetLanguage();
  EXPECT_EQ(english, (std::vector<std::string>{"CAN_R515=CAN R515 panel driver", "CE_PANEL7=CE Panel 7 inch",
                                               "CE_PLC7=CE Panel 7 inch with PLC", "CE_QX=CE Panel PLC driver (QX)",
                                               "CE_TCP=CE Panel TCP driver", "COMBO167=COMBO C167 driver",
                                               "COMBO_C167=COMBO C167 panel controller", "CTRL_515=CTRL 515 controller",
                                               "KOLM_G320=KOLM G320 graphic panel", "KOLM_T420=KOLM T420 text panel"}));
  ASSERT_TRUE(hv::Vostrel_Init());
  EXPECT_TRUE(hv::Vostrel_CheckDriverParameter("MBTCP", "CTRL_515.ddl."));
  EXPECT_FALSE(hv::Vostrel_CheckDriverParameter("SIMNET", "CTRL_515.ddl."));
  EXPECT_TRUE(hv::Vostrel_CheckDriverParameter("simnet.ndl", "kolm_g320.dll."));
  EXPECT_FALSE(hv::Vostrel_CheckDriverParameter("MBTCP", "NOSUCH.ddl."));
  hv::Vostrel_DeInit();
  PluginRegistry::Get().Reset();
}

TEST(PluginRegistry, DataPointInfoAsksTheDevicePlugin) {
  hvtest::PluginInstall install({"TESTDEV.so"});
  hvtest::WriteAll(install.Sub("symbols.sym"), "Motor_On\nSpeed\n");
  const std::string param = hv::ToFs(install.Sub("symbols.sym")) + ";;";
  auto dev = PluginRegistry::Get().Device("TESTDEV");
  ASSERT_TRUE(dev && dev->dataPointInfo);
  char text[22] = {};
  HvDpInfoEx info{sizeof(HvDpInfoEx), 0, 0, text, sizeof text};
  EXPECT_EQ(dev->dataPointInfo("1|Speed|x", param.c_str(), &info), 1);
  EXPECT_EQ(dev->dataPointInfo("1|Pressure|x", param.c_str(), &info), 0);
  HvDpInfoEx small{8, 0, 0, text, sizeof text};  // an older, smaller block
  EXPECT_EQ(dev->dataPointInfo("1|Speed|x", param.c_str(), &small), 0);
  int count = 0;
  dev->enumDataPoints("1", "", [](void* user, const HvDpEntry*) { ++*static_cast<int*>(user); }, &count);
  EXPECT_EQ(count, 6);
}

}  // namespace

// The program's export, which the plug-ins look up in the executable.
extern "C" __attribute__((visibility("default"))) int __VirUvazo_GetCurrentLanguage() {
  return hv::CurrentLanguageNumber();
}
