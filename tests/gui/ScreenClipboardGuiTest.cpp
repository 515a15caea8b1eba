// Screens travel between real devices of the sample types in the running window: copied
// from a panel they arrive on a combined panel and controller and on a panel that has
// no screen yet; a cut pasted where it finds no place stays on the clipboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "app/ClipboardTransfer.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectTreeView.h"
#include "framework/CommandIds.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "resources/MaskRecords.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::ChildNamed;
using hvtest::S;
using namespace hv::db;

namespace {

const hvtest::DeviceAnswers kPanel{S("Panel"), S("KOLM_G320"), S("CAN_R515"), S("MBTCP")};
const hvtest::DeviceAnswers kCombo{S("Combo"), S("COMBO_C167"), S("COMBO167"), S("SIMNET")};
const hvtest::DeviceAnswers kCePanel{S("Bedienung"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")};

class ScreenClipboardGui : public hvtest::ProjectWindowFixture {
 protected:
  CPOPrjDevice* Make(CPOProject* project, const hvtest::DeviceAnswers& answers) {
    AnswerNewDevice(answers);
    CPOPrjDevice* device = MakeDevice(project, answers.name);
    EXPECT_TRUE(device) << answers.type.utf8_str().data();
    return device;
  }
  // A screen with a picture element showing the device's "<picture>.bmp".
  void AddScreen(CPOPrjDevice* device, const wxString& name, const wxString& picture = S("Logo")) {
    const wxString folder = device->GetDeviceFolder();
    const wxString pictures = hv::ResolvePath(hv::JoinPath(folder, "bitmaps"));
    hv::MakeFolders(pictures);
    hvtest::WriteAll(hv::JoinPath(pictures, picture + ".bmp"), "BM " + std::string(picture.utf8_str()));
    const std::uint32_t bitmap = bitmap_add(folder, picture.Upper() + ".BMP");
    ASSERT_NE(bitmap, 0u);
    Table t;
    ASSERT_TRUE(t.open(folder, MskfldSchema()));
    MaskField header;
    header.name = name;
    ASSERT_TRUE(msk_fld_insert_quick(t, header));
    MaskField picture;
    picture.name = name;
    picture.setNumber(1);
    picture.setType(1);
    picture.setU32(68, bitmap);
    ASSERT_TRUE(msk_fld_insert_quick(t, picture));
  }
  // The screens in the device's table, in name order.
  static std::vector<wxString> TableScreens(CPOPrjDevice* device) {
    std::vector<wxString> names;
    Table t;
    if (!t.open(device->GetDeviceFolder(), MskfldSchema())) return names;
    MaskField record;
    for (bool ok = msk_fld_select(t, record, kFirst, "MSK_HEAD"); ok; ok = msk_fld_select(t, record, kNext, "MSK_HEAD"))
      names.push_back(maskrec::RecordName(record));
    return names;
  }
  static bool HasPicture(CPOPrjDevice* device, const wxString& picture = S("Logo")) {
    const wxString file = hv::JoinPath(device->GetDeviceFolder(), "bitmaps/" + picture.Upper() + ".BMP");
    return hvtest::ReadAll(hv::ResolvePath(file)) == "BM " + std::string(picture.utf8_str());
  }
  // The node of the kind below the device, opening the tree on the way.
  CProjectObject* Below(CProjectObject* object, TypeCode kind) {
    TreeChildren(object);
    for (CProjectObject* child : object->GetChildren()) {
      if (child->GetTypeCode() == kind) return child;
      if (!child->IsShownInTree()) continue;
      if (CProjectObject* found = Below(child, kind)) return found;
    }
    return nullptr;
  }
  std::vector<wxString> ScreensInTree(CProjectObject* device) {
    CProjectObject* screens = Below(device, TypeCode::ResMask);
    return screens ? TreeChildren(screens) : std::vector<wxString>{};
  }
  CProjectListView& List() { return *frame->GetListView(); }
  BOOL RunInList(UINT id) {
    DispatchScope scope;
    return frame->Router().RouteFrom(&List().Presenter()).Execute(id);
  }
  BOOL EnabledInList(UINT id) { return frame->Router().RouteFrom(&List().Presenter()).IsEnabled(id); }
  // Lists the device's screens and selects the row of the one named (none: no row).
  bool ListScreens(CProjectObject* device, const wxString& selected = wxString()) {
    CProjectObject* screens = Below(device, TypeCode::ResMask);
    if (!screens || !SelectInTree(screens) || List().Presenter().GetListed() != screens) return false;
    List().ClearSelection();
    if (selected.empty()) return true;
    const long row = List().Presenter().FindRow(ChildNamed(screens, selected));
    if (row < 0) return false;
    List().SelectRow(static_cast<std::size_t>(row), true);
    return true;
  }
};

}  // namespace

TEST_F(ScreenClipboardGui, AScreenCopiedFromAPanelArrivesOnAComboDeviceAndOnAPanelWithoutScreens) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  CPOPrjDevice* panel = Make(project, kPanel);
  CPOPrjDevice* combo = Make(project, kCombo);
  CPOPrjDevice* cePanel = Make(project, kCePanel);
  ASSERT_TRUE(panel && combo && cePanel);
  AddScreen(panel, S("Main"));
  CProjectObject* screens = Below(panel, TypeCode::ResMask);
  ASSERT_TRUE(screens);
  ASSERT_EQ(TreeChildren(screens), std::vector<wxString>{S("Main")});
  CProjectObject* main = ChildNamed(screens, S("Main"));
  ASSERT_TRUE(main);
  ASSERT_TRUE(SelectInTree(main));
  ASSERT_TRUE(RunInTree(ID_EDIT_COPY));

  for (CPOPrjDevice* device : {combo, cePanel}) {
    const std::string type = device->GetHardwareType().utf8_str().data();
    // The device is open in the tree: its resources folder (fonts) shows, no screens folder.
    CProjectObject* resources = Below(device, TypeCode::Resource);
    ASSERT_TRUE(resources) << type;
    EXPECT_FALSE(Below(resources, TypeCode::ResMask)) << type;
    ASSERT_TRUE(SelectInTree(device)) << type;
    EXPECT_TRUE(EnabledInTree(ID_EDIT_PASTE)) << type;
    ASSERT_TRUE(RunInTree(ID_EDIT_PASTE)) << type;
    EXPECT_EQ(TableScreens(device), std::vector<wxString>{S("Main")}) << type;
    EXPECT_EQ(ScreensInTree(device), std::vector<wxString>{S("Main")}) << type;
    EXPECT_TRUE(HasPicture(device)) << type;
    // The pictures folder the screen's picture made shows in the open resources folder.
    const std::vector<wxString> shown = ItemsShown(resources);
    EXPECT_NE(std::find(shown.begin(), shown.end(), S("Bitmaps")), shown.end()) << type;
  }
  // Once there, the resources folder and the screens folder take the next ones.
  CProjectObject* resources = Below(combo, TypeCode::Resource);
  ASSERT_TRUE(resources);
  ASSERT_TRUE(SelectInTree(resources));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  ASSERT_TRUE(SelectInTree(Below(combo, TypeCode::ResMask)));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  EXPECT_EQ(TableScreens(combo), (std::vector<wxString>{S("Main"), S("Main_1"), S("Main_2")}));
  EXPECT_EQ(ScreensInTree(combo), (std::vector<wxString>{S("Main"), S("Main_1"), S("Main_2")}));
  EXPECT_EQ(TableScreens(panel), std::vector<wxString>{S("Main")});
}

// A cut screen pasted where its reading refuses it (the target's data-point table cannot
// be opened) is not lost: it stays on the clipboard for a paste where it belongs.
TEST_F(ScreenClipboardGui, ACutScreenThatFindsNoPlaceStaysOnTheClipboard) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  CPOPrjDevice* panel = Make(project, kPanel);
  CPOPrjDevice* combo = Make(project, kCombo);
  CPOPrjDevice* cePanel = Make(project, kCePanel);
  ASSERT_TRUE(panel && combo && cePanel);
  AddScreen(panel, S("Main"));
  AddScreen(panel, S("Alarm"), S("Glocke"));
  AddScreen(combo, S("Start"));
  AddScreen(cePanel, S("Start"));
  const wxString points = hv::ResolvePath(hv::JoinPath(combo->GetDeviceFolder(), "DATPKT.DBF"));
  ASSERT_EQ(rename(hv::ToFs(points).c_str(), hv::ToFs(points + ".weg").c_str()), 0);

  // The tree's paste.
  CProjectObject* screens = Below(panel, TypeCode::ResMask);
  ASSERT_TRUE(screens);
  TreeChildren(screens);
  ASSERT_TRUE(SelectInTree(ChildNamed(screens, S("Main"))));
  ASSERT_TRUE(RunInTree(ID_EDIT_CUT));
  EXPECT_EQ(TableScreens(panel), std::vector<wxString>{S("Alarm")});
  ASSERT_TRUE(SelectInTree(combo));
  ui.ExpectMessage(10989);
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  ASSERT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(ui.MessageTexts().back().Contains(S("'Main'"))) << ui.MessageTexts().back();
  EXPECT_TRUE(ui.MessageTexts().back().Contains(points)) << ui.MessageTexts().back();
  EXPECT_EQ(TableScreens(combo), std::vector<wxString>{S("Start")});
  EXPECT_TRUE(ClipboardHoldsUnpastedCut());
  CProjectObject* target = Below(cePanel, TypeCode::ResMask);
  ASSERT_TRUE(target);
  ASSERT_TRUE(SelectInTree(target));
  EXPECT_TRUE(EnabledInTree(ID_EDIT_PASTE));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  EXPECT_EQ(TableScreens(cePanel), (std::vector<wxString>{S("Main"), S("Start")}));
  EXPECT_TRUE(HasPicture(cePanel));
  // Pasted once.
  EXPECT_FALSE(ClipboardHoldsUnpastedCut());
  EXPECT_FALSE(EnabledInTree(ID_EDIT_PASTE));

  // The list's paste.
  ASSERT_TRUE(ListScreens(panel, S("Alarm")));
  ASSERT_TRUE(RunInList(ID_EDIT_CUT));
  EXPECT_TRUE(TableScreens(panel).empty());
  ASSERT_TRUE(ListScreens(combo));
  ui.ExpectMessage(10989);
  ASSERT_TRUE(RunInList(ID_EDIT_PASTE));
  ASSERT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(TableScreens(combo), std::vector<wxString>{S("Start")});
  EXPECT_TRUE(ClipboardHoldsUnpastedCut());
  ASSERT_TRUE(ListScreens(cePanel));
  EXPECT_TRUE(EnabledInList(ID_EDIT_PASTE));
  ASSERT_TRUE(RunInList(ID_EDIT_PASTE));
  EXPECT_EQ(TableScreens(cePanel), (std::vector<wxString>{S("Alarm"), S("Main"), S("Start")}));
  EXPECT_TRUE(HasPicture(cePanel, S("Glocke")));
  EXPECT_FALSE(ClipboardHoldsUnpastedCut());
  EXPECT_FALSE(EnabledInList(ID_EDIT_PASTE));
}

// A screen pasted on a resources folder open in the tree brings its picture along: the
// pictures folder that the device's tables now call for shows in the open folder at
// once, beside the new screens folder that the paste selects.
TEST_F(ScreenClipboardGui, APicturesFolderAPasteBringsShowsInTheOpenResourcesFolderAtOnce) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  CPOPrjDevice* panel = Make(project, kPanel);
  CPOPrjDevice* combo = Make(project, kCombo);
  CPOPrjDevice* cePanel = Make(project, kCePanel);
  ASSERT_TRUE(panel && combo && cePanel);
  AddScreen(panel, S("Main"));
  AddScreen(panel, S("Alarm"), S("Glocke"));
  auto with = [](std::vector<wxString> names, std::initializer_list<const char*> more) {
    for (const char* name : more) names.push_back(S(name));
    std::sort(names.begin(), names.end());
    return names;
  };

  CProjectObject* screens = Below(panel, TypeCode::ResMask);
  ASSERT_TRUE(screens);
  TreeChildren(screens);
  ASSERT_TRUE(SelectInTree(ChildNamed(screens, S("Main"))));
  ASSERT_TRUE(RunInTree(ID_EDIT_COPY));
  std::map<CPOPrjDevice*, std::vector<wxString>> before;
  for (CPOPrjDevice* device : {combo, cePanel}) {
    const std::string type = device->GetHardwareType().utf8_str().data();
    CProjectObject* resources = Below(device, TypeCode::Resource);
    ASSERT_TRUE(resources) << type;
    before[device] = TreeChildren(resources);
    ASSERT_TRUE(SelectInTree(resources)) << type;
    ASSERT_TRUE(RunInTree(ID_EDIT_PASTE)) << type;
    hvtest::PumpUntilIdle();
    EXPECT_EQ(ItemsShown(resources), with(before[device], {"Bitmaps", "Masken"})) << type;
    // The new screens folder is where the paste leaves the selection.
    EXPECT_EQ(Tree().Presenter().GetSelectedObject(), Below(device, TypeCode::ResMask)) << type;
  }

  // A picture pasted on a resources folder that shows its pictures folder already.
  CProjectObject* pictures = Below(panel, TypeCode::ResBitmap);
  ASSERT_TRUE(pictures);
  ASSERT_TRUE(SelectInTree(pictures));
  List().ClearSelection();
  for (std::size_t row = 0; row < List().Presenter().GetRowCount(); ++row)
    if (List().Presenter().RowObject(row)->GetName().Upper().StartsWith(S("GLOCKE"))) List().SelectRow(row, true);
  ASSERT_EQ(List().Presenter().SelectedObjects().size(), 1u);
  ASSERT_TRUE(RunInList(ID_EDIT_COPY));
  CProjectObject* resources = Below(cePanel, TypeCode::Resource);
  ASSERT_TRUE(SelectInTree(resources));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  hvtest::PumpUntilIdle();
  EXPECT_EQ(ItemsShown(resources), with(before[cePanel], {"Bitmaps", "Masken"}));
}
