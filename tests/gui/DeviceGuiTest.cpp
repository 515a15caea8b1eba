// A new device made from its project's menu command in the real window: it shows in
// the tree with the children its configuration calls for, and its context menu lists
// the external tools that fit it.
#include <gtest/gtest.h>

#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "framework/CommandIds.h"
#include "app/MenuResources.h"
#include "framework/ToolsRepository.h"
#include "app/ui/MenuBuilder.h"
#include "app/ui/ProjectTreeView.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::ChildNamed;
using hvtest::S;

namespace {

// Three installed tools: one for the device's network and type, one its configuration
// does not name, one for another network.
const char* const kTools =
    "[SOFTWARE\\Quintor\\Halvora\\Tools\\TAVTERM\\1.2]\n"
    "\"AppName\"=\"Terminal\"\n\"AppExe\"=\"/bin/true\"\n\"AppGUID\"=\"{TAVTERM}\"\n\"InTools\"=dword:0\n"
    "[SOFTWARE\\Quintor\\Halvora\\Tools\\TAVTERM\\1.2\\Set1]\n\"Driver\"=\"MBTCP\"\n\"Para\"=\"-n %n\"\n"
    "[SOFTWARE\\Quintor\\Halvora\\Tools\\OTHER\\1.0]\n"
    "\"AppName\"=\"Fremdwerkzeug\"\n\"AppExe\"=\"/bin/true\"\n\"AppGUID\"=\"{OTHER}\"\n\"InTools\"=dword:0\n"
    "[SOFTWARE\\Quintor\\Halvora\\Tools\\OTHER\\1.0\\Set1]\n\"Driver\"=\"MBTCP\"\n\"Para\"=\"\"\n"
    "[SOFTWARE\\Quintor\\Halvora\\Tools\\TAVTERM\\2.0]\n"
    "\"AppName\"=\"Terminal Feldbus\"\n\"AppExe\"=\"/bin/true\"\n\"AppGUID\"=\"{TAVTERM}\"\n\"InTools\"=dword:0\n"
    "[SOFTWARE\\Quintor\\Halvora\\Tools\\TAVTERM\\2.0\\Set1]\n\"Driver\"=\"SIMNET\"\n\"Para\"=\"\"\n";

class DeviceGui : public hvtest::ProjectWindowFixture {
 protected:
  DeviceGui() : ProjectWindowFixture(kTools) {}
};

// A screen's header record, written as the screen designer writes it.
void AddScreenOutside(const wxString& deviceFolder, const wxString& name) {
  using namespace hv::db;
  Table t;
  ASSERT_TRUE(t.open(deviceFolder, MskfldSchema()));
  MaskField header;
  header.name = name;
  header.setNumber(0);
  header.setType(0);
  ASSERT_TRUE(msk_fld_insert_quick(t, header));
}

bool Lists(const std::vector<wxString>& labels, const wxString& label) {
  return std::find(labels.begin(), labels.end(), label) != labels.end();
}

}  // namespace

TEST_F(DeviceGui, ANewDeviceShowsItsChildrenAndTheToolsThatFitIt) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  ASSERT_TRUE(SelectInTree(project));
  // The project's own menu offers the new-object dialog, through which devices come.
  EXPECT_TRUE(Lists(TreeMenuOf(project), S("Neu...")));

  AnswerNewDevice({S("Panel")});
  ASSERT_TRUE(EnabledInTree(ID_OBJECT_NEW));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  hvtest::PumpUntilIdle();   // the device's late questions
  auto* device = dynamic_cast<CPOPrjDevice*>(ChildNamed(project, S("Panel")));
  ASSERT_TRUE(device);
  EXPECT_TRUE(hv::IsFile(hv::ResolvePath(hv::JoinPath(device->GetDeviceFolder(), "DEVICE.SET"))));
  EXPECT_EQ(TreeChildren(project), std::vector<wxString>{S("Panel")});

  // A graphic panel with resources of its own: the resource node with its fonts.
  const std::vector<wxString> children = TreeChildren(device);
  EXPECT_EQ(children, std::vector<wxString>{S("Ressourcen")});
  CProjectObject* resources = ChildNamed(device, S("Ressourcen"));
  ASSERT_TRUE(resources);
  EXPECT_TRUE(Lists(TreeChildren(resources), S("Fonts")));

  // Its menu: the tool for its network that its configuration accepts, in place of the
  // marker; not the one the configuration does not name, nor the one for another bus.
  ASSERT_TRUE(SelectInTree(device));
  const std::vector<wxString> menu = TreeMenuOf(device);
  ASSERT_FALSE(menu.empty());
  EXPECT_TRUE(Lists(menu, S("Terminal")));
  EXPECT_FALSE(Lists(menu, S("Fremdwerkzeug")));
  EXPECT_FALSE(Lists(menu, S("Terminal Feldbus")));
  EXPECT_FALSE(Lists(menu, S("<ToolPopup1>")));
  EXPECT_TRUE(Lists(menu, S("Ändern")));
  EXPECT_TRUE(EnabledInTree(kFirstDeviceToolCommand));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// The designer adds screens behind the program's back: F5 shows them and keeps the
// screens folder open; closed, the folder still shows that it holds screens.
TEST_F(DeviceGui, RefreshShowsScreensAddedOutsideAndKeepsTheirFolderOpen) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  ASSERT_TRUE(SelectInTree(project));
  AnswerNewDevice({S("Panel")});
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  hvtest::Pump(std::chrono::milliseconds(100));
  auto* made = dynamic_cast<CPOPrjDevice*>(ChildNamed(project, S("Panel")));
  ASSERT_TRUE(made);
  const wxString deviceFolder = made->GetDeviceFolder();
  AddScreenOutside(deviceFolder, S("Start"));

  // A refresh may make the objects anew: they are looked up each time.
  auto device = [&]() { return ChildNamed(ChildNamed(doc.GetRoot(0), S("Halle")), S("Panel")); };
  auto resources = [&]() { return ChildNamed(device(), S("Ressourcen")); };
  auto masks = [&]() { return ChildNamed(resources(), S("Masken")); };
  ASSERT_TRUE(RunInTree(ID_VIEW_REFRESH));
  ASSERT_TRUE(device());
  ASSERT_TRUE(SelectInTree(device()));
  TreeChildren(device());
  ASSERT_TRUE(resources());
  EXPECT_TRUE(Lists(TreeChildren(resources()), S("Masken")));
  ASSERT_TRUE(masks());
  EXPECT_EQ(TreeChildren(masks()), std::vector<wxString>{S("Start")});

  AddScreenOutside(deviceFolder, S("Kessel"));
  ASSERT_TRUE(RunInTree(ID_VIEW_REFRESH));
  ASSERT_TRUE(masks());
  const wxTreeItemId open = Tree().ItemOf(masks());
  ASSERT_TRUE(open.IsOk());
  EXPECT_TRUE(Tree().IsExpanded(open));
  EXPECT_EQ(TreeChildren(masks()), (std::vector<wxString>{S("Kessel"), S("Start")}));

  // Closed and rebuilt as at the next start: the folder keeps its expander.
  Tree().Collapse(Tree().ItemOf(masks()));
  ASSERT_TRUE(RunInTree(ID_VIEW_REFRESH));
  const wxTreeItemId closed = Tree().ItemOf(masks());
  ASSERT_TRUE(closed.IsOk());
  EXPECT_FALSE(Tree().IsExpanded(closed));
  EXPECT_TRUE(Tree().ItemHasChildren(closed));

  // A screen copied and pasted into its own folder comes back under the next free name.
  TreeChildren(masks());
  CProjectObject* start = ChildNamed(masks(), S("Start"));
  ASSERT_TRUE(start);
  ASSERT_TRUE(SelectInTree(start));
  ASSERT_TRUE(RunInTree(ID_EDIT_COPY));
  ASSERT_TRUE(SelectInTree(masks()));
  EXPECT_TRUE(EnabledInTree(ID_EDIT_PASTE));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  EXPECT_EQ(TreeChildren(masks()), (std::vector<wxString>{S("Kessel"), S("Start"), S("Start_1")}));
}
