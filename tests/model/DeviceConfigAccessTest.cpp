#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>

#include "model/DeviceConfigAccess.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/support/HardwareTree.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

namespace {

const char* const kTypes[] = {"KOLM_T420", "KOLM_G320", "CE_PANEL7", "COMBO_C167", "CTRL_515"};

// A project folder with one device per shipped type, its hardware copied from the
// shipped install tree. The controller uses the remote panel and the memory card module.
struct Project {
  hvtest::TempHome home;
  std::map<wxString, wxString> devices;
  Project() {
    hvtest::UseInstallFolder(home, hvtest::SourceDataFolder());
    for (const char* type : kTypes) {
      const wxString folder = home.Sub(wxString("Projekt/") + type);
      hvtest::CopyTypeToDevice(hv::InstalledTypeFolder(type), folder);
      devices[type] = folder;
    }
    hvtest::WriteAll(hv::JoinPath(devices["CTRL_515"], "device.cfg"), "[Extensions]\r\n0=CFEXT\r\n");
  }
  CDeviceConfigAccess Access(const char* type, int firmware = 180) const {
    return CDeviceConfigAccess(devices.at(type), firmware, wxString(type) == "CTRL_515" ? "KOLM_G320" : "");
  }
};

wxString B(BOOL b) { return b ? "1" : "0"; }
wxString N(long n) { return wxString::Format("%ld", n); }

wxString Accepted(CDeviceConfigAccess& a, std::function<BOOL(const wxString&)> test,
                  std::initializer_list<const char*> names) {
  wxString out;
  for (const char* n : names)
    if (test(n)) out += (out.empty() ? "" : " ") + wxString(n);
  return out;
}

using Question = std::function<wxString(CDeviceConfigAccess&)>;

const std::map<std::string, Question>& Questions() {
  static const std::map<std::string, Question> q = {
      {"LoadDeviceConfig", [](auto& a) { return B(a.LoadDeviceConfig()); }},
      {"GetDisplayConfig", [](auto& a) { return B(a.GetDisplayConfig()); }},
      {"HasDisplayResources", [](auto& a) { return B(a.HasDisplayResources()); }},
      {"IsGraphicDisplay", [](auto& a) { return B(a.IsGraphicDisplay()); }},
      {"GetColorDepth", [](auto& a) { return N(a.GetColorDepth()); }},
      {"GetDisplaySize",
       [](auto& a) {
         int w = -1, h = -1;
         return a.GetDisplaySize(w, h) ? wxString::Format("%dx%d", w, h) : wxString("-");
       }},
      {"GetDisplayName", [](auto& a) { a.GetDisplayConfig(); return a.GetDisplayName(); }},
      {"GetHardwareFontCount", [](auto& a) { return N(a.GetHardwareFontCount()); }},
      {"GetIOCount",
       [](auto& a) {
         return wxString::Format("%u/%u/%u/%u", a.GetIOCount("DI"), a.GetIOCount("DO"), a.GetIOCount("AI"),
                                 a.GetIOCount("AO"));
       }},
      {"IsUnicodeName", [](auto& a) { return B(a.IsUnicodeName()); }},
      {"SupportsKeypads", [](auto& a) { return B(a.SupportsKeypads()); }},
      {"IsCFAvailable", [](auto& a) { return B(a.IsCFAvailable()); }},
      {"AllowsBitmaps", [](auto& a) { return B(a.AllowsBitmaps()); }},
      {"AllowsDataPoints", [](auto& a) { return B(a.AllowsDataPoints()); }},
      {"FindConfigEntry TavSim", [](auto& a) { return N(a.FindConfigEntry("TavSim")); }},
      {"FindConfigEntry CoDeSys", [](auto& a) { return N(a.FindConfigEntry("CoDeSys")); }},
      {"FindTavDesignEntry", [](auto& a) { return N(a.FindTavDesignEntry()); }},
      {"GetCoDeSysConfigCount", [](auto& a) { return N(a.GetCoDeSysConfigCount()); }},
      {"GetCoDeSysDownloadType", [](auto& a) { return N(a.GetCoDeSysDownloadType()); }},
      {"HasDeviceDriver",
       [](auto& a) {
         return Accepted(a, [&](const wxString& n) { return a.HasDeviceDriver(n); },
                         {"CAN_R515", "COMBO167", "CE_TCP", "ce_qx"});
       }},
      {"HasNetwork",
       [](auto& a) { return Accepted(a, [&](const wxString& n) { return a.HasNetwork(n); }, {"SIMNET", "mbtcp"}); }},
      {"HasModule",
       [](auto& a) { return Accepted(a, [&](const wxString& n) { return a.HasModule(n); }, {"DIO16", "AIO4"}); }},
      {"AcceptsTool TAVTERM 1.0 / 1.5",
       [](auto& a) { return B(a.AcceptsTool("TAVTERM", 1.0)) + "/" + B(a.AcceptsTool("tavterm", 1.5)); }},
      {"GetConfigVersion", [](auto& a) { return N(a.GetConfigVersion()); }},
      {"IsNewerConfigInstalled", [](auto& a) { return B(a.IsNewerConfigInstalled()); }},
  };
  return q;
}

struct Row {
  const char* question;
  const char* answers[5];   // in the order of kTypes
};

// What each shipped type answers (firmware 1.80).
const Row kRows[] = {
    {"LoadDeviceConfig", {"1", "1", "1", "1", "1"}},
    {"GetDisplayConfig", {"1", "1", "1", "1", "1"}},
    {"HasDisplayResources", {"0", "1", "1", "1", "1"}},
    {"IsGraphicDisplay", {"0", "1", "1", "1", "1"}},
    {"GetColorDepth", {"0", "4", "16", "1", "4"}},
    {"GetDisplaySize", {"20x4", "320x240", "800x480", "240x128", "320x240"}},
    {"GetDisplayName", {"", "", "", "", "KOLM G320 Remote-Panel & Tastatur"}},
    {"GetHardwareFontCount", {"0", "2", "1", "0", "0"}},
    {"GetIOCount", {"0/0/0/0", "0/0/0/0", "0/0/0/0", "16/8/4/2", "8/8/0/0"}},
    {"IsUnicodeName", {"0", "0", "1", "0", "0"}},
    {"SupportsKeypads", {"0", "0", "1", "0", "0"}},
    {"IsCFAvailable", {"0", "0", "1", "1", "1"}},
    {"AllowsBitmaps", {"0", "1", "1", "1", "1"}},
    {"AllowsDataPoints", {"1", "1", "1", "1", "1"}},
    {"FindConfigEntry TavSim", {"0", "0", "0", "1", "1"}},
    {"FindConfigEntry CoDeSys", {"0", "0", "0", "1", "0"}},
    {"FindTavDesignEntry", {"1", "1", "1", "1", "1"}},
    {"GetCoDeSysConfigCount", {"0", "1", "0", "3", "0"}},
    {"GetCoDeSysDownloadType", {"0", "0", "0", "1", "0"}},
    {"HasDeviceDriver", {"CAN_R515", "CAN_R515", "CE_TCP ce_qx", "COMBO167", "CAN_R515"}},
    {"HasNetwork", {"SIMNET mbtcp", "SIMNET mbtcp", "mbtcp", "SIMNET mbtcp", "mbtcp"}},
    {"HasModule", {"", "", "", "DIO16 AIO4", ""}},
    {"AcceptsTool TAVTERM 1.0 / 1.5", {"0/0", "1/1", "1/0", "0/0", "0/0"}},
    {"GetConfigVersion", {"100", "120", "100", "100", "100"}},
    {"IsNewerConfigInstalled", {"0", "0", "0", "0", "0"}},
};

// Every question must be answered "nothing" by a device without a configuration.
const std::map<std::string, wxString> kNoConfiguration = {
    {"LoadDeviceConfig", "0"}, {"GetDisplayConfig", "0"}, {"HasDisplayResources", "0"},
    {"IsGraphicDisplay", "0"}, {"GetColorDepth", "0"}, {"GetDisplaySize", "-"}, {"GetDisplayName", ""},
    {"GetHardwareFontCount", "0"}, {"GetIOCount", "0/0/0/0"}, {"IsUnicodeName", "0"}, {"SupportsKeypads", "0"},
    {"IsCFAvailable", "0"}, {"AllowsBitmaps", "0"}, {"AllowsDataPoints", "0"}, {"FindConfigEntry TavSim", "0"},
    {"FindConfigEntry CoDeSys", "0"}, {"FindTavDesignEntry", "0"}, {"GetCoDeSysConfigCount", "-1"},
    {"GetCoDeSysDownloadType", "0"}, {"HasDeviceDriver", ""}, {"HasNetwork", ""}, {"HasModule", ""},
    {"AcceptsTool TAVTERM 1.0 / 1.5", "0/0"}, {"GetConfigVersion", "0"}, {"IsNewerConfigInstalled", "0"},
};

}  // namespace

TEST(DeviceConfigAccess, EveryShippedTypeAnswersAsItsConfigurationSays) {
  Project p;
  ASSERT_EQ(Questions().size(), std::size(kRows));
  for (const Row& row : kRows) {
    for (size_t t = 0; t < std::size(kTypes); ++t) {
      SCOPED_TRACE(std::string(kTypes[t]) + ": " + row.question);
      // A fresh device per question, so that no question relies on another's loading.
      CDeviceConfigAccess access = p.Access(kTypes[t]);
      EXPECT_EQ(Questions().at(row.question)(access), S(row.answers[t]));
    }
  }
}

TEST(DeviceConfigAccess, WithoutConfigurationEverythingAnswersNothing) {
  Project p;
  ASSERT_EQ(kNoConfiguration.size(), Questions().size());
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub("garbled/hardware/hardware.set"), std::string("\0\x01\xFF junk", 9));
  hvtest::WriteAll(dir.Sub("badxml/hardware/hardware.xml"), "<hardware><section name=\"Display\">");
  hv::MakeFolders(dir.Sub("empty/hardware"));
  const wxString folders[] = {dir.Sub("missing"), dir.Sub("garbled"), dir.Sub("badxml"), dir.Sub("empty"),
                              wxString()};
  for (const wxString& folder : folders) {
    SCOPED_TRACE(hv::ToUtf8(folder));
    hvtest::WriteAll(hv::JoinPath(folder.empty() ? dir.Path() : folder, "device.cfg"), "[Extensions]\n0=CFEXT\n");
    for (const auto& [question, answer] : kNoConfiguration) {
      SCOPED_TRACE(question);
      CDeviceConfigAccess access(folder, 180, "KOLM_G320");
      EXPECT_EQ(Questions().at(question)(access), answer);
    }
  }
}

TEST(DeviceConfigAccess, FirmwareVersionReachesTheReaderInHundredths) {
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub("dev/hardware/hardware.set"),
                   "[Display]\nColorDepth=1\n[Display@1.80]\nColorDepth=4\n[Display@1.81]\nColorDepth=8\n");
  CDeviceConfigAccess a(dir.Sub("dev"), 180);
  EXPECT_EQ(a.GetColorDepth(), 4);
  a.SetFirmwareVersion(179);   // the general page's change of version drops what was loaded
  EXPECT_FALSE(a.IsLoaded());
  EXPECT_EQ(a.GetColorDepth(), 1);
  a.SetFirmwareVersion(0);
  EXPECT_EQ(a.GetColorDepth(), 1);
}

TEST(DeviceConfigAccess, ControllerBorrowsTheRemotePanelsDisplay) {
  Project p;
  CDeviceConfigAccess a(p.devices["CTRL_515"], 180);
  EXPECT_FALSE(a.GetDisplayConfig());
  EXPECT_TRUE(a.GetDisplayName().empty());
  a.SetRemoteType("KOLM_G320");
  ASSERT_TRUE(a.GetDisplayConfig());
  EXPECT_EQ(a.GetDisplayName(), S("KOLM G320 Remote-Panel & Tastatur"));
  a.SetRemoteType("NO_SUCH_PANEL");
  EXPECT_FALSE(a.GetDisplayConfig());
  EXPECT_TRUE(a.GetDisplayName().empty());
  // A panel with a display of its own ignores a remote type.
  CDeviceConfigAccess panel(p.devices["KOLM_T420"], 180, "KOLM_G320");
  int w = 0, h = 0;
  ASSERT_TRUE(panel.GetDisplaySize(w, h));
  EXPECT_EQ(wxString::Format("%dx%d", w, h), "20x4");
  EXPECT_TRUE(panel.GetDisplayName().empty());
}

TEST(DeviceConfigAccess, CompactFlashThroughTheExtensionModuleOnly) {
  Project p;
  const wxString cfg = hv::JoinPath(p.devices["CTRL_515"], "device.cfg");
  EXPECT_TRUE(p.Access("CTRL_515").IsCFAvailable());
  hvtest::WriteAll(cfg, "[Extensions]\n0=OTHER\n");
  EXPECT_FALSE(p.Access("CTRL_515").IsCFAvailable());
  std::remove(hv::ToUtf8(cfg).c_str());
  EXPECT_FALSE(p.Access("CTRL_515").IsCFAvailable());
  hvtest::WriteAll(hv::JoinPath(p.devices["CTRL_515"], "DEVICE.CFG"), "[extensions]\n0= cfext \n");
  EXPECT_TRUE(p.Access("CTRL_515").IsCFAvailable());
}

TEST(DeviceConfigAccess, LoadedOnceUntilReloadAndNewerInstalledVersionSeen) {
  Project p;
  const wxString hw = hv::JoinPath(p.devices["KOLM_G320"], "Hardware/hardware.set");
  std::string text = hvtest::ReadAll(hw);
  text.replace(text.find("ConfigVersion=1.2"), 17, "ConfigVersion=1.1");
  hvtest::WriteAll(hw, text);

  CDeviceConfigAccess a = p.Access("KOLM_G320");
  ASSERT_TRUE(a.LoadDeviceConfig());
  EXPECT_EQ(a.GetConfigVersion(), 110);
  EXPECT_EQ(a.GetInstalledConfigVersion(), 120);
  EXPECT_TRUE(a.IsNewerConfigInstalled());

  // The type changes under the device: its answers stay until it reloads.
  hvtest::CopyTypeToDevice(hv::InstalledTypeFolder("CE_PANEL7"), p.devices["KOLM_G320"]);
  EXPECT_FALSE(a.SupportsKeypads());
  ASSERT_TRUE(a.LoadDeviceConfig(TRUE));
  EXPECT_TRUE(a.SupportsKeypads());
  EXPECT_EQ(a.GetColorDepth(), 16);
  EXPECT_FALSE(a.IsNewerConfigInstalled());

  // A copy reads for itself: it carries what the configuration is made from only.
  CDeviceConfigAccess copy(a);
  EXPECT_FALSE(copy.IsLoaded());
  EXPECT_EQ(copy.GetDeviceFolder(), a.GetDeviceFolder());
  EXPECT_TRUE(copy.SupportsKeypads());
  copy = p.Access("COMBO_C167");
  EXPECT_FALSE(copy.IsLoaded());
  EXPECT_EQ(copy.GetIOCount("DI"), 16);
  EXPECT_EQ(copy.GetIOCount("di"), 0);

  // Releasing drops everything; without a hardware folder the next load fails.
  a.Release();
  EXPECT_FALSE(a.IsLoaded());
  ASSERT_TRUE(hv::MakeFolders(p.home.Sub("Leer")));
  a.SetDeviceFolder(p.home.Sub("Leer"));
  EXPECT_FALSE(a.LoadDeviceConfig(TRUE));
}

TEST(DeviceConfigAccess, CoDeSysEntriesInFileOrder) {
  Project p;
  CDeviceConfigAccess a = p.Access("COMBO_C167");
  ASSERT_EQ(a.GetCoDeSysConfigCount(), 3);
  wxString key, value;
  ASSERT_TRUE(a.GetCoDeSysConfigItem(1, key, value));
  EXPECT_EQ(key, "CoDeSysTarget");
  EXPECT_EQ(value, "Combo C167");
  EXPECT_FALSE(a.GetCoDeSysConfigItem(3, key, value));
  EXPECT_FALSE(a.GetCoDeSysConfigItem(-1, key, value));
  ASSERT_TRUE(a.GetCoDeSysConfigValue("gatewayport", value));
  EXPECT_EQ(value, "1210");
  EXPECT_FALSE(a.GetCoDeSysConfigValue("Missing", value));
}
