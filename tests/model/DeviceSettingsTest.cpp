#include <gtest/gtest.h>

#include "model/DeviceSettings.h"
#include "platform/Codec.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

namespace {

struct Device {
  hvtest::TempHome home;
  wxString folder = home.Sub("Projekt/Geraet1");
  CDeviceSettings settings{folder};
  Device() { hv::MakeFolders(folder); }
  wxString File() const { return hv::JoinPath(folder, "DEVICE.SET"); }
  void Write(const std::string& text) const { hvtest::WriteAll(File(), text); }
  DeviceSetValues Read(BOOL unicodeDefault = FALSE, int* asked = nullptr) const {
    DeviceSetValues v;
    settings.ReadDeviceSet(v, [&] {
      if (asked) ++*asked;
      return unicodeDefault;
    });
    return v;
  }
};

DeviceSetValues Sample() {
  DeviceSetValues v;
  v.type = "KOLM_G320";
  v.remoteType = "";
  v.firmwareVersion = 152;
  v.unicodeResource = TRUE;
  v.slot = "CAN_0";
  v.network = "SIMNET";
  v.networkPara = S("Bäckerei € Straße");
  v.node = "M0";
  return v;
}

}  // namespace

TEST(DeviceSettings, MissingFileGivesTheDefaults) {
  Device d;
  int asked = 0;
  const DeviceSetValues v = d.Read(TRUE, &asked);
  EXPECT_EQ(v.type, "");
  EXPECT_EQ(v.remoteType, "");
  EXPECT_EQ(v.firmwareVersion, 151);
  EXPECT_TRUE(v.unicodeResource);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(v.slot + v.network + v.networkPara, "");
  EXPECT_EQ(d.settings.GetFtpUsername(FALSE), "supervisor");
  EXPECT_EQ(d.settings.GetFtpUsername(TRUE), "");
  EXPECT_EQ(d.settings.GetFtpPassword(), "");
  EXPECT_EQ(d.settings.GetRecipePath(), "\\Flashdisk\\TavDesign");
  EXPECT_EQ(d.settings.GetResourcePath(), "\\Flashdisk\\TavDesign");
  EXPECT_FALSE(d.settings.GetBitmapsCompressed());
  EXPECT_EQ(d.settings.GetBuildNode(), "M0");
  EXPECT_FALSE(hv::PathExists(d.File()));   // reading makes no file
}

TEST(DeviceSettings, FirmwareRule) {
  struct Case {
    const char* config;
    int expected;
  };
  const Case cases[] = {
      {"FWBelow152=0\n", 153},      {"FWBelow152=1\n", 151},         {"FWBelow152=0\nFWVersion=210\n", 210},
      {"FWVersion=99999\n", 32767}, {"FWVersion=-5\n", 0},           {"FWVersion=abc\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.config);
    Device d;
    d.Write(std::string("[Config]\n") + c.config);
    EXPECT_EQ(d.Read().firmwareVersion, c.expected);
  }
  for (short fw : {151, 152, 180}) {
    Device d;
    DeviceSetValues v = Sample();
    v.firmwareVersion = fw;
    ASSERT_TRUE(d.settings.WriteDeviceSet(v, FALSE));
    EXPECT_EQ(hv::IniGetString(d.File(), "Config", "FWBelow152", ""), fw == 151 ? "1" : "0");
    EXPECT_EQ(d.Read().firmwareVersion, fw);
  }
}

TEST(DeviceSettings, UnicodeResourceReadsAnyNonZeroAndWritesOne) {
  Device d;
  d.Write("[CONFIG]\nunicoderesource=5\n");
  int asked = 0;
  DeviceSetValues v = d.Read(FALSE, &asked);
  EXPECT_TRUE(v.unicodeResource);
  EXPECT_EQ(asked, 0);   // the configuration is not asked when the file answers
  ASSERT_TRUE(d.settings.WriteDeviceSet(v, FALSE));
  EXPECT_EQ(hv::IniGetString(d.File(), "Config", "UnicodeResource", ""), "1");
}

TEST(DeviceSettings, RoundTripInWindows1252InTheWrittenOrder) {
  Device d;
  ASSERT_TRUE(d.settings.WriteDeviceSet(Sample(), TRUE));
  ASSERT_TRUE(d.settings.WriteDataVersion());
  const std::string bytes = hvtest::ReadAll(d.File());
  EXPECT_EQ(bytes,
            "[Config]\r\nType=KOLM_G320\r\nRemoteType=\r\nFWBelow152=0\r\nFWVersion=152\r\nUnicodeResource=1\r\n"
            "Version=2910\r\n"
            "[Connection]\r\nSlot=CAN_0\r\nNetwork=SIMNET\r\nNetworkPara=B\xE4"
            "ckerei \x80 Stra\xDF" "e\r\nNode=M0\r\n"
            "[Resource Offset]\r\nBitmap=1000000\r\nText=2000000\r\nDataPoint=3000000\r\nMask=4000000\r\n"
            "Driver=5000000\r\nDevice=6000000\r\nFont=7000000\r\nSystem=8000000\r\n");
  const DeviceSetValues back = d.Read();
  const auto fields = [](const DeviceSetValues& v) {
    return wxString::Format("%s|%s|%d|%d|%s|%s|%s", v.type, v.remoteType, v.firmwareVersion, v.unicodeResource,
                            v.slot, v.network, v.networkPara);
  };   // the node is written only: the table row keeps it
  EXPECT_EQ(fields(back), fields(Sample()));
}

TEST(DeviceSettings, AnEditKeepsTheOffsetsAndOtherSections) {
  Device d;
  ASSERT_TRUE(d.settings.WriteDeviceSet(Sample(), TRUE));
  CMapStringToString fonts{{"1031-Standard", "Gross"}, {"1033-Standard", "<kein>"}};
  ASSERT_TRUE(d.settings.WriteSettingsSection(kSectionFonts, fonts));
  ASSERT_TRUE(d.settings.WriteConfigString("FtpUsername", "admin"));
  DeviceSetValues v = Sample();
  v.type = "CE_PANEL7";
  ASSERT_TRUE(d.settings.WriteDeviceSet(v, FALSE));
  EXPECT_EQ(hv::IniGetString(d.File(), "Resource Offset", "Font", ""), "7000000");
  EXPECT_EQ(hv::IniGetString(d.File(), "Config", "Type", ""), "CE_PANEL7");
  EXPECT_EQ(d.settings.GetFtpUsername(FALSE), "admin");
  CMapStringToString back;
  ASSERT_TRUE(d.settings.File().ReadSection(kSectionFonts, back));
  EXPECT_EQ(back, fonts);
}

TEST(DeviceSettings, TextsWindows1252CannotHoldAreRefused) {
  Device d;
  ASSERT_TRUE(d.settings.WriteDeviceSet(Sample(), TRUE));
  const std::string before = hvtest::ReadAll(d.File());
  DeviceSetValues v = Sample();
  v.networkPara = S("Łódź");
  EXPECT_FALSE(d.settings.WriteDeviceSet(v, FALSE));
  EXPECT_FALSE(d.settings.WriteConfigString("FtpPassword", S("пароль")));
  EXPECT_FALSE(d.settings.WriteSettingsSection(kSectionFonts, {{"1031-Standard", S("漢字")}}));
  EXPECT_EQ(hvtest::ReadAll(d.File()), before);
}

TEST(DeviceSettings, FileIsFoundWhateverItsSpelling) {
  Device d;
  hvtest::WriteAll(hv::JoinPath(d.folder, "device.set"), "[config]\r\ntype=KOLM_T420\r\n");
  EXPECT_EQ(d.Read().type, "KOLM_T420");
  ASSERT_TRUE(d.settings.WriteDeviceSet(Sample(), TRUE));
  ASSERT_TRUE(d.settings.WriteConfigString("RecipePath", "\\Storage Card"));
  ASSERT_TRUE(d.settings.SetUseCF(1));
  const std::vector<wxString> names = hv::ListFolder(d.folder);
  ASSERT_EQ(names.size(), 1u);   // no second spelling, no temporary copy left
  EXPECT_EQ(names[0], "device.set");
  EXPECT_EQ(d.settings.GetPath(), hv::JoinPath(d.folder, "device.set"));
  EXPECT_EQ(d.Read().type, "KOLM_G320");
  EXPECT_EQ(d.settings.GetRecipePath(), "\\Storage Card");
}

TEST(DeviceSettings, FailedWriteLeavesTheOldFileIntact) {
  Device d;
  ASSERT_TRUE(d.settings.WriteDeviceSet(Sample(), TRUE));
  const std::string before = hvtest::ReadAll(d.File());
  DeviceSetValues v = Sample();
  v.type = "CE_PANEL7";
  {
    hvtest::FileSizeLimit limit(64);
    EXPECT_FALSE(d.settings.WriteDeviceSet(v, FALSE));
    EXPECT_FALSE(d.settings.WriteConfigString("FtpUsername", "admin"));
  }
  EXPECT_EQ(hvtest::ReadAll(d.File()), before);
  EXPECT_EQ(hv::ListFolder(d.folder).size(), 1u);
  // A settings object that points nowhere writes nothing.
  CDeviceSettings none;
  EXPECT_FALSE(none.WriteDeviceSet(v, TRUE));
  EXPECT_FALSE(none.WriteConfigString("Type", "X"));
}

TEST(DeviceSettings, UseCFOnlyWhereACardIsPossible) {
  Device d;
  EXPECT_TRUE(d.settings.UsesCF(TRUE));    // default: available
  EXPECT_FALSE(d.settings.UsesCF(FALSE));
  ASSERT_TRUE(d.settings.SetUseCF(1));
  EXPECT_FALSE(d.settings.UsesCF(FALSE));   // set, but the device has no card
  EXPECT_EQ(d.settings.GetUseCF(0), 1);
  BOOL written = FALSE;
  EXPECT_TRUE(d.settings.ExchangeUseCF(0, TRUE, &written));   // answers what it was before
  EXPECT_TRUE(written);
  EXPECT_FALSE(d.settings.UsesCF(TRUE));
  EXPECT_FALSE(d.settings.ExchangeUseCF(1, TRUE));
  EXPECT_EQ(hv::IniGetString(d.File(), "Config", "UseCF", ""), "1");
}

TEST(DeviceSettings, FtpUserFallsBackToTheBrandsRegistryValue) {
  Device d;
  d.home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"supervisor\"=\"service\"\n");
  EXPECT_EQ(d.settings.GetFtpUsername(FALSE), "service");
  EXPECT_EQ(hv::IniGetString(d.File(), "Config", "FtpUsername", ""), "service");
}

TEST(DeviceSettings, ExtensionNameFromTheDeviceTools) {
  Device d;
  EXPECT_EQ(ReadDeviceExtensionName(d.folder), "");
  hvtest::WriteAll(hv::JoinPath(d.folder, "Device.Cfg"),
                   "[Extensions]\n0= " + std::string(40, 'E') + "\n1=OTHER\n");
  EXPECT_EQ(ReadDeviceExtensionName(d.folder), wxString(31, 'E'));
  EXPECT_EQ(ReadDeviceExtensionName(wxString()), "");
}
