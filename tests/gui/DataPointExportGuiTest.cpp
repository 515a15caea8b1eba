// The project's data-point export from its command in the real window: the save dialog
// is asked with "DP.xml" in the project folder and the file holds the device's tags.
#include <gtest/gtest.h>

#include <cstdlib>

#include "framework/CommandIds.h"
#include "model/DataPointExchange.h"
#include "platform/Paths.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/model/DpXmlFixture.h"

using hvtest::ChildNamed;
using hvtest::S;

namespace {

class DataPointExportGui : public hvtest::ProjectWindowFixture {};

TEST_F(DataPointExportGui, ExportWritesTheModbusDevicesTags) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  AnswerNewDevice({S("Panel"), S("KOLM_G320"), S("CAN_R515"), S("MBTCP")});
  ASSERT_TRUE(SelectInTree(project));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  hvtest::PumpUntilIdle();
  auto* device = dynamic_cast<CPOPrjDevice*>(ChildNamed(project, S("Panel")));
  ASSERT_TRUE(device);
  device->SetDeviceParameters("CAN_R515;x;10.1.2.3");
  auto points = hvtest::MappedPoints();
  points.push_back({"Zu weit", "9|Digital Input|16.00", 4, 1});
  hvtest::AddDataPoints(device->GetDeviceFolder(), device->GetDeviceNumber(), points);

  DpXmlExportRequest seen;
  const wxString target = home.Sub("DP.xml");
  ui.Answer<DpXmlExportRequest>([&](DpXmlExportRequest& r) {
    seen = r;
    r.path = target;
    r.protocol = 1;
    r.port = 1502;
    return IDOK;
  });
  ui.ExpectMessage(11800);
  ASSERT_TRUE(SelectInTree(project));
  ASSERT_TRUE(EnabledInTree(ID_EXPORT_DATA_POINTS));
  ASSERT_TRUE(RunInTree(ID_EXPORT_DATA_POINTS));
  EXPECT_EQ(seen.fileName, "DP.xml");
  EXPECT_EQ(seen.folder, project->GetFolder());
  EXPECT_EQ(seen.port, 502);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(ui.MessageTexts().back().StartsWith("1 "));
  const std::string xml = hvtest::ReadAll(target);
  EXPECT_NE(xml.find("<address>10.1.2.3</address><protocol>UDP</protocol><port>1502</port>"), std::string::npos);
  const std::string cmd = "/usr/bin/python3 -c \"import sys,xml.etree.ElementTree as E; r=E.parse(sys.argv[1]).getroot();"
                          " sys.exit(0 if len(r.findall('.//tag'))==10 else 1)\" '" +
                          std::string(target.utf8_str()) + "'";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
}

// A device made by the wizard keeps its folder as a placeholder in the parameters: no
// address, so the export leaves it out and says so.
TEST_F(DataPointExportGui, ADeviceWithoutAnAddressIsLeftOutAndNamed) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  AnswerNewDevice({S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")});
  ASSERT_TRUE(SelectInTree(project));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  hvtest::PumpUntilIdle();
  auto* device = dynamic_cast<CPOPrjDevice*>(ChildNamed(project, S("Panel")));
  ASSERT_TRUE(device);
  device->SetDeviceParameters(";" + device->GetDeviceFolder());   // as the wizard starts them
  hvtest::AddDataPoints(device->GetDeviceFolder(), device->GetDeviceNumber(), hvtest::MappedPoints());
  const wxString target = home.Sub("DP.xml");
  ui.Answer<DpXmlExportRequest>([&](DpXmlExportRequest& r) {
    r.path = target;
    return IDOK;
  });
  ui.ExpectMessage(11800);
  ASSERT_TRUE(SelectInTree(project));
  ASSERT_TRUE(RunInTree(ID_EXPORT_DATA_POINTS));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(ui.MessageTexts().back().Contains(S("'Panel'"))) << ui.MessageTexts().back();
  const std::string xml = hvtest::ReadAll(target);
  EXPECT_EQ(xml.find("$$$"), std::string::npos);
  EXPECT_EQ(xml.find("<device>"), std::string::npos);
}

// A file that cannot be made is reported as such (10673); a file that can be made but
// not written whole is a write failure (10674) and keeps the old file.
TEST_F(DataPointExportGui, AFileThatCannotBeMadeIsToldApartFromAFailedWrite) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  AnswerNewDevice({S("Panel"), S("KOLM_G320"), S("CAN_R515"), S("MBTCP")});
  ASSERT_TRUE(SelectInTree(project));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  hvtest::PumpUntilIdle();
  wxString target = home.Sub("fehlt/DP.xml");
  ui.Answer<DpXmlExportRequest>([&](DpXmlExportRequest& r) {
    r.path = target;
    return IDOK;
  });
  ui.ExpectMessage(10673);
  ASSERT_TRUE(SelectInTree(project));
  ASSERT_TRUE(RunInTree(ID_EXPORT_DATA_POINTS));
  EXPECT_TRUE(ui.AllExpectationsMet());

  target = home.Sub("DP.xml");
  hvtest::WriteAll(target, "alt");
  {
    hvtest::FileSizeLimit limit(10);
    ui.ExpectMessage(10674);
    ASSERT_TRUE(SelectInTree(project));
    ASSERT_TRUE(RunInTree(ID_EXPORT_DATA_POINTS));
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(hvtest::ReadAll(target), "alt");
}

}  // namespace
