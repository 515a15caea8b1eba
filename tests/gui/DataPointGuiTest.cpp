// Data points in the running window: a device's "Datenpunkte" shows the I/O
// configuration node; data points are made, edited, copied, pasted and deleted through
// their commands, and a delete takes its screen-element and EEPROM references along
// (tables read back with shapelib).
#include <gtest/gtest.h>

#include <shapefil.h>

#include <wx/textctrl.h>

#include "app/MenuResources.h"
#include "app/ui/Dialogs.h"
#include "app/TavProjectDoc.h"
#include "framework/CommandIds.h"
#include "model/DataPointPicker.h"
#include "model/DataPointSheet.h"
#include "model/DirectDataPoint.h"
#include "model/ObjectSupport.h"
#include "model/PrjDevice.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"

using hvtest::ChildNamed;
using hvtest::S;

namespace {

int LiveRows(const wxString& file, const char* field = nullptr, const char* value = nullptr) {
  DBFHandle h = DBFOpen(hv::ToFs(hv::ResolvePath(file)).c_str(), "rb");
  if (!h) return -1;
  int n = 0;
  const int f = field ? DBFGetFieldIndex(h, field) : -1;
  for (int r = 0; r < DBFGetRecordCount(h); ++r) {
    if (DBFIsRecordDeleted(h, r)) continue;
    if (f >= 0 && std::string(DBFReadStringAttribute(h, r, f)).find(value) == std::string::npos) continue;
    ++n;
  }
  DBFClose(h);
  return n;
}

BOOL Command(CProjectObject* object, UINT id) { return object->OnCmdMsg(id, CN_COMMAND, nullptr, nullptr); }

class DataPointGui : public hvtest::ProjectWindowFixture {};

}  // namespace

TEST_F(DataPointGui, TheFolderShowsItsNodesAndDataPointsLiveThroughTheirCommands) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  CPOPrjDevice* device = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(device);
  const wxString folder = device->GetDeviceFolder();
  {
    // A data point the I/O configuration calls for, written as another tool writes it.
    using namespace hv::db;
    Table t;
    ASSERT_TRUE(t.open(folder, DatpktSchema()));
    DatpktRow r;
    r.name = "Eingang";
    r.address = "9|Digital Input|0.00";
    r.type = 4;
    r.device = static_cast<std::uint16_t>(device->GetDeviceNumber());
    r.access = 1;
    r.free[0] = "DI";
    ASSERT_TRUE(t.insert(r));
  }
  ASSERT_TRUE(SelectInTree(project));
  ASSERT_TRUE(RunInTree(ID_VIEW_REFRESH));
  auto panel = [&] { return dynamic_cast<CPOPrjDevice*>(ChildNamed(ChildNamed(doc.GetRoot(0), S("Halle")), S("Panel"))); };
  ASSERT_TRUE(panel());
  ASSERT_TRUE(SelectInTree(panel()));
  const std::vector<wxString> deviceChildren = TreeChildren(panel());
  ASSERT_NE(std::find(deviceChildren.begin(), deviceChildren.end(), S("Datenpunkte")), deviceChildren.end());
  CProjectObject* dps = ChildNamed(panel(), S("Datenpunkte"));
  ASSERT_TRUE(dps);
  EXPECT_EQ(TreeChildren(dps), std::vector<wxString>{S("I/O Konfiguration")});
  ASSERT_TRUE(SelectInTree(dps));
  auto* first = dynamic_cast<CPODirectDataPoint*>(ChildNamed(dps, S("Eingang")));
  ASSERT_TRUE(first);

  // "Neuer Datenpunkt": the picker and the wizard make one.
  RegisterAppDialogs();   // as at start-up; the picker's answer below stands in for it
  ui.Answer<DataPointPickRequest>([](DataPointPickRequest& r) {
    PickedDataPoint p;
    p.address = "8|M|W|81|0|0|1";
    p.type = 8;
    p.access = 3;
    r.chosen = {p};
    return static_cast<int>(IDOK);
  });
  // The wizard is the program's own: Next alone on the general page, whose logical id
  // beyond 65534 is put back to the bound under "Falscheingabe"; Finish on the ranges page.
  struct {
    bool next = false, finish = true, finishOnRanges = false, pickWhole = false;
    wxString clamped;
  } seen;
  hvtest::DialogScripts user;
  user.Then([&](wxDialog* dlg) {
    seen.next = dlg->FindWindow(12324) && dlg->FindWindow(12324)->IsShown();
    seen.finish = dlg->FindWindow(kDpWizardFinish) && dlg->FindWindow(kDpWizardFinish)->IsShown();
    // A button narrower than its label shows none of it.
    if (wxWindow* pick = dlg->FindWindow(kIdPick))
      seen.pickWhole = pick->IsShown() && pick->GetSize().x >= pick->GetBestSize().x;
    ASSERT_TRUE(hvtest::TypeInto(dynamic_cast<wxTextCtrl*>(dlg->FindWindow(kIdName)), "Druck"));
    auto* id = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(kIdLogicalId));
    ASSERT_TRUE(hvtest::TypeInto(id, "70000"));
    hvtest::ClickOn(dlg->FindWindow(12324));
    hvtest::PumpUntil([&] { return !ui.MessageIds().empty(); });
    seen.clamped = id->GetValue();
    hvtest::ClickOn(dlg->FindWindow(12324));
    wxWindow* finish = dlg->FindWindow(kDpWizardFinish);
    seen.finishOnRanges = hvtest::PumpUntil([&] { return dlg->FindWindow(kIdSigMax)->IsShownOnScreen(); }) &&
                          finish && finish->IsShown();
    hvtest::ClickOn(finish);
  });
  ui.ExpectMessage(10211);
  ASSERT_TRUE(Command(first, ID_NEW_OBJECT));
  EXPECT_TRUE(user.AllRun());
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(seen.next);
  EXPECT_FALSE(seen.finish);
  EXPECT_TRUE(seen.finishOnRanges);
  EXPECT_TRUE(seen.pickWhole);
  EXPECT_EQ(seen.clamped, "65534");
  ASSERT_FALSE(ui.MessageCaptions().empty());
  EXPECT_EQ(ui.MessageCaptions().back(), "Falscheingabe");
  auto* made = dynamic_cast<CPODirectDataPoint*>(ChildNamed(dps, S("Druck")));
  ASSERT_TRUE(made);
  EXPECT_EQ(made->GetColumnText(2), FormatLogicalId(65534));
  // "Ändern".
  ui.Answer<DataPointSheetRequest>([](DataPointSheetRequest& s) {
    s.dp.description = "Kessel";
    return static_cast<int>(IDOK);
  });
  ASSERT_TRUE(Command(made, ID_OBJECT_EDIT));
  EXPECT_EQ(LiveRows(hv::JoinPath(folder, "DATPKT.DBF"), "BESCHREIB", "Kessel"), 1);

  // Copy and paste into the same folder: a second row under a new name.
  ASSERT_TRUE(SelectInTree(dps));
  hv::Archive out;
  made->Serialize(out);
  ASSERT_TRUE(made->WriteToClipboard(out));
  hv::Archive in(out.Bytes());
  auto pasted = std::make_unique<CPODirectDataPoint>(dps, device);
  pasted->Serialize(in);
  CProjectObject* added = dps->AddChild(std::move(pasted));
  ASSERT_TRUE(added && added->ReadFromClipboard(in, dps));
  EXPECT_EQ(LiveRows(hv::JoinPath(folder, "DATPKT.DBF")), 3);

  // References on a screen and in the EEPROM table, then "Löschen".
  const std::uint32_t id = made->GetId();
  {
    using namespace hv::db;
    ASSERT_TRUE(db_create_dbf(hv::JoinPath(folder, "EEPROM.DBF")));
    Table e, m;
    ASSERT_TRUE(e.open(folder, EepromSchema()));
    EepromRow er;
    er.dataPoint = id;
    ASSERT_TRUE(e.insert(er));
    ASSERT_TRUE(m.open(folder, MskfldSchema()));
    MaskField value;
    value.name = "Start";
    value.setNumber(1);
    value.setType(2);
    value.setU32(84, id);
    ASSERT_TRUE(m.insert(value));
  }
  ui.ExpectMessage(11522, IDYES);
  ui.ExpectMessage(11526, IDYES);
  ASSERT_TRUE(Command(made, ID_OBJECT_DELETE));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(LiveRows(hv::JoinPath(folder, "EEPROM.DBF")), 0);
  EXPECT_EQ(LiveRows(hv::JoinPath(folder, "DATPKT.DBF")), 2);
  EXPECT_EQ(LiveRows(hv::JoinPath(folder, "DATPKT.DBF"), "BEZEICH", "Druck"), 1);   // only the pasted copy
  {
    using namespace hv::db;
    Table m;
    ASSERT_TRUE(m.open(folder, MskfldSchema()));
    MaskField f;
    ASSERT_TRUE(msk_fld_select(m, f, kFirst, "MSK_TYP"));
    EXPECT_EQ(f.u32(84), 0u);
  }
}
