#include <gtest/gtest.h>

#include "platform/DeviceConfig.h"
#include "platform/Paths.h"
#include "platform/TavGraphUse.h"
#include "tests/support/HardwareTree.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

namespace {

// The shipped install tree as the install folder.
struct ShippedTree {
  hvtest::TempHome home;
  ShippedTree() { hvtest::UseInstallFolder(home, hvtest::SourceDataFolder()); }
  static wxString Type(const char* name) { return hv::InstalledTypeFolder(name); }
};

void Write(const wxString& folder, const char* name, const std::string& text) {
  hvtest::WriteAll(hv::JoinPath(folder, name), text);
}

}  // namespace

TEST(DeviceConfigVersions, ListPerShippedType) {
  ShippedTree tree;
  struct Case {
    const char* type;
    std::vector<double> versions;   // index 0 is always the base
  };
  const Case cases[] = {{"KOLM_T420", {0.0, 1.52}},
                        {"KOLM_G320", {0.0, 1.50, 2.00}},
                        {"CE_PANEL7", {0.0}},
                        {"COMBO_C167", {0.0}},
                        {"CTRL_515", {0.0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    const wxString folder = tree.Type(c.type);
    ASSERT_TRUE(hv::IsHardwareTypeFolder(folder));
    ASSERT_EQ(hv::GetCountOfDeviceVersions(folder), static_cast<int>(c.versions.size()));
    for (size_t i = 0; i < c.versions.size(); ++i)
      EXPECT_DOUBLE_EQ(hv::GetDeviceConfigVersion(folder, static_cast<int>(i)), c.versions[i]);
  }
  EXPECT_EQ(hv::GetCountOfDeviceVersions(tree.home.Sub("nowhere")), 0);
  EXPECT_DOUBLE_EQ(hv::GetDeviceConfigVersion(tree.Type("KOLM_G320"), 7), 0.0);
}

TEST(DeviceConfigVersions, SortedDistinctAndOnlyRealVersions) {
  hvtest::TempDir dir;
  Write(dir.Path(), "hardware.set", "[Versions]\n1=2.00\n2=1.15\n3=abc\n4=1.15\n5=0\n6=-1\n7=1,5\n");
  ASSERT_EQ(hv::GetCountOfDeviceVersions(dir.Path()), 3);
  EXPECT_EQ(hv::GetDeviceConfigVersionHundredths(dir.Path(), 1), 115);   // never 114
  EXPECT_EQ(hv::GetDeviceConfigVersionHundredths(dir.Path(), 2), 200);
}

TEST(DeviceConfigVersions, FirmwareChoosesTheOverlays) {
  ShippedTree tree;
  const wxString folder = tree.Type("KOLM_G320");
  struct Case {
    double version;
    int depth;
  };
  // Base for 0 or less; the 2.00 overlay from 2.00 on, whatever lies between.
  const Case cases[] = {{0.0, 4}, {-1.0, 4}, {1.0, 4}, {1.5, 4}, {1.99, 4}, {2.0, 8}, {2.01, 8}, {5.0, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    auto cfg = hv::GetDeviceConfig(folder, c.version);
    ASSERT_TRUE(cfg);
    EXPECT_EQ(cfg->GetDisplayConfig()->colorDepth, c.depth);
  }
  // 180 hundredths arrive as 1.8, and 1.15 as 115 hundredths.
  EXPECT_EQ(hv::GetDeviceConfig(folder, 180 / 100.0)->GetFirmwareVersion(), 180);
  EXPECT_EQ(hv::GetDeviceConfig(folder, 1.15)->GetFirmwareVersion(), 115);
}

TEST(DeviceConfigEntries, GeneralEntriesAndInstalledVersion) {
  ShippedTree tree;
  auto g320 = hv::OpenDeviceConfig(tree.Type("KOLM_G320"), 0);
  ASSERT_TRUE(g320);
  wxString text;
  ASSERT_TRUE(g320->GetEntryText("DefaultFWVersion", text));
  EXPECT_EQ(text, "1.50");
  EXPECT_FALSE(g320->GetEntryText("NoSuchEntry", text));
  EXPECT_EQ(g320->GetType(), "KOLM_G320");
  EXPECT_EQ(g320->GetConfigVersion(), 120);
  EXPECT_EQ(g320->GetInstalledConfigVersion(), 120);

  // A device's older copy sees the installed version of its type.
  hvtest::TempDir dev;
  hvtest::CopyTypeToDevice(tree.Type("KOLM_G320"), dev.Path());
  Write(hv::JoinPath(dev.Path(), "Hardware"), "hardware.set", "[General]\nType=kolm_g320\nConfigVersion=1.1\n");
  auto copy = hv::OpenDeviceConfig(hv::JoinPath(dev.Path(), "hardware"), 0);
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->GetConfigVersion(), 110);
  EXPECT_EQ(copy->GetInstalledConfigVersion(), 120);

  // Entry texts are cut to 20 characters; a type naming no single folder has no
  // installed version.
  Write(dev.Path(), "hardware.set", "[General]\nType=../KOLM_G320\nLong=123456789012345678901234\n");
  auto odd = hv::OpenDeviceConfig(dev.Path(), 0);
  ASSERT_TRUE(odd);
  ASSERT_TRUE(odd->GetEntryText("long", text));
  EXPECT_EQ(text, "12345678901234567890");
  EXPECT_EQ(odd->GetInstalledConfigVersion(), 0);
}

TEST(DeviceConfigEntries, RemotePanelsAndExtensions) {
  ShippedTree tree;
  auto ctrl = hv::OpenDeviceConfig(tree.Type("CTRL_515"), 0);
  ASSERT_TRUE(ctrl);
  EXPECT_FALSE(ctrl->GetDisplayConfig());
  ASSERT_EQ(ctrl->GetRemotePanelCount(), 1);
  wxString name;
  ASSERT_TRUE(ctrl->GetRemotePanelName(0, name));
  EXPECT_EQ(name, "KOLM_G320");
  EXPECT_FALSE(ctrl->GetRemotePanelName(1, name));
  EXPECT_FALSE(ctrl->GetRemotePanelName(-1, name));
  auto remote = ctrl->GetRemotePanel("kolm_g320");
  ASSERT_TRUE(remote && remote->display);
  EXPECT_EQ(remote->displayName, S("KOLM G320 Remote-Panel & Tastatur"));
  EXPECT_EQ(remote->display->width, 320);
  EXPECT_FALSE(ctrl->GetRemotePanel("KOLM_T420"));
  EXPECT_FALSE(ctrl->GetRemotePanel(""));
  EXPECT_TRUE(ctrl->ExtensionHasCompactFlash("CFEXT"));
  EXPECT_FALSE(ctrl->ExtensionHasCompactFlash("OTHER"));
  EXPECT_TRUE(hv::IsFile(hv::InstalledRemotePalette("CTRL_515", "KOLM_G320")));
  EXPECT_TRUE(hv::InstalledRemotePalette("CTRL_515", "../x").empty());
}

TEST(DeviceConfigEntries, ToolAcceptanceRule) {
  hvtest::TempDir dir;
  Write(dir.Path(), "hardware.set",
        "[Tools]\n1=ANY;0;0;0;0\n2=EXACT;1.0;9;9;0\n3=RANGE;0;1.0;2.0;1.5\n4=;1;1;1;1\n");
  auto cfg = hv::OpenDeviceConfig(dir.Path(), 0);
  ASSERT_TRUE(cfg);
  struct Case {
    const char* id;
    double version;
    BOOL accepted;
  };
  const Case cases[] = {{"ANY", 0.1, TRUE},     {"any", 77.0, TRUE},    {"EXACT", 1.0, TRUE},
                        {"EXACT", 1.1, FALSE},  {"RANGE", 0.99, FALSE}, {"RANGE", 1.0, TRUE},
                        {"RANGE", 1.5, FALSE},  {"RANGE", 2.0, TRUE},   {"RANGE", 2.01, FALSE},
                        {"MISSING", 1.0, FALSE}, {"", 1.0, FALSE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.id) + " " + std::to_string(c.version));
    EXPECT_EQ(cfg->AcceptsTool(c.id, c.version), c.accepted);
  }
}

TEST(DeviceConfigEntries, MissingOrGarbledFolderGivesNoConfiguration) {
  hvtest::TempDir dir;
  EXPECT_FALSE(hv::OpenDeviceConfig(dir.Path(), 0));
  EXPECT_FALSE(hv::OpenDeviceConfig(wxString(), 0));
  Write(dir.Path(), "hardware.set", std::string("\x89PNG\r\n\x1a\n\0\0garbage", 18));
  EXPECT_FALSE(hv::OpenDeviceConfig(dir.Path(), 150));
  EXPECT_EQ(hv::GetCountOfDeviceVersions(dir.Path()), 0);
  // The INI file wins over the XML one, whatever their spelling.
  hvtest::TempDir both;
  Write(both.Path(), "HARDWARE.XML", "<hardware><section name=\"General\"><entry key=\"Type\" value=\"X\"/>"
                                     "</section></hardware>");
  ASSERT_TRUE(hv::OpenDeviceConfig(both.Path(), 0));
  EXPECT_EQ(hv::OpenDeviceConfig(both.Path(), 0)->GetType(), "X");
  Write(both.Path(), "Hardware.Set", "[General]\nType=I\n");
  EXPECT_EQ(hv::OpenDeviceConfig(both.Path(), 0)->GetType(), "I");
}

TEST(DeviceConfigEntries, OutOfRangeNumbersAreClamped) {
  hvtest::TempDir dir;
  Write(dir.Path(), "hardware.set",
        "[Display]\nWidth=-5\nHeight=99999999999999999999\nColorDepth=1000\n"
        "[IO]\nDI=70000\nDO=-1\nAI=12abc\nAO=x\n");
  auto cfg = hv::OpenDeviceConfig(dir.Path(), 0);
  ASSERT_TRUE(cfg);
  const auto d = *cfg->GetDisplayConfig();
  EXPECT_EQ(d.width, 0);
  EXPECT_EQ(d.height, 2147483647);
  EXPECT_EQ(d.colorDepth, 32);
  const auto io = *cfg->GetIOConfig();
  EXPECT_EQ(io.GetCount("DI"), 65535);
  EXPECT_EQ(io.GetCount("DO"), 0);
  EXPECT_EQ(io.GetCount("AI"), 12);
  EXPECT_EQ(io.GetCount("AO"), 0);
  EXPECT_EQ(io.GetCount("di"), 0);
}

TEST(DeviceConfigInstall, TypeNamesAndFolders) {
  ShippedTree tree;
  EXPECT_TRUE(hv::IsFolder(hv::InstalledHardwareFolder()));
  EXPECT_EQ(hv::PathName(hv::InstalledTypeFolder("kolm_g320")), "KOLM_G320");
  for (const char* bad : {"", ".", "..", "../x", "a/b", "a\\b"}) EXPECT_TRUE(hv::InstalledTypeFolder(bad).empty()) << bad;
  for (const char* font : {"System.fnt", "Standard.fnt", "Gross.fnt"})
    EXPECT_TRUE(hv::IsFile(hv::JoinPath(hv::InstalledFontsFolder(), font))) << font;
  EXPECT_EQ(hv::ResolveHardwareFolder("CE_PANEL7"), hv::InstalledTypeFolder("CE_PANEL7"));
  EXPECT_EQ(hv::ResolveHardwareFolder("C:\\x\\y"), "C:/x/y");
}

TEST(TavGraphUse, OnlyScreensListedAsUsed) {
  hvtest::TempHome home;
  int used = -1;
  hv::IsMaskUsedByTavGraph(4000012, used);
  EXPECT_EQ(used, 0);
  hvtest::WriteAll(home.Sub("TavGraphUse.ini"), "[Masks]\n4000012=1\n4000013=0\n");
  hv::IsMaskUsedByTavGraph(4000012, used);
  EXPECT_NE(used, 0);
  hv::IsMaskUsedByTavGraph(4000013, used);
  EXPECT_EQ(used, 0);
  hv::IsMaskUsedByTavGraph(12, used);
  EXPECT_EQ(used, 0);
}
