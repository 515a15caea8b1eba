// "Ändern" of a device: rename with the references in the project's tables, change of
// hardware and remote panel type, the PC connection of the other devices.
#include <gtest/gtest.h>

#include "framework/SettingsFile.h"

#include "framework/UpdateHints.h"
#include "model/DeviceRename.h"
#include "model/DeviceSaveJournal.h"
#include "model/DeviceTexts.h"
#include "model/KilledWork.h"
#include "platform/DeviceConfig.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/model/DeviceTestSupport.h"
#include "tests/platform/dbase/DbTestSupport.h"

using devtest::DeviceFixture;
using devtest::IniValue;
using devtest::Names;
using devtest::Named;
using devtest::NewDevice;
using hvtest::S;

namespace {

void AddRow(const wxString& folder, const wxString& name, const wxString& param) {
  hv::db::Table t;
  ASSERT_TRUE(t.open(folder, hv::db::GeraetSchema()));
  hv::db::GeraetRow row;
  row.name = name;
  row.type = "DEV";
  row.network = 1;
  row.param = param;
  ASSERT_TRUE(hv::db::geraet_insert(t, row));
}

// Name and parameter text of every row, in table order, read by an independent reader.
std::vector<std::pair<std::string, std::string>> Rows(const wxString& folder) {
  std::vector<std::pair<std::string, std::string>> rows;
  hv::db::DropCachedTables();
  dbtest::ShapeReader r(hv::JoinPath(folder, "GERAET.DBF"));
  EXPECT_TRUE(r.ok());
  for (int i = 0; r.ok() && i < r.count(); ++i) rows.emplace_back(r.str(i, "BEZEICH"), r.str(i, "PARAM"));
  return rows;
}

// Every column of every row, by an independent reader (the header's counters aside).
std::vector<std::string> RowTexts(const wxString& folder) {
  std::vector<std::string> rows;
  hv::db::DropCachedTables();
  dbtest::ShapeReader r(hv::JoinPath(folder, "GERAET.DBF"));
  EXPECT_TRUE(r.ok());
  for (int i = 0; r.ok() && i < r.count(); ++i) {
    std::string row;
    for (const char* field : {"GNR", "BEZEICH", "TYP", "NNR", "KNOTEN", "PARAM", "MARKE"}) row += r.str(i, field) + "|";
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

TEST_F(DeviceFixture, RenameMovesTheFolderAndRenamesOnlyWhatStandsForTheDevice) {
  ASSERT_TRUE(Create(Named("A")));
  ASSERT_TRUE(Create(Named("B")));
  ASSERT_TRUE(Create(Named("C")));
  const wxString b = DeviceFolder("B");
  const wxString c = DeviceFolder("C");
  // B lists A as a peer; "Anlagen" only looks like A.
  AddRow(b, "A", S(";$$$PROJECTPATH$$$\\A\\CoDeSys\\plc.sym;\\\\Anlagen\\A"));
  AddRow(b, "Anlagen", S(";$$$PROJECTPATH$$$\\Anlagen\\A.sym;1"));
  // C knows A by its symbol file only.
  AddRow(c, "Fremd", S("x;$$$PROJECTPATH$$$/A/CoDeSys/plc.sym;2"));
  const auto bBefore = Rows(b);

  const wxString folder = projectFolder;
  AnswerSheet(
      [folder](CPOPrjDevice& d) {
        const wxString collapsed = d.CollapsePathMacros();
        d.SetName("Z");
        d.SetDeviceFolder(hv::JoinPath(folder, "Z"));
        d.ExpandPathMacros(collapsed);
      },
      IDOK);
  ui.ExpectMessage(10685);
  CPOPrjDevice* device = Find("A");
  view.entries.clear();
  device->OnEdit();
  EXPECT_TRUE(ui.AllExpectationsMet());

  EXPECT_EQ(device->GetName(), "Z");
  EXPECT_EQ(device->GetDeviceFolder(), DeviceFolder("Z"));
  EXPECT_FALSE(hv::PathExists(DeviceFolder("A")));
  EXPECT_TRUE(hv::IsFile(hv::JoinPath(DeviceFolder("Z"), "DEVICE.SET")));
  EXPECT_EQ(device->GetSettings().GetPath(), hv::JoinPath(DeviceFolder("Z"), "DEVICE.SET"));
  EXPECT_EQ(device->GetDeviceParameters(), "CAN_R515;" + DeviceFolder("Z") + "\\CoDeSys\\plc.sym;127.0.0.7");
  EXPECT_EQ(IniValue(hv::JoinPath(DeviceFolder("Z"), "DEVICE.SET"), "Resource Offset", "Mask"), "4000000");

  using Rows_t = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(Rows(DeviceFolder("Z")), (Rows_t{{"Z", "CAN_R515;$$$DEVICEPATH$$$\\CoDeSys\\plc.sym;127.0.0.7"}}));
  EXPECT_EQ(Rows(b), (Rows_t{bBefore[0],
                             {"Z", ";$$$PROJECTPATH$$$\\Z\\CoDeSys\\plc.sym;\\\\Anlagen\\Z"},
                             {"Anlagen", ";$$$PROJECTPATH$$$\\Anlagen\\A.sym;1"}}));
  EXPECT_EQ(Rows(c)[1], (std::pair<std::string, std::string>{"Z", "x;$$$PROJECTPATH$$$/Z/CoDeSys/plc.sym;2"}));
  EXPECT_EQ(Rows(c)[0].first, "C");
  const std::vector<int> hints = view.Hints();
  EXPECT_NE(std::find(hints.begin(), hints.end(), HINT_OBJECT_CHANGED), hints.end());
  ASSERT_FALSE(hints.empty());
  EXPECT_EQ(hints.back(), HINT_REBUILD_TREE);
}

TEST_F(DeviceFixture, RenameThatCannotMoveTheFolderKeepsTheOldName) {
  CPOPrjDevice* device = Create(Named("A"));
  ASSERT_TRUE(device);
  hvtest::WriteAll(DeviceFolder("Y"), "im Weg");
  const wxString folder = projectFolder;
  AnswerSheet(
      [folder](CPOPrjDevice& d) {
        const wxString collapsed = d.CollapsePathMacros();
        d.SetName("Y");
        d.SetDeviceFolder(hv::JoinPath(folder, "Y"));
        d.ExpandPathMacros(collapsed);
      },
      IDOK);
  ui.ExpectMessage(10685);
  ui.ExpectMessage(10666);
  device->OnEdit();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(device->GetName(), "A");
  EXPECT_EQ(device->GetDeviceFolder(), DeviceFolder("A"));
  EXPECT_TRUE(device->GetDeviceParameters().StartsWith("CAN_R515;" + DeviceFolder("A") + "\\"));
  EXPECT_EQ(hvtest::ReadAll(DeviceFolder("Y")), "im Weg");
  EXPECT_EQ(Rows(DeviceFolder("A"))[0].first, "A");
}

TEST_F(DeviceFixture, CancelledSheetChangesNothing) {
  CPOPrjDevice* device = Create(Named("A"));
  ASSERT_TRUE(device);
  const wxString set = hv::JoinPath(device->GetDeviceFolder(), "DEVICE.SET");
  const std::string before = hvtest::ReadAll(set);
  AnswerSheet([](CPOPrjDevice& d) { d.SetName("B"); }, IDCANCEL);
  device->OnEdit();
  EXPECT_EQ(device->GetName(), "A");
  EXPECT_EQ(hvtest::ReadAll(set), before);
  EXPECT_TRUE(ui.MessageIds().empty());
}

TEST_F(DeviceFixture, TypeChangeReplacesTheHardwareOnlyWhenAskedAndWhenComplete) {
  CPOPrjDevice* device = Create(Named("A", "KOLM_T420"));
  ASSERT_TRUE(device);
  const wxString hardware = hv::JoinPath(device->GetDeviceFolder(), "Hardware");
  const wxString set = hv::JoinPath(device->GetDeviceFolder(), "DEVICE.SET");
  const auto toG320 = [](CPOPrjDevice& d) { d.SetHardwareType("KOLM_G320"); };

  // Declined: nothing changes.
  AnswerSheet(toG320, IDOK);
  ui.ExpectMessage(10667, IDNO);
  device->OnEdit();
  EXPECT_EQ(device->GetHardwareType(), "KOLM_T420");
  EXPECT_EQ(IniValue(set, "Config", "Type"), "KOLM_T420");
  EXPECT_EQ(Names(hardware), Names(hv::InstalledTypeFolder("KOLM_T420")));

  // The new files do not fit: the old ones and the old type stay.
  AnswerSheet(toG320, IDOK);
  ui.ExpectMessage(10667, IDYES);
  ui.ExpectMessage(10282);
  {
    hvtest::FileSizeLimit limit(3000);
    device->OnEdit();
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(device->GetHardwareType(), "KOLM_T420");
  EXPECT_EQ(IniValue(set, "Config", "Type"), "KOLM_T420");
  EXPECT_EQ(Names(hardware), Names(hv::InstalledTypeFolder("KOLM_T420")));
  EXPECT_FALSE(device->GetConfigAccess().IsGraphicDisplay());
  EXPECT_TRUE(devtest::Leftovers(device->GetDeviceFolder()).empty());

  // Accepted: files, type and configuration follow, and the display's folders come.
  AnswerSheet(toG320, IDOK);
  ui.ExpectMessage(10667, IDYES);
  device->OnEdit();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(IniValue(set, "Config", "Type"), "KOLM_G320");
  EXPECT_EQ(Names(hardware), Names(hv::InstalledTypeFolder("KOLM_G320")));
  EXPECT_TRUE(device->GetConfigAccess().IsGraphicDisplay());
  EXPECT_EQ(Names(hv::JoinPath(device->GetDeviceFolder(), "Fonts")), (std::vector<std::string>{"Gross.fnt", "Standard.fnt"}));
  EXPECT_TRUE(hv::IsFolder(hv::JoinPath(device->GetDeviceFolder(), "Bitmaps")));
  // No offer follows a type change.
  device->LoadChildren();
  RunDeferred();
  EXPECT_FALSE(ui.Saw(10711));
}

TEST_F(DeviceFixture, RemotePanelBringsItsPaletteAndDisplayAndTakesThemAway) {
  NewDevice answers = Named("Steuerung", "CTRL_515");
  CPOPrjDevice* device = Create(answers);
  ASSERT_TRUE(device);
  EXPECT_FALSE(device->GetConfigAccess().GetDisplayConfig());
  const wxString palette = hv::JoinPath(device->GetDeviceFolder(), "Hardware/Palette.pal");
  EXPECT_FALSE(hv::IsFile(palette));

  AnswerSheet([](CPOPrjDevice& d) { d.SetRemoteType("KOLM_G320"); }, IDOK);
  ui.ExpectMessage(TXT_REMOTE_TYPE_CHANGED, IDYES);
  device->OnEdit();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(IniValue(hv::JoinPath(device->GetDeviceFolder(), "DEVICE.SET"), "Config", "RemoteType"), "KOLM_G320");
  EXPECT_EQ(hvtest::ReadAll(palette), hvtest::ReadAll(hv::InstalledRemotePalette("CTRL_515", "KOLM_G320")));
  EXPECT_TRUE(device->GetConfigAccess().GetDisplayConfig());
  EXPECT_EQ(device->GetConfigAccess().GetDisplayName(), S("KOLM G320 Remote-Panel & Tastatur"));
  EXPECT_TRUE(hv::IsFolder(hv::JoinPath(device->GetDeviceFolder(), "Bitmaps")));

  AnswerSheet([](CPOPrjDevice& d) { d.SetRemoteType(""); }, IDOK);
  ui.ExpectMessage(TXT_REMOTE_TYPE_CHANGED, IDYES);
  device->OnEdit();
  EXPECT_TRUE(ui.AllExpectationsMet());
  // The controller has no palette of its own.
  EXPECT_FALSE(hv::IsFile(palette));
  EXPECT_FALSE(device->GetConfigAccess().GetDisplayConfig());
}

TEST_F(DeviceFixture, ChangedConnectionGoesToEveryDeviceAndItsFile) {
  CPOPrjDevice* first = Create(Named("P1"));
  CPOPrjDevice* second = Create(Named("P2"));
  ASSERT_TRUE(first && second);
  AnswerSheet(
      [](CPOPrjDevice& d) {
        d.SetNetwork("SIMNET");
        d.SetSlot("CAN_1");
        d.SetNetworkPara("500kBaud");
      },
      IDOK);
  ui.ExpectMessage(TXT_CONNECTION_CHANGED, IDYES);
  first->OnEdit();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(second->GetNetwork(), "SIMNET");
  EXPECT_EQ(second->GetSlot(), "CAN_1");
  EXPECT_EQ(second->GetNetworkPara(), "500kBaud");
  for (const char* name : {"P1", "P2"}) {
    const wxString set = hv::JoinPath(DeviceFolder(name), "DEVICE.SET");
    EXPECT_EQ(IniValue(set, "Connection", "Network"), "SIMNET") << name;
    EXPECT_EQ(IniValue(set, "Connection", "Slot"), "CAN_1") << name;
    EXPECT_EQ(IniValue(set, "Connection", "NetworkPara"), "500kBaud") << name;
  }
  // The next load reads the new connection.
  project->DeleteAllChildren();
  project->LoadChildren();
  EXPECT_EQ(Find("P2")->GetNetwork(), "SIMNET");
}

TEST_F(DeviceFixture, LostOwnRowIsReportedNotIgnored) {
  CPOPrjDevice* device = Create(Named("A"));
  ASSERT_TRUE(device);
  {
    hv::db::Table t;
    hv::db::GeraetRow row;
    ASSERT_TRUE(t.open(device->GetDeviceFolder(), hv::db::GeraetSchema()));
    ASSERT_TRUE(hv::db::geraet_select(t, row, hv::db::kFirst, "-GNR"));
    ASSERT_TRUE(hv::db::geraet_delete(t));
  }
  const wxString set = hv::JoinPath(device->GetDeviceFolder(), "DEVICE.SET");
  const std::string before = hvtest::ReadAll(set);
  AnswerSheet([](CPOPrjDevice& d) { d.SetNode("M9"); d.SetSlot("CAN_7"); }, IDOK);
  ui.ExpectMessage(TXT_DEVICE_ROW_FAILED);
  device->OnEdit();
  EXPECT_TRUE(ui.AllExpectationsMet());
  // Nothing of the failed save is written, or left to be completed later.
  EXPECT_EQ(hvtest::ReadAll(set), before);
  EXPECT_NE(device->GetSlot(), "CAN_7");
  EXPECT_TRUE(devtest::Leftovers(device->GetDeviceFolder()).empty());
}

TEST(DeviceRename, NamesAreReplacedAsWholeComponentsOnly) {
  EXPECT_EQ(ReplaceNameComponent(S("drv;\\\\srv\\Anlagen\\A\\x.sym;A"), "A", "Neu"),
            S("drv;\\\\srv\\Anlagen\\Neu\\x.sym;Neu"));
  EXPECT_EQ(ReplaceNameComponent("/p/geraet1/Geraet10/x", "GERAET1", "G2"), "/p/G2/Geraet10/x");
  EXPECT_EQ(ReplaceNameComponent("", "A", "B"), "");
  EXPECT_EQ(SymbolFileOf("drv;sym;addr"), "sym");
  EXPECT_EQ(SymbolFileOf("drv;sym"), "sym");
  EXPECT_EQ(SymbolFileOf("drv"), "");
}

// A full disk at "DEVICE.SET" (its temporary file is the one that grows past the limit):
// the row already written goes back, no journal is left, nothing asks about the PC
// connection, and the next start changes nothing.
TEST_F(DeviceFixture, FullDiskAtTheSettingsFileLeavesTheOldRowAndFileAndNoJournal) {
  CPOPrjDevice* device = Create(Named("A"));
  ASSERT_TRUE(device);
  const wxString folder = device->GetDeviceFolder();
  const wxString set = hv::JoinPath(folder, "DEVICE.SET");
  const wxString table = hv::JoinPath(folder, "GERAET.DBF");
  // Source files of the simulation make the settings file the largest one written.
  CMapStringToString sources;
  for (int i = 0; i < 120; ++i) sources[wxString::Format("File%d", i)] = wxString::Format("src\\modul_%02d.c", i);
  ASSERT_TRUE(device->GetSettings().WriteSettingsSection("TavSim Source-Files", sources));
  const std::string setBefore = hvtest::ReadAll(set);
  const auto rowsBefore = RowTexts(folder);
  ASSERT_FALSE(rowsBefore.empty());
  const wxString node = device->GetNode(), slot = device->GetSlot();
  ASSERT_GT(setBefore.size(), 2400u);
  ASSERT_LT(hvtest::ReadAll(table).size(), 1600u);
  AnswerSheet(
      [](CPOPrjDevice& d) {
        d.SetNode("M9");
        d.SetSlot("CAN_7");
        d.SetNetworkPara("1MBaud");
      },
      IDOK);
  ui.ExpectMessage(TXT_DEVICE_SETTINGS_FAILED);
  {
    hvtest::FileSizeLimit limit(2000);
    device->OnEdit();
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(ui.Saw(TXT_CONNECTION_CHANGED));
  EXPECT_EQ(hvtest::ReadAll(set), setBefore);
  EXPECT_EQ(RowTexts(folder), rowsBefore);
  EXPECT_TRUE(devtest::Leftovers(folder).empty());
  // The device shows what its files hold.
  EXPECT_EQ(device->GetNode(), node);
  EXPECT_EQ(device->GetSlot(), slot);

  // The next start, with room again, finds nothing to finish.
  CleanUpKilledWork({projectFolder}, {});
  project->DeleteAllChildren();
  project->LoadChildren();
  ASSERT_TRUE(Find("A"));
  EXPECT_EQ(Find("A")->GetSlot(), slot);
  EXPECT_EQ(hvtest::ReadAll(set), setBefore);
  EXPECT_EQ(RowTexts(folder), rowsBefore);
}

// A journal the load cannot complete (the disk is full at "DEVICE.SET") is reported once
// and undone; an undo journal (a save that failed and was reported) is only ever undone.
TEST_F(DeviceFixture, AJournalTheLoadCannotCompleteIsReportedOnceAndUndone) {
  CPOPrjDevice* device = Create(Named("A"));
  ASSERT_TRUE(device);
  const wxString folder = device->GetDeviceFolder();
  const wxString set = hv::JoinPath(folder, "DEVICE.SET");
  CMapStringToString sources;
  for (int i = 0; i < 120; ++i) sources[wxString::Format("File%d", i)] = wxString::Format("src\\modul_%02d.c", i);
  ASSERT_TRUE(device->GetSettings().WriteSettingsSection("TavSim Source-Files", sources));
  const std::string setBefore = hvtest::ReadAll(set);
  const auto rowsBefore = RowTexts(folder);
  const wxString slot = device->GetSlot();
  // What a kill between the row and the settings file leaves.
  const auto halfSaved = [&] {
    CPOPrjDevice* d = Find("A");
    ASSERT_TRUE(d);
    devicesave::Change change;
    ASSERT_TRUE(devicesave::ReadOwnRow(folder, static_cast<std::uint16_t>(d->GetDeviceNumber()), change.oldRow));
    change.row = change.oldRow;
    change.row.node = "M9";
    change.settings = d->GetDeviceSetValues();
    change.settings->slot = "CAN_7";
    EXPECT_TRUE(devicesave::Begin(folder, change));
    EXPECT_TRUE(devicesave::WriteOwnRow(folder, change.row));
    EXPECT_NE(RowTexts(folder), rowsBefore);
  };
  const auto nextStart = [&] {
    CleanUpKilledWork({projectFolder}, {});
    project->DeleteAllChildren();
    project->LoadChildren();
  };

  halfSaved();
  ui.ExpectMessage(TXT_DEVICE_CHANGE_UNDONE);
  {
    hvtest::FileSizeLimit limit(2000);
    nextStart();
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(RowTexts(folder), rowsBefore);
  EXPECT_EQ(hvtest::ReadAll(set), setBefore);
  EXPECT_TRUE(devtest::Leftovers(folder).empty());
  nextStart();   // said once: nothing is left to say
  EXPECT_EQ(ui.MessageIds().size(), 1u);
  ASSERT_TRUE(Find("A"));
  EXPECT_EQ(Find("A")->GetSlot(), slot);

  // Undone, even with room to complete it.
  halfSaved();
  ASSERT_EQ(rename(hv::ToFs(hv::JoinPath(folder, devicesave::JournalName())).c_str(),
                   hv::ToFs(hv::JoinPath(folder, devicesave::UndoJournalName())).c_str()),
            0);
  nextStart();
  EXPECT_EQ(ui.MessageIds().size(), 1u);
  EXPECT_EQ(RowTexts(folder), rowsBefore);
  EXPECT_EQ(hvtest::ReadAll(set), setBefore);
  EXPECT_TRUE(devtest::Leftovers(folder).empty());
}

// A journal an earlier version left (a new row and settings, no old row) after a kill
// between the row and the settings file: the next start completes the change.
TEST_F(DeviceFixture, AnEarlierVersionsJournalIsCompleted) {
  CPOPrjDevice* device = Create(Named("A"));
  ASSERT_TRUE(device);
  const wxString folder = device->GetDeviceFolder();
  devicesave::Change change;
  ASSERT_TRUE(devicesave::ReadOwnRow(folder, static_cast<std::uint16_t>(device->GetDeviceNumber()), change.oldRow));
  change.row = change.oldRow;
  change.row.node = "M9";
  change.settings = device->GetDeviceSetValues();
  change.settings->slot = "CAN_7";
  ASSERT_TRUE(devicesave::Begin(folder, change));
  const wxString journal = hv::JoinPath(folder, devicesave::JournalName());
  std::string text = hvtest::ReadAll(journal), kept;
  bool oldRow = false;
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size());
    const std::string line = text.substr(at, end - at);
    if (!line.empty() && line[0] == '[') oldRow = line == "[OldRow]";
    if (!oldRow) kept += line + "\n";
    at = end + 1;
  }
  ASSERT_NE(kept, text);
  hvtest::WriteAll(journal, kept);
  ASSERT_TRUE(devicesave::WriteOwnRow(folder, change.row));

  CleanUpKilledWork({projectFolder}, {});
  project->DeleteAllChildren();
  project->LoadChildren();
  EXPECT_TRUE(ui.MessageIds().empty());
  ASSERT_TRUE(Find("A"));
  EXPECT_EQ(Find("A")->GetSlot(), "CAN_7");
  EXPECT_EQ(Find("A")->GetNode(), "M9");
  EXPECT_TRUE(devtest::Leftovers(folder).empty());
}
