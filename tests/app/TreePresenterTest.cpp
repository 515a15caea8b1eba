#include <gtest/gtest.h>

#include "framework/CommandIds.h"
#include "app/CommandRouting.h"
#include "app/MenuResources.h"
#include "app/TavProjectApp.h"
#include "app/TreePresenter.h"
#include "app/ViewHooks.h"
#include "framework/Services.h"
#include "model/DeviceServices.h"
#include "tests/support/FakeTree.h"
#include "tests/support/TestEnv.h"
#include "tests/support/ViewFixture.h"

using hvtest::FakeTree;
using hvtest::RecordingView;
using hvtest::S;
using hvtest::ViewNode;

namespace {

// Projekte (folder) / Anlage (project) / Panel (device) / Ressourcen / Masken ...
class TreePresenterTest : public testing::Test {
 protected:
  TreePresenterTest() {
    doc.AddView(&list);
    folder = static_cast<ViewNode*>(doc.AddRoot(std::make_unique<ViewNode>(TypeCode::PrjFolder, S("Projekte"), "CPOPrjFolder")));
    project = folder->AddNode(TypeCode::Project, S("Anlage"), "CPOProject");
    device = project->AddNode(TypeCode::PrjDevice, S("Panel"), "CPOPrjDevice");
    device->PlaceInDevice(device);
    resources = device->AddNode(TypeCode::Resource, S("Ressourcen"));
    masks = resources->AddNode(TypeCode::ResMask, S("Masken"));
    otherDevice = project->AddNode(TypeCode::PrjDevice, S("Steuerung"), "CPOPrjDevice");
    otherDevice->PlaceInDevice(otherDevice);
    tree.presenter = &presenter;
  }
  ~TreePresenterTest() override {
    doc.RemoveView(&list);
  }

  std::vector<int> ListHints() const { return list.Hints(); }
  // The object of the last hint 1 the list received.
  CProjectObject* LastShown() const {
    for (auto it = list.entries.rbegin(); it != list.entries.rend(); ++it)
      if (it->hint == HINT_SHOW_OBJECT) return it->object;
    return reinterpret_cast<CProjectObject*>(-1);
  }

  // The stand-in devices are no real ones: they have no folder.
  CDeviceServices noDevices;
  hv::ServiceOverride<CDeviceServices> boundDevices{&noDevices};
  CTavProjectDoc doc;
  RecordingView list;
  FakeTree tree;
  CTreePresenter presenter{tree, doc};
  ViewNode* folder = nullptr;
  ViewNode* project = nullptr;
  ViewNode* device = nullptr;
  ViewNode* resources = nullptr;
  ViewNode* masks = nullptr;
  ViewNode* otherDevice = nullptr;
};

}  // namespace

TEST_F(TreePresenterTest, ExpandingLoadsSortedChildrenAndCollapsingDropsThem) {
  project->AddNode(TypeCode::Documents, S("dokumentation"));
  presenter.OnInitialUpdate(wxString());
  TreeItem top = tree.Find(S("Projekte"));
  ASSERT_TRUE(top);
  EXPECT_EQ(tree.Texts(top), (std::vector<wxString>{kPlaceholderText}));

  tree.Expand(top);
  TreeItem anlage = tree.Find(S("Projekte/Anlage"));
  tree.Expand(anlage);
  // Alphabetical ignoring case, whatever the child list says.
  EXPECT_EQ(tree.Texts(anlage), (std::vector<wxString>{S("dokumentation"), S("Panel"), S("Steuerung")}));
  EXPECT_EQ(project->GetExpanded(), 1);
  EXPECT_EQ(project->loads, 1);

  tree.Collapse(anlage);
  EXPECT_EQ(tree.Texts(anlage), (std::vector<wxString>{kPlaceholderText}));
  EXPECT_EQ(project->GetExpanded(), 0);
  tree.Expand(anlage);
  EXPECT_EQ(project->loads, 2);
}

TEST_F(TreePresenterTest, ThePlaceholderStaysWhenNothingLoadsAndListOnlyChildrenStayOut) {
  presenter.OnInitialUpdate(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken"));
  TreeItem maskItem = tree.Find(S("Projekte/Anlage/Panel/Ressourcen/Masken"));
  ASSERT_TRUE(maskItem);
  EXPECT_EQ(tree.Texts(maskItem), (std::vector<wxString>{kPlaceholderText}));
  EXPECT_EQ(masks->GetExpanded(), 0);

  // A folder whose children are all list-only loses its button after the expansion.
  ViewNode* points = device->AddNode(TypeCode::PrjDataPoint, S("Datenpunkte"));
  points->AddNode(TypeCode::DirectDataPoint, S("DP1"))->shownInTree = false;
  doc.UpdateAllViews(nullptr, HINT_REBUILD_TREE, nullptr);
  TreeItem pointsItem = tree.Find(S("Projekte/Anlage/Panel/Datenpunkte"));
  ASSERT_TRUE(pointsItem);
  tree.Expand(pointsItem);
  EXPECT_TRUE(tree.Texts(pointsItem).empty());
  EXPECT_EQ(points->GetExpanded(), 1);
}

TEST_F(TreePresenterTest, StartPathSkipsAMissingMiddleComponent) {
  presenter.OnInitialUpdate(S("Projekte\\Fehlt\\Anlage"));
  TreeItem selected = tree.GetSelection();
  ASSERT_TRUE(selected);
  EXPECT_EQ(tree.GetItemText(selected), S("Anlage"));
  EXPECT_TRUE(tree.IsExpanded(tree.Find(S("Projekte"))));
  EXPECT_TRUE(tree.IsExpanded(selected));
  ASSERT_FALSE(list.entries.empty());
  EXPECT_EQ(list.entries.back().hint, HINT_SHOW_OBJECT);
  EXPECT_EQ(list.entries.back().object, project);

  // A first component that names no root: the next one is looked for at the top level.
  list.entries.clear();
  presenter.OnInitialUpdate(S("Anderswo\\Projekte"));
  EXPECT_EQ(tree.GetItemText(tree.GetSelection()), S("Projekte"));
  // A path without a backslash selects nothing.
  presenter.OnInitialUpdate(S("Projekte"));
  EXPECT_EQ(tree.GetSelection(), nullptr);
}

TEST_F(TreePresenterTest, TheDeviceFolderAndSelectionTextChangeOnlyWithTheDevice) {
  CTavProjectApp app;
  struct Counting : CDeviceServices {
    wxString GetDeviceFolder(CPOPrjDevice&) override {
      ++switches;
      return wxString();
    }
    int switches = 0;
  } counting;
  hv::ServiceOverride<CDeviceServices> bound(&counting);
  int& switches = counting.switches;
  presenter.OnInitialUpdate(S("Projekte\\Anlage\\Panel\\Ressourcen"));
  EXPECT_EQ(switches, 1);
  EXPECT_EQ(app.m_currentSelection, S("Anlage/Panel"));
  tree.Expand(tree.GetSelection());
  tree.SelectItem(tree.Find(S("Projekte/Anlage/Panel/Ressourcen/Masken")));
  EXPECT_EQ(switches, 1);   // same device
  tree.SelectItem(tree.Find(S("Projekte/Anlage")));
  EXPECT_EQ(switches, 1);   // a project has no device
  tree.SelectItem(tree.Find(S("Projekte/Anlage/Panel")));
  EXPECT_EQ(switches, 2);   // the project in between had none
  tree.SelectItem(tree.Find(S("Projekte/Anlage/Steuerung")));
  EXPECT_EQ(switches, 3);
  EXPECT_EQ(app.m_currentSelection, S("Anlage/Steuerung"));
}

TEST_F(TreePresenterTest, RemovingTheLastChildPrunesEmptiedGroupingFoldersAfterTheHint) {
  ViewNode* group = masks->AddNode(TypeCode::Mask, S("Gruppe"));   // stands for a grouping folder
  group->keepWhenEmpty = false;
  masks->keepWhenEmpty = false;
  resources->keepWhenEmpty = true;
  ViewNode* leaf = group->AddNode(TypeCode::Mask, S("Start"));
  int scheduled = 0;
  presenter.schedulePendingRemovals = [&] { ++scheduled; };
  presenter.OnInitialUpdate(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken\\Gruppe\\Start"));
  ASSERT_EQ(tree.GetItemText(tree.GetSelection()), S("Start"));

  const ObjectRef groupRef(group), masksRef(masks), leafRef(leaf);
  list.entries.clear();
  group->RemoveChild(leaf);
  // The hint only dropped the item; the emptied folders wait.
  EXPECT_FALSE(leafRef.IsValid());
  EXPECT_TRUE(groupRef.IsValid());
  EXPECT_TRUE(tree.Find(S("Projekte/Anlage/Panel/Ressourcen/Masken/Gruppe")));
  EXPECT_EQ(scheduled, 1);
  EXPECT_EQ(tree.GetItemText(tree.GetSelection()), S("Gruppe"));

  presenter.RunPendingRemovals();
  EXPECT_FALSE(groupRef.IsValid());
  EXPECT_FALSE(masksRef.IsValid());
  EXPECT_TRUE(resources->HasNoChildren());
  TreeItem kept = tree.Find(S("Projekte/Anlage/Panel/Ressourcen"));
  ASSERT_TRUE(kept);
  EXPECT_EQ(tree.GetSelection(), kept);
  EXPECT_FALSE(presenter.HasPendingRemovals());
  // The list heard of every removal and of the selection that moved.
  std::vector<int> hints = ListHints();
  EXPECT_EQ(std::count(hints.begin(), hints.end(), HINT_OBJECT_REMOVED), 3);
  EXPECT_EQ(LastShown(), resources);
}

TEST_F(TreePresenterTest, RemovingTheLastTopLevelItemEmptiesTheList) {
  presenter.OnInitialUpdate(S("Projekte\\Anlage"));
  doc.RemoveObject(folder);
  EXPECT_TRUE(presenter.IsEmpty());
  EXPECT_EQ(tree.GetSelection(), nullptr);
  list.entries.clear();
  presenter.RunPendingRemovals();
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_EQ(list.entries[0].hint, HINT_SHOW_OBJECT);
  EXPECT_EQ(list.entries[0].object, nullptr);
}

TEST_F(TreePresenterTest, RemovingTheSelectedItemSelectsItsNeighbour) {
  presenter.OnInitialUpdate(S("Projekte\\Anlage\\Panel"));
  // Panel has a next sibling (Steuerung): it takes the selection.
  project->RemoveChild(device);
  EXPECT_EQ(tree.GetItemText(tree.GetSelection()), S("Steuerung"));
  // The last sibling hands it to the previous visible item, here the project.
  project->RemoveChild(otherDevice);
  EXPECT_EQ(tree.GetItemText(tree.GetSelection()), S("Anlage"));
  EXPECT_EQ(LastShown(), project);
}

TEST_F(TreePresenterTest, RebuildRestoresExpansionAndSelection) {
  otherDevice->AddNode(TypeCode::Resource, S("Ressourcen"));
  presenter.OnInitialUpdate(S("Projekte\\Anlage\\Panel\\Ressourcen"));
  tree.Expand(tree.Find(S("Projekte/Anlage/Steuerung")));
  list.entries.clear();
  const std::size_t items = tree.CountItems();
  doc.UpdateAllViews(nullptr, HINT_REBUILD_TREE, nullptr);
  EXPECT_EQ(tree.CountItems(), items);
  EXPECT_TRUE(tree.IsExpanded(tree.Find(S("Projekte/Anlage/Panel"))));
  EXPECT_TRUE(tree.IsExpanded(tree.Find(S("Projekte/Anlage/Steuerung"))));
  EXPECT_FALSE(tree.IsExpanded(tree.Find(S("Projekte/Anlage/Panel/Ressourcen/Masken"))));
  EXPECT_EQ(tree.GetSelection(), tree.Find(S("Projekte/Anlage/Panel/Ressourcen")));
  EXPECT_EQ(tree.redrawOffCount, 1);
  // One hint 1, after the rebuild: none from the selection changes inside it.
  ASSERT_EQ(LastShown(), resources);
  const std::vector<int> hints = list.Hints();
  EXPECT_EQ(std::count(hints.begin(), hints.end(), HINT_SHOW_OBJECT), 1);
}

TEST_F(TreePresenterTest, ExpandAllExpandsEveryLoadedNodeAndKeepsTheSelection) {
  masks->AddNode(TypeCode::Mask, S("M1"))->treeChildren = false;
  presenter.OnInitialUpdate(S("Projekte\\Anlage"));
  CommandRoute route;
  route.Add([this](UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) { return presenter.OnCmdMsg(id, code, ui, probe); });
  EXPECT_TRUE(route.Execute(ID_EXPAND_ALL));
  EXPECT_TRUE(tree.Find(S("Projekte/Anlage/Panel/Ressourcen/Masken/M1")));
  EXPECT_TRUE(tree.IsExpanded(tree.Find(S("Projekte/Anlage/Panel/Ressourcen/Masken"))));
  EXPECT_EQ(tree.GetSelection(), tree.Find(S("Projekte/Anlage")));
}

TEST_F(TreePresenterTest, HintsAddRenameAndOpen) {
  presenter.OnInitialUpdate(S("Projekte\\Anlage"));
  ViewNode* added = project->AddNode(TypeCode::PrjDevice, S("Bedienteil"), "CPOPrjDevice");
  doc.UpdateAllViews(nullptr, HINT_OBJECT_ADDED, added);
  EXPECT_EQ(tree.Texts(tree.Find(S("Projekte/Anlage"))),
            (std::vector<wxString>{S("Bedienteil"), S("Panel"), S("Steuerung")}));
  // A new top-level folder.
  ViewNode* root = static_cast<ViewNode*>(doc.AddRoot(std::make_unique<ViewNode>(TypeCode::PrjFolder, S("Archiv"), "CPOPrjFolder")));
  doc.UpdateAllViews(nullptr, HINT_OBJECT_ADDED, root);
  EXPECT_EQ(tree.Texts(), (std::vector<wxString>{S("Archiv"), S("Projekte")}));
  // A project inside a folder that has no item does not land at the top level.
  ViewNode* hidden = root->AddNode(TypeCode::Project, S("Alt"), "CPOProject");
  doc.UpdateAllViews(nullptr, HINT_OBJECT_ADDED, hidden);
  EXPECT_EQ(tree.Texts(), (std::vector<wxString>{S("Archiv"), S("Projekte")}));

  added->SetName(S("Zentrale"));
  doc.UpdateAllViews(nullptr, HINT_OBJECT_CHANGED, added);
  EXPECT_TRUE(tree.Find(S("Projekte/Anlage/Zentrale")));

  // The list opens a device's resources: the tree expands the parent and selects it.
  doc.UpdateAllViews(&list, HINT_OPEN_OBJECT, resources);
  EXPECT_EQ(tree.GetSelection(), tree.Find(S("Projekte/Anlage/Panel/Ressourcen")));
  // Hint 1 for a child of the selected item not yet shown: expand and select it.
  doc.UpdateAllViews(&list, HINT_SHOW_OBJECT, masks);
  EXPECT_EQ(tree.GetSelection(), tree.Find(S("Projekte/Anlage/Panel/Ressourcen/Masken")));
}

TEST_F(TreePresenterTest, ContextMenusDoubleClickAndTheEmptyTreeCommands) {
  presenter.OnInitialUpdate(S("Projekte\\Anlage"));
  project->menuId = IDR_MENU_PRJFOLDER;
  CTreePresenter::MenuChoice choice = presenter.PrepareContextMenu(nullptr);
  ASSERT_TRUE(choice.menu);
  EXPECT_EQ(project->menuAdjustments, 1);
  EXPECT_GE(choice.menu->FindItemPos(49999), 0);
  EXPECT_FALSE(presenter.IsEmptyAreaMenu());
  project->menuId = 4711;   // nobody registered it: nothing shows
  EXPECT_FALSE(presenter.PrepareContextMenu(nullptr).menu);

  presenter.OnDoubleClick();
  EXPECT_EQ(project->edits, 1);

  // The empty area: menu 434, no selection, no hint.
  list.entries.clear();
  tree.SelectItem(nullptr);
  choice = presenter.PrepareContextMenu(nullptr);
  ASSERT_TRUE(choice.menu);
  EXPECT_TRUE(choice.emptyArea);
  EXPECT_TRUE(presenter.IsEmptyAreaMenu());
  EXPECT_EQ(choice.menu->GetMenuItemID(0), static_cast<UINT>(ID_NEW_OBJECT));
  EXPECT_TRUE(list.entries.empty());

  // "Neues Object" is the tree's own only on an empty tree.
  CRecordingCmdUI ui(ID_NEW_OBJECT);
  EXPECT_FALSE(presenter.CCmdTarget::OnCmdMsg(ID_NEW_OBJECT, CN_UPDATE_COMMAND_UI, &ui, nullptr));
  doc.RemoveObject(folder);
  CRecordingCmdUI empty(ID_NEW_OBJECT);
  EXPECT_TRUE(presenter.CCmdTarget::OnCmdMsg(ID_NEW_OBJECT, CN_UPDATE_COMMAND_UI, &empty, nullptr));
  EXPECT_TRUE(empty.enabled);
}

// Items are found by the object's registry slot, which a later object takes again: the
// new object is not taken for the removed one whose item went with it.
TEST_F(TreePresenterTest, AnObjectInARemovedObjectsPlaceGetsAnItemOfItsOwn) {
  presenter.OnInitialUpdate(S("Projekte\\Anlage"));
  ASSERT_TRUE(presenter.FindItemByObject(otherDevice));
  const ObjectSerial removed = otherDevice->GetSerial();
  {
    DispatchScope scope;
    project->RemoveChild(otherDevice);
  }
  ViewNode* added = project->AddNode(TypeCode::PrjDevice, S("Bedienteil"), "CPOPrjDevice");
  ASSERT_EQ(live::SlotOf(added->GetSerial()), live::SlotOf(removed));   // the case in question
  EXPECT_EQ(presenter.FindItemByObject(added), nullptr);
  doc.UpdateAllViews(nullptr, HINT_OBJECT_ADDED, added);
  const TreeItem item = presenter.FindItemByObject(added);
  ASSERT_TRUE(item);
  EXPECT_EQ(tree.GetItemText(item), S("Bedienteil"));
  EXPECT_EQ(tree.Texts(tree.Find(S("Projekte/Anlage"))), (std::vector<wxString>{S("Bedienteil"), S("Panel")}));
  EXPECT_EQ(presenter.FindItemByObject(device), tree.Find(S("Projekte/Anlage/Panel")));
}
