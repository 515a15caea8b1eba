#include <gtest/gtest.h>

#include <cstdlib>

#include "model/DataPointXml.h"
#include "platform/Paths.h"
#include "tests/model/DpXmlFixture.h"
#include "tests/support/TestEnv.h"

namespace {

std::string Golden(const char* name) {
  std::string bytes;
  hv::ReadFileBytes(wxString(HV_TEST_SOURCE_DIR) + "/model/golden/" + name, bytes);
  while (!bytes.empty() && bytes.back() == '\n') bytes.pop_back();
  return bytes;
}

TEST(DataPointXml, DeviceAddressIsTheThirdParameterField) {
  EXPECT_EQ(DpXmlDeviceAddress(wxS("MBTCP;TCP_0;192.168.0.10;502")), "192.168.0.10");
  EXPECT_EQ(DpXmlDeviceAddress(wxS("MBTCP;TCP_0;10.0.0.7")), "10.0.0.7");
  EXPECT_EQ(DpXmlDeviceAddress(wxS("MBTCP;10.0.0.8")), "10.0.0.8");
  EXPECT_EQ(DpXmlDeviceAddress(wxS("MBTCP")), "");
  EXPECT_EQ(DpXmlDeviceAddress(wxS("MBTCP;TCP_0;;502")), "");
  EXPECT_EQ(DpXmlDeviceAddress(wxS("MBTCP;TCP_0;")), "");
  EXPECT_EQ(DpXmlDeviceAddress(wxS("MBTCP;")), "");
}

TEST(DataPointXml, NamesAreEscapedAndEncodedInLatin1) {
  EXPECT_EQ(DpXmlEscape(wxS("a<b>&\"c'")), "a&lt;b&gt;&amp;&quot;c&apos;");
  EXPECT_EQ(DpXmlEscape(wxS("Zähler")), "Z\xE4hler");
  EXPECT_EQ(DpXmlEscape(wxS("\u20AC")), "&#8364;");
  EXPECT_EQ(DpXmlEscape(wxS("a\tb")), "a b");
}

// The fixture project matches the stored file, counts its unplaceable points, and is
// well-formed for an independent parser.
TEST(DataPointXml, FixtureProjectMatchesGoldenFileAndParses) {
  hvtest::TempDir dir;
  const auto devices = hvtest::MakeDpFixture(dir.Path());
  DpXmlSummary summary;
  const wxString path = dir.Path() + "/DP.xml";
  ASSERT_TRUE(WriteDataPointsXml(path, devices, {1, 5020}, summary));
  std::string bytes;
  ASSERT_TRUE(hv::ReadFileBytes(path, bytes));
  EXPECT_EQ(bytes, Golden("dp_export.xml"));
  EXPECT_EQ(summary.devices, 2u);
  EXPECT_EQ(summary.tags, 10u);
  EXPECT_EQ(summary.leftOut, 3u);
  const std::string cmd = "/usr/bin/python3 -c \"import sys,xml.etree.ElementTree as E; r=E.parse(sys.argv[1]).getroot();"
                          " sys.exit(0 if len(r.findall('.//tag'))==10 else 1)\" '" +
                          std::string(path.utf8_str()) + "'";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
}

TEST(DataPointXml, OnlyOtherNetworksGiveHeadAndTail) {
  hvtest::TempDir dir;
  auto devices = hvtest::MakeDpFixture(dir.Path());
  devices.erase(devices.begin(), devices.begin() + 2);
  DpXmlSummary summary;
  EXPECT_EQ(BuildDataPointsXml(devices, {}, summary),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><ModbusTCPOPCServerCfg><devices>"
            "</devices></ModbusTCPOPCServerCfg>");
  EXPECT_TRUE(IsEthernetNetwork(wxS("mbtcp")));
  EXPECT_FALSE(IsEthernetNetwork(wxS("SIMNET")));
  // A missing table gives a device without tags.
  devices.push_back({wxS("Leer"), wxS("ethernet"), wxS("x;y;1.2.3.4"), dir.Path() + "/none", 9});
  EXPECT_NE(BuildDataPointsXml(devices, {}, summary).find("<protocol>TCP</protocol><port>502</port><tags></tags>"),
            std::string::npos);
}

// A memory point's element count is its sixth field: missing or empty it counts 0 and
// gives no tag; table addresses give none either, their text length included.
TEST(DataPointXml, MemoryPointsWithoutACountGiveNoTag) {
  hvtest::TempDir dir;
  std::vector<DpXmlDevice> devices{{wxS("Presse"), wxS("ETHERNET"), wxS("x;y;10.0.0.1"), dir.Path() + "/dev", 1}};
  hvtest::AddDataPoints(devices[0].folder, 1,
                        {{"Ohne", "8|M|W|81|0|0", 8, 3},
                         {"Leer", "8|M|W|81|1|0|", 8, 3},
                         {"Null", "8|M|W|81|2|0|0", 8, 3},
                         {"Text", "HR|40|TEXT|12", 0x100, 3},
                         {"Eins", "8|M|W|81|3|0|1", 8, 3}});
  DpXmlSummary summary;
  const wxString path = dir.Path() + "/DP.xml";
  ASSERT_TRUE(WriteDataPointsXml(path, devices, {}, summary));
  EXPECT_EQ(hvtest::ReadAll(path),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><ModbusTCPOPCServerCfg><devices><device><name>Presse</name>"
            "<address>10.0.0.1</address><protocol>TCP</protocol><port>502</port><tags><tag><name>Eins</name>"
            "<address>0x43007</address><table>4</table><offset>12294</offset><datatype>I2</datatype></tag></tags>"
            "</device></devices></ModbusTCPOPCServerCfg>");
  EXPECT_EQ(summary.tags, 1u);
  EXPECT_EQ(summary.leftOut, 3u);
}

// A write that breaks midway keeps the old contents.
TEST(DataPointXml, FailedExportKeepsTheOldFile) {
  hvtest::TempDir dir;
  const auto devices = hvtest::MakeDpFixture(dir.Path());
  const wxString path = dir.Path() + "/DP.xml";
  ASSERT_TRUE(hv::WriteFileAtomic(path, "old"));
  DpXmlSummary summary;
  wxString error;
  {
    hvtest::FileSizeLimit limit(64);
    EXPECT_FALSE(WriteDataPointsXml(path, devices, {}, summary, &error));
  }
  EXPECT_EQ(hvtest::ReadAll(path), "old");
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(hv::ListFolder(dir.Path()).size(), 4u);  // no temporary file stays behind
}

// An address that is still a placeholder is no address: the device is left out and
// named, the others are written as before.
TEST(DataPointXml, PlaceholderAddressesLeaveTheirDeviceOut) {
  hvtest::TempDir dir;
  auto devices = hvtest::MakeDpFixture(dir.Path());
  DpXmlSummary plain;
  const std::string before = BuildDataPointsXml(devices, {}, plain);
  devices.push_back({wxS("Wizard"), wxS("MBTCP"), wxS(";$$$DEVICEPATH$$$"), dir.Path() + "/none", 7});
  devices.push_back({wxS("Symbol"), wxS("ETHERNET"), wxS("x;y;$$$SYMBOLDATEIPATH$$$\\plc.sym"), dir.Path() + "/none", 8});
  // No address set, or a folder in its place: left out and named too.
  devices.push_back({wxS("Unset"), wxS("MBTCP"), wxS("CE_TCP;x;"), dir.Path() + "/none", 9});
  devices.push_back({wxS("Folder"), wxS("MBTCP"), wxS("CE_TCP;/home/u/Halle/Panel"), dir.Path() + "/none", 10});
  DpXmlSummary summary;
  const std::string xml = BuildDataPointsXml(devices, {}, summary);
  EXPECT_EQ(xml, before);
  EXPECT_EQ(xml.find("$$$"), std::string::npos);
  EXPECT_EQ(summary.devices, plain.devices);
  EXPECT_EQ(summary.devicesLeftOut, (std::vector<wxString>{"Wizard", "Symbol", "Unset", "Folder"}));
}

// A port after the address is the panel's FTP server's: the server configuration gets
// the host alone.
TEST(DataPointXml, AnFtpPortStaysOutOfTheDeviceAddress) {
  hvtest::TempDir dir;
  const std::vector<std::pair<wxString, std::string>> rows = {
      {wxS("CE_TCP;x;192.168.0.10:2121"), "<address>192.168.0.10</address>"},
      {wxS("CE_TCP;x;[fe80::1]:2121"), "<address>fe80::1</address>"},
      {wxS("CE_TCP;x;fe80::1"), "<address>fe80::1</address>"},
      {wxS("CE_TCP;x;panel.local"), "<address>panel.local</address>"},
  };
  for (const auto& [param, expected] : rows) {
    DpXmlSummary summary;
    const std::string xml = BuildDataPointsXml({{wxS("P"), wxS("MBTCP"), param, dir.Path() + "/none", 1}}, {}, summary);
    EXPECT_NE(xml.find(expected), std::string::npos) << param << ": " << xml;
  }
}

}  // namespace
