#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <wx/filename.h>

#include "model/DataPointNames.h"
#include "model/UserDefinedDP.h"
#include "platform/Archive.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/model/DataPointTestSupport.h"

using namespace dptest;
using hvtest::S;

// --- names ---

TEST(DataPointNames, FromAddressFollowsPrefixModesAndSelfDefinedRules) {
  const struct {
    const char* address;
    int prefix;
    bool codesys;
    const char* expected;
  } cases[] = {
      {"8|M|W|81|0|0|1", 0, false, "PanelDevic_M"},
      {"8|M|W|81|0|0|1", 1, false, "M1_M"},
      {"9|Digital Input|2.05", 2, false, "Digital Input_2.05"},
      {"7|Motor|rest", 2, false, "Motor"},
      {"9|Digital Input|2.05", 2, true, "Digital_Input_2_05"},
      {"9|1abc", 2, true, "_1abc"},
      {"HR|0", 0, true, "PanelDevic_HR_0"},
      {"co|0", 0, true, "PanelDevic_co_0"},
      {"IR|10|R4|CDAB", 2, true, "IR_10_R4_CDAB"},
      {"9|ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789|X", 0, false, "PanelDevic|ABCDEFGHIJKLMNOP_X"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(dpname::FromAddress(c.address, c.prefix, "PanelDevice1", "M1 ", c.codesys), c.expected) << c.address;
}

TEST(DataPointNames, TypedCharactersAndCoDeSysNames) {
  EXPECT_FALSE(dpname::AcceptsChar("", 0, 0, '1'));
  EXPECT_TRUE(dpname::AcceptsChar("a", 1, 1, '1'));
  EXPECT_FALSE(dpname::AcceptsChar("a_", 2, 2, '_'));
  EXPECT_FALSE(dpname::AcceptsChar("a_b", 1, 1, '_'));
  EXPECT_TRUE(dpname::AcceptsChar("ab", 1, 1, '_'));
  EXPECT_FALSE(dpname::AcceptsChar("a", 1, 1, '-'));
  EXPECT_FALSE(dpname::AcceptsChar("a", 1, 1, wxUniChar(0xE4)));   // ä is no ASCII letter
  EXPECT_TRUE(dpname::AcceptsChar("a", 1, 1, '\b'));
  EXPECT_EQ(dpname::CoDeSysComplaint("_Motor1"), 0u);
  EXPECT_EQ(dpname::CoDeSysComplaint("1Motor"), 11502u);
  EXPECT_EQ(dpname::CoDeSysComplaint("Motor__1"), 11503u);
  EXPECT_EQ(dpname::CoDeSysComplaint("Motor-1"), 11501u);
  EXPECT_EQ(dpname::FromPickedAddress("DB|Temp |1"), "Temp_1");
  // Fewer than two fields: the whole address, but never past the name's width.
  EXPECT_EQ(dpname::FromPickedAddress(wxString('x', 48)), wxString('x', 30));
}

// Proposals one after another: each the first of the name, name_1, name_2, ... that
// neither the table nor an earlier proposal holds (without regard to case), cut to the
// name's 30 characters; the table is asked about a name or two per proposal, also when
// thousands start from one name.
TEST(DataPointNames, ProposalsAreFreeAndDistinctAndAskTheTableLittle) {
  const std::set<wxString> table = {"pumpe", "pumpe_2", "pumpe_4"};
  int asked = 0;
  dpname::ProposedNames names([&](const wxString& n) {
    ++asked;
    return table.count(n.Lower()) != 0;
  });
  EXPECT_EQ(names.Propose("Pumpe"), "Pumpe_1");
  EXPECT_EQ(names.Propose("pumpe"), "pumpe_3");
  EXPECT_EQ(names.Propose("PUMPE  "), "PUMPE_5");
  EXPECT_EQ(names.Propose("Pumpe_1"), "Pumpe_1_1");
  EXPECT_EQ(names.Propose("Ventil"), "Ventil");
  EXPECT_TRUE(names.Holds("VENTIL"));
  EXPECT_FALSE(names.Holds("Pumpe"));
  const wxString wide('A', 30);
  EXPECT_EQ(names.Propose(wide + "B"), wide);
  for (int i = 1; i < 10; ++i) EXPECT_EQ(names.Propose(wide), wxString('A', 28) + wxString::Format("_%d", i));
  EXPECT_EQ(names.Propose(wide), wxString('A', 27) + "_10");

  asked = 0;
  for (int i = 0; i < 2000; ++i)
    ASSERT_EQ(names.Propose("Regler10_M"), i == 0 ? wxString("Regler10_M") : wxString::Format("Regler10_M_%d", i));
  EXPECT_EQ(asked, 2000);
}

// --- the ranges page's access word ---

TEST(DataPointSheet, RangesPageKeepsTheChosenAccess) {
  // The picker offers read and both write bits: "Lesen" must reload as "Lesen".
  const WORD caps = 0x0347;
  EXPECT_EQ(dpsheet::ModeOf(dpsheet::SaveAccess(caps, DpMode::Read, DpInit::Always)), DpMode::Read);
  EXPECT_EQ(dpsheet::ModeOf(dpsheet::SaveAccess(caps, DpMode::Write, DpInit::Always)), DpMode::Write);
  EXPECT_EQ(dpsheet::ModeOf(dpsheet::SaveAccess(caps, DpMode::ReadWrite, DpInit::Retain)), DpMode::ReadWrite);
  EXPECT_EQ(dpsheet::InitOf(dpsheet::SaveAccess(caps, DpMode::Read, DpInit::Retain)), DpInit::Retain);
  EXPECT_EQ(dpsheet::SaveAccess(caps, DpMode::Read, DpInit::Persistent) & 0x40, 0x40);   // other bits kept
  EXPECT_TRUE(dpsheet::NoStartValue("0|x"));
  EXPECT_FALSE(dpsheet::NoStartValue("0x"));
}

TEST(DataPointSheet, RangeChecksPerType) {
  hvtest::ScriptedUi ui;
  DataPointSheetRequest s;
  s.dp.address = "8|M|W|81|0|0|1";
  auto check = [&](DWORD type, const char* sMin, const char* sMax, const char* mMin, const char* mMax,
                   const char* start) {
    s.dp.type = type;
    s.values.sigMin = sMin;
    s.values.sigMax = sMax;
    s.values.measMin = mMin;
    s.values.measMax = mMax;
    s.values.start = start;
    return dpsheet::LeaveRanges(s, true).text;
  };
  ui.AllowAnyMessage();
  EXPECT_EQ(check(1, "-128", "127", "", "", "0"), 0u);
  EXPECT_EQ(check(1, "-129", "127", "", "", "0"), 11533u);
  EXPECT_EQ(check(2, "0", "255", "", "", "255"), 0u);
  EXPECT_EQ(check(2, "0", "256", "", "", "0"), 11533u);
  EXPECT_EQ(check(0x80, "0", "1.123456", "", "", "0.5"), 0u);
  EXPECT_EQ(check(8, "0", "0", "0", "0", "-500"), 0u);         // no ranges: any start value
  EXPECT_EQ(check(8, "0", "100", "4", "20", "50"), 11511u);    // measuring range wins
  EXPECT_EQ(check(8, "0", "100", "", "", "150"), 11512u);
  EXPECT_EQ(check(8, "10", "5", "", "", "7"), 11509u);
  EXPECT_EQ(check(8, "", "", "20", "4", "7"), 11510u);
  EXPECT_EQ(check(8, "abc", "", "", "", ""), 11533u);           // not a silent 0
  EXPECT_EQ(check(0x2005, "", "", "", "", ""), 0u);
  s.values.capabilities = 0x41;   // no initialisation: there is no start value to check
  EXPECT_EQ(check(8, "0", "0", "0", "0", ""), 0u);
}

TEST(DataPointSheet, CapabilitiesAndInitialisationRuleTheRangesPage) {
  DataPointSheetRequest s;
  s.dp.type = 8;
  s.dp.address = "8|M|W|81|0|0|1";
  s.values.capabilities = 0x0103;
  dpsheet::RangesControls c = dpsheet::RangesState(s);
  EXPECT_TRUE(c.start && c.ranges && c.readWrite && c.persistent && c.always);
  EXPECT_FALSE(c.retain);
  s.values.access = 0x0101;   // PERSISTENT: the stored value replaces the start value
  EXPECT_FALSE(dpsheet::RangesState(s).start);
  s.values.capabilities = 0x0141;   // read only, no initialisation
  c = dpsheet::RangesState(s);
  EXPECT_TRUE(c.startEmptied);
  EXPECT_FALSE(c.start || c.always || c.ranges || c.read || c.write);
  s.values.capabilities = 0x0043;   // readable and writable: ranges stay
  EXPECT_TRUE(dpsheet::RangesState(s).ranges);
  EXPECT_FALSE(dpsheet::StartEnabledAfterClick(1186, 8, false));
  EXPECT_FALSE(dpsheet::StartEnabledAfterClick(1188, 8, false));
  EXPECT_TRUE(dpsheet::StartEnabledAfterClick(1185, 8, false));
  EXPECT_FALSE(dpsheet::StartEnabledAfterClick(1185, 8, true));
  EXPECT_FALSE(dpsheet::StartEnabledAfterClick(1185, 0x2000, false));
  EXPECT_EQ(dpsheet::RangeEditorFor(0x80).fractionDigits, 6);
  EXPECT_EQ(dpsheet::RangeEditorFor(0x400).kind, dpsheet::RangeEditor::Date);
  EXPECT_EQ(dpsheet::RangeEditorFor(0x100).kind, dpsheet::RangeEditor::None);
}

// --- the model against a device made through the program ---

TEST_F(DataPointFixture, CreatesFromThePickerWithFinishAcceptAllAndCancelAll) {
  ASSERT_TRUE(folder);
  std::vector<PickedDataPoint> picked = {Picked("8|M|W|81|0|0|1", 8), Picked("8|M|W|81|1|0|1", 8),
                                         Picked("8|M|W|81|2|0|1", 8)};
  int runs = 0;
  ASSERT_TRUE(Make(picked, kDpAcceptAll, [&](DataPointSheetRequest& s) {
    ++runs;
    EXPECT_TRUE(s.wizard);
    EXPECT_TRUE(s.several);
    s.values.free = {"f1", "f2", "f3", "f4", "f5", "f6"};
  }));
  EXPECT_EQ(runs, 1);   // accept-all stores the rest without the sheet
  EXPECT_EQ(Points().size(), 3u);
  const auto rows = ReadDbf(hv::JoinPath(Folder(), "DATPKT.DBF"));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].at("PHYSDP"), "8|M|W|81|0|0|1");
  EXPECT_EQ(rows[0].at("FELD6"), "f6");
  EXPECT_EQ(rows[0].at("GNR"), std::to_string(device->GetDeviceNumber()));

  runs = 0;
  EXPECT_FALSE(Make(picked, kDpCancelAll, [&](DataPointSheetRequest&) { ++runs; }));
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(Make({picked[0]}, IDCANCEL));
  EXPECT_EQ(ReadDbf(hv::JoinPath(Folder(), "DATPKT.DBF")).size(), 3u);
  // Names made from the same address are made unique in the table.
  ASSERT_TRUE(Make({picked[0]}, kDpWizardFinish));
  EXPECT_EQ(Points().size(), 4u);
}

// The sheet of a new point is its device's: the units of its folder, the device's name,
// the project's CoDeSys rule and a name taken in the table refused, as at every edit.
TEST_F(DataPointFixture, TheNewPointsSheetKnowsItsDeviceAndTable) {
  ASSERT_TRUE(Make({Picked("8|M|W|81|0|0|1", 8)}, kDpWizardFinish, [](DataPointSheetRequest& s) { s.dp.name = "Pumpe"; }));
  DataPointSheetRequest seen;
  ASSERT_TRUE(Make({Picked("8|M|W|81|1|0|1", 8)}, kDpWizardFinish, [&](DataPointSheetRequest& s) { seen = s; }));
  EXPECT_EQ(seen.deviceFolder, Folder());
  EXPECT_EQ(seen.deviceName, device->GetName());
  EXPECT_FALSE(dpsheet::Units(seen.deviceFolder).empty());
  ASSERT_TRUE(device->GetProject());
  EXPECT_EQ(seen.codesysNames, device->GetProject()->GetFlags().CoDeSysDP != FALSE);
  ui.ExpectMessage(11507);
  EXPECT_FALSE(dpsheet::LeaveGeneral(seen, "Pumpe", 0).ok());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(DataPointFixture, NewCopyTakesTheFieldsButNotTheRowValuesAndEditKeepsFreeFields) {
  ASSERT_TRUE(Make({Picked("8|M|W|81|0|0|1", 8, 0x0103)}, kDpWizardFinish, [](DataPointSheetRequest& s) {
    s.dp.name = "Pumpe";
    s.values.unit = "bar";
    s.values.sigMin = "1";
    s.values.sigMax = "9";
    s.values.access = 0x0101;
    s.values.free[2] = "drei";
  }));
  CPODirectDataPoint* pumpe = Find("Pumpe");
  ASSERT_TRUE(pumpe);
  DataPointSheetRequest seen;
  ui.Answer<DataPointSheetRequest>([&](DataPointSheetRequest& s) {
    seen = s;
    return kDpWizardFinish;
  });
  pumpe->OnNewCopy();
  EXPECT_EQ(seen.dp.name, S("Kopie von Pumpe"));
  EXPECT_EQ(seen.dp.address, "8|M|W|81|0|0|1");
  EXPECT_EQ(seen.dp.type, 8u);
  EXPECT_EQ(seen.values.unit, "");
  EXPECT_EQ(seen.values.sigMax, "");
  EXPECT_EQ(seen.values.access, 0);
  EXPECT_EQ(seen.values.free[2], "");
  ASSERT_TRUE(Find(S("Kopie von Pumpe")));

  ui.Answer<DataPointSheetRequest>([&](DataPointSheetRequest& s) {
    EXPECT_EQ(s.values.free[2], "drei");
    s.dp.description = "neu";
    return IDOK;
  });
  EXPECT_TRUE(pumpe->Edit());
  const auto rows = ReadDbf(hv::JoinPath(Folder(), "DATPKT.DBF"));
  EXPECT_EQ(rows[0].at("BESCHREIB"), "neu");
  EXPECT_EQ(rows[0].at("FELD3"), "drei");
  // Cancel changes nothing.
  ui.Answer<DataPointSheetRequest>([](DataPointSheetRequest& s) {
    s.dp.description = "weg";
    return IDCANCEL;
  });
  EXPECT_FALSE(pumpe->Edit());
  EXPECT_EQ(pumpe->Fields().description, "neu");
}

TEST_F(DataPointFixture, GeneralPageChecksNamesAndLogicalIds) {
  ASSERT_TRUE(Make({Picked("8|M|W|81|0|0|1", 8), Picked("8|M|W|81|1|0|1", 8)}, kDpWizardFinish,
                   [n = std::make_shared<int>(0)](DataPointSheetRequest& s) {
                     s.dp.name = ++*n == 1 ? "motor" : "Motor2";
                     s.dp.logicalId = *n == 1 ? 7 : 0;
                   }));
  CPODirectDataPoint* motor = Find("motor");
  ASSERT_TRUE(motor);
  DataPointSheetRequest s;
  s.deviceFolder = Folder();
  s.dp = motor->Fields();
  // Renaming in case only is no clash, though "Motor2" follows in the index.
  EXPECT_TRUE(dpsheet::LeaveGeneral(s, "Motor", 7).ok());
  ui.ExpectMessage(11507);
  EXPECT_EQ(dpsheet::LeaveGeneral(s, "MOTOR2", 7).focus, kIdName);
  s.dp = Find("Motor2")->Fields();
  ui.ExpectMessage(11506);
  EXPECT_EQ(dpsheet::LeaveGeneral(s, "Motor2", 7).text, 11506u);
  ui.ExpectMessage(11505);
  EXPECT_FALSE(dpsheet::LeaveGeneral(s, "Mo*", 0).ok());
  s.codesysNames = true;
  ui.ExpectMessage(11502);
  EXPECT_FALSE(dpsheet::LeaveGeneral(s, "1Motor", 0).ok());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(DataPointFixture, DeleteFindsTheRowFirstAndRemovesEepromAndScreenReferences) {
  using namespace hv::db;
  ASSERT_TRUE(Make({Picked("8|M|W|81|0|0|1", 8)}, kDpWizardFinish, [](DataPointSheetRequest& s) { s.dp.name = "P"; }));
  CPODirectDataPoint* p = Find("P");
  ASSERT_TRUE(p);
  const std::uint32_t id = p->GetId();
  {
    Table e, m;
    ASSERT_TRUE(db_create_dbf(hv::JoinPath(Folder(), "EEPROM.DBF")));
    ASSERT_TRUE(e.open(Folder(), EepromSchema()));
    EepromRow er;
    er.dataPoint = id;
    ASSERT_TRUE(e.insert(er));
    er = EepromRow();
    er.dataPoint = id + 100;
    ASSERT_TRUE(e.insert(er));
    ASSERT_TRUE(m.open(Folder(), MskfldSchema()));
    MaskField one, two, three;
    one.name = "S";
    one.setNumber(1);
    one.setType(1);
    one.setU32(216, id);
    two.name = "S";
    two.setNumber(2);
    two.setType(2);
    two.setU32(136, id);
    three.name = "S";
    three.setNumber(3);
    three.setType(4);   // a kind without data-point numbers keeps its bytes
    three.setU32(84, id);
    ASSERT_TRUE(m.insert(one) && m.insert(two) && m.insert(three));
  }
  // A data point whose row is gone takes no reference with it.
  CPODirectDataPoint ghost(folder, device);
  DataPointFields gone = ghost.Fields();
  gone.id = id + 50;
  ghost.SetFields(gone);
  EXPECT_FALSE(ghost.Delete());
  EXPECT_EQ(ReadDbf(hv::JoinPath(Folder(), "EEPROM.DBF")).size(), 2u);

  ui.ExpectMessage(11522, IDYES);
  ui.ExpectMessage(11526, IDYES);
  EXPECT_TRUE(p->Delete());
  EXPECT_TRUE(ui.AllExpectationsMet());
  const auto eeprom = ReadDbf(hv::JoinPath(Folder(), "EEPROM.DBF"));
  ASSERT_EQ(eeprom.size(), 1u);
  EXPECT_EQ(eeprom[0].at("DATPKT"), std::to_string(id + 100));
  EXPECT_TRUE(ReadDbf(hv::JoinPath(Folder(), "DATPKT.DBF")).empty());
  Table m;
  ASSERT_TRUE(m.open(Folder(), MskfldSchema()));
  MaskField f;
  int seen = 0;
  for (bool ok = msk_fld_select(m, f, kFirst, "MSK_TYP"); ok; ok = msk_fld_select(m, f, kNext, "MSK_TYP")) {
    const std::uint32_t expected = f.type() == 4 ? id : 0;
    EXPECT_EQ(f.u32(f.type() == 1 ? 216 : f.type() == 2 ? 136 : 84), expected) << f.type();
    ++seen;
  }
  EXPECT_EQ(seen, 3);
}

TEST_F(DataPointFixture, CleanDeleteAsksNothingAndCancelStopsASelection) {
  ASSERT_TRUE(Make({Picked("8|M|W|81|0|0|1", 8), Picked("8|M|W|81|1|0|1", 8)}, kDpWizardFinish,
                   [n = std::make_shared<int>(0)](DataPointSheetRequest& s) { s.dp.logicalId = ++*n == 1 ? 0 : 5; }));
  auto points = Points();
  ASSERT_EQ(points.size(), 2u);
  CPODirectDataPoint* clean = points[0]->Fields().logicalId == 0 ? points[0] : points[1];
  CPODirectDataPoint* withId = clean == points[0] ? points[1] : points[0];
  withId->SetSelectionState(TRUE, FALSE, TRUE);
  ui.ExpectMessage(11525, IDCANCEL);
  EXPECT_FALSE(withId->Delete());
  EXPECT_FALSE(withId->IsMultipleSelection());
  EXPECT_TRUE(clean->Delete());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(DataPointFixture, PasteMakesNamesUniqueAndMarksTakenLogicalIds) {
  ASSERT_TRUE(Make({Picked("8|M|W|81|0|0|1", 8)}, kDpWizardFinish, [](DataPointSheetRequest& s) {
    s.dp.name = "P";
    s.dp.logicalId = 9;
    s.values.free = {"a", "b", "c", "d", "e", "f"};
  }));
  CPODirectDataPoint* p = Find("P");
  ASSERT_TRUE(p);
  hv::Archive out;
  p->Serialize(out);
  ASSERT_TRUE(p->WriteToClipboard(out));
  hv::Archive in(out.Bytes());
  auto pasted = std::make_unique<CPODirectDataPoint>(folder, device);
  pasted->Serialize(in);
  CProjectObject* added = folder->AddChild(std::move(pasted));
  ASSERT_TRUE(added);
  ASSERT_TRUE(added->ReadFromClipboard(in, folder));
  auto* copy = static_cast<CPODirectDataPoint*>(added);
  EXPECT_NE(copy->GetName(), "P");
  EXPECT_EQ(copy->Fields().logicalId, kLogicalIdClash);
  EXPECT_EQ(copy->GetColumnText(2), "???");
  const auto rows = ReadDbf(hv::JoinPath(Folder(), "DATPKT.DBF"));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].at("FELD6"), "f");
  EXPECT_NE(rows[0].at("BEZEICH"), rows[1].at("BEZEICH"));
}

TEST_F(DataPointFixture, GarbledClipboardDataIsAFailedRead) {
  hv::Archive in(std::string("\x08\x00\x03", 3));
  CPODirectDataPoint dp(folder, device);
  EXPECT_THROW(dp.ReadFromClipboard(in, folder), hv::ArchiveException);
  // A description that the narrow table field cannot hold is refused on reading.
  hv::Archive wide;
  wide.WriteString("P", false);
  wide.WriteU32(1);
  wide.WriteString(wxString::FromUTF8("\xE6\x95\xB0"), true);
  wide.WriteString("9|x", false);
  wide.WriteU32(8);
  wide.WriteU16(0);
  wide.WriteI32(1);
  hv::Archive back(wide.Bytes());
  CPODirectDataPoint other;
  EXPECT_THROW(other.Serialize(back), hv::ArchiveException);
}

TEST_F(DataPointFixture, FolderListsDirectPointsAndTheIoNodeOnce) {
  ASSERT_TRUE(Make({Picked("8|M|W|81|0|0|1", 8), Picked("8|M|W|81|1|0|1", 8), Picked("8|M|W|81|2|0|1", 8)},
                   kDpWizardFinish, [n = std::make_shared<int>(0)](DataPointSheetRequest& s) {
                     ++*n;
                     s.values.free[0] = *n == 1 ? "x" : "IO";
                   }));
  EXPECT_TRUE(folder->HasTreeChildren());
  ASSERT_TRUE(folder->LoadChildren());
  int io = 0, direct = 0;
  for (CProjectObject* c : folder->GetChildren()) {
    io += c->GetTypeCode() == TypeCode::IOConfig;
    direct += c->GetTypeCode() == TypeCode::DirectDataPoint;
  }
  EXPECT_EQ(io, 1);
  EXPECT_EQ(direct, 3);
  EXPECT_FALSE(folder->IsStale());
  CProjectObject* ioNode = folder->FindChildOfType(TypeCode::IOConfig);
  ASSERT_TRUE(ioNode->LoadChildren());
  EXPECT_EQ(ioNode->GetChildCount(), 3u);
}

TEST_F(DataPointFixture, SettingsLineWithoutEqualsDoesNotListEveryPoint) {
  const wxString setFolder = hv::JoinPath(Folder(), "set");
  ASSERT_TRUE(hv::MakeFolders(setFolder));
  device->SetDeviceParameters(";" + setFolder);
  hvtest::WriteAll(hv::JoinPath(setFolder, "datpkt.set"),
                   "[Selbstdefinierte Datenpunkte]\r\n; comment\r\nbroken line\r\nA=defA\r\n"
                   "[Globale Selbstdefinierte Datenpunkte]\r\nG=defG\r\n");
  int shown = 0;
  std::vector<wxString> names;
  ui.Answer<UserDefinedDPShow>([&](UserDefinedDPShow& r) {
    ++shown;
    names = r.names;
    return IDOK;
  });
  ui.Answer<UserDefinedDPClose>([&](UserDefinedDPClose&) { return IDOK; });
  ASSERT_TRUE(Make({Picked("7|defA", 4), Picked("7|gone", 4), Picked("8|defG", 4)}, kDpWizardFinish,
                   [n = std::make_shared<int>(0)](DataPointSheetRequest& s) { s.dp.name = wxString::Format("P%d", ++*n); }));
  CUserDefinedDPList::Get().Clear();
  ASSERT_TRUE(folder->LoadChildren());
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0], "P2");
  // A second load lists the same point once, not twice.
  ASSERT_TRUE(folder->LoadChildren());
  ASSERT_EQ(names.size(), 1u);
  // Restoring the definition closes the list.
  bool closed = false;
  ui.Answer<UserDefinedDPClose>([&](UserDefinedDPClose&) {
    closed = true;
    return IDOK;
  });
  hvtest::WriteAll(hv::JoinPath(setFolder, "datpkt.set"),
                   "[Selbstdefinierte Datenpunkte]\r\nA=defA\r\nB=gone\r\n[Globale Selbstdefinierte Datenpunkte]\r\nG=defG\r\n");
  const wxString file = hv::JoinPath(setFolder, "datpkt.set");
  const wxDateTime later = wxDateTime::Now() + wxTimeSpan::Hours(1);
  wxFileName(file).SetTimes(nullptr, &later, nullptr);
  ASSERT_TRUE(folder->LoadChildren());
  EXPECT_TRUE(closed);
  EXPECT_TRUE(CUserDefinedDPList::Get().Names().empty());
  EXPECT_GE(shown, 2);
  CUserDefinedDPList::Get().Clear();
}

TEST(DataPointRecord, ArchivesEveryFieldAndCutsLongTexts) {
  hv::db::DatpktRow row;
  row.id = 42;
  row.name = "Pumpe";
  row.description = wxString('d', 60);
  row.address = "9|x";
  row.type = 0x80;
  row.device = 3;
  row.access = 0x103;
  row.pickerAccess = 0x303;
  row.value32 = 7;
  row.logId = 9;
  row.unit = "bar";
  row.start = "1";
  row.sigMin = "0";
  row.sigMax = "10";
  row.measMin = "2";
  row.measMax = "20";
  row.free = {"a", "b", "c", "d", "e", "f"};
  hv::Archive out;
  ArchiveDataPointRecord(out, row);
  hv::Archive in(out.Bytes());
  hv::db::DatpktRow back;
  ArchiveDataPointRecord(in, back);
  EXPECT_EQ(in.Remaining(), 0u);
  EXPECT_EQ(back.description, wxString('d', 48));
  EXPECT_EQ(back.id, 42u);
  EXPECT_EQ(back.pickerAccess, 0x303);
  EXPECT_EQ(back.measMax, "20");
  EXPECT_EQ(back.name, "Pumpe");
  EXPECT_EQ(back.free[5], "f");
  EXPECT_EQ(back.logId, 9);
}

TEST(DataPointRecord, ObjectKeepsEveryValueItHolds) {
  CPODirectDataPoint dp;
  dp.SetName("Pumpe");
  DataPointFields f;
  f.name = "ignored";
  f.id = 0xFFFFFFFFu;
  f.description = wxString::FromUTF8("K\xC3\xBChlwasser \xE2\x82\xAC");
  f.address = wxString('a', 48);
  f.type = 0x2000;
  f.readable = TRUE;
  // A read text value may be long and hold any character.
  f.value = wxString('v', 300) + wxString(wxUniChar(0)) + wxString::FromUTF8("\xE6\x95\xB0");
  f.logicalId = kLogicalIdClash;
  dp.SetFields(f);
  const DataPointFields back = dp.Fields();
  EXPECT_EQ(back.name, "Pumpe");
  EXPECT_EQ(back.id, f.id);
  EXPECT_EQ(back.description, f.description);
  EXPECT_EQ(back.address, f.address);
  EXPECT_EQ(back.type, f.type);
  EXPECT_EQ(back.readable, TRUE);
  EXPECT_EQ(back.value, f.value);
  EXPECT_EQ(back.logicalId, kLogicalIdClash);
  EXPECT_EQ(dp.GetColumnText(4), f.address);
  EXPECT_EQ(dp.GetColumnText(5), f.value);
  // Emptied texts read back empty.
  f.description.clear();
  f.address.clear();
  f.value.clear();
  dp.SetFields(f);
  EXPECT_TRUE(dp.Fields().description.empty() && dp.GetAddress().empty() && dp.GetValue().empty());
}
