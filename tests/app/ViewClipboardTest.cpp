// Copy, cut and paste as the two views offer them: through the main window's command
// route, with the tree's and the list's rules for when each is enabled.
#include <gtest/gtest.h>

#include "framework/ClipboardStore.h"
#include "app/ClipboardTransfer.h"
#include "framework/CommandIds.h"
#include "app/FrameRouting.h"
#include "app/ListPresenter.h"
#include "framework/SettingsFile.h"
#include "app/TreePresenter.h"
#include "app/ViewHooks.h"
#include "framework/Services.h"
#include "model/DeviceServices.h"
#include "tests/support/FakeList.h"
#include "tests/support/FakeTree.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"
#include "tests/support/ViewFixture.h"

using hvtest::ChildNames;
using hvtest::S;
using hvtest::ViewNode;

namespace {

// A folder that makes new objects itself ("Neues Object").
class Maker : public ViewNode {
 public:
  explicit Maker(const wxString& name) : ViewNode(TypeCode::ResMask, name, "CPOResMask") {}
  int made = 0;
  HV_DECLARE_COMMAND_MAP()
 protected:
  void OnNewObject() { ++made; }
};

BEGIN_COMMAND_MAP(Maker, ViewNode)
  ON_COMMAND(ID_NEW_OBJECT, OnNewObject)
END_COMMAND_MAP()

// Projekte / Anlage / Panel / Ressourcen / Masken / Start, and a second device without
// resources: the two views on one document, routed as the main window routes.
class ViewClipboard : public testing::Test {
 protected:
  ViewClipboard() {
    profile.SetPath(home.Sub("Project.INI"));
    folder = static_cast<ViewNode*>(doc.AddRoot(std::make_unique<ViewNode>(TypeCode::PrjFolder, S("Projekte"), "CPOPrjFolder")));
    project = folder->AddNode(TypeCode::Project, S("Anlage"), "CPOProject");
    panel = project->AddNode(TypeCode::PrjDevice, S("Panel"), "CPOPrjDevice");
    panel->PlaceInDevice(panel);
    ViewNode* resources = panel->AddNode(TypeCode::Resource, S("Ressourcen"), "CPOResource");
    masks = resources->AddNode(TypeCode::ResMask, S("Masken"), "CPOResMask");
    start = masks->AddNode(TypeCode::Mask, S("Start"), "CPOMask");
    start->treeChildren = false;
    other = project->AddNode(TypeCode::PrjDevice, S("Steuerung"), "CPOPrjDevice");
    other->PlaceInDevice(other);
    other->treeChildren = false;
    tree.presenter = &treeView;
    treeView.OnInitialUpdate(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken"));
    listView.OnInitialUpdate();
    router.SetActiveView(&treeView);
  }


  void SelectInTree(const char* path) {
    TreeItem item = tree.Find(S(path));
    ASSERT_TRUE(item) << path;
    tree.SelectItem(item);
  }
  BOOL Enabled(UINT id) { return router.RouteFrom().IsEnabled(id); }
  BOOL Run(UINT id) { return router.RouteFrom().Execute(id); }

  hvtest::TempHome home;
  hvtest::ScriptedUi ui;
  hvtest::FakeClasses classes;
  MemoryClipboardStore store;
  ScopedClipboardStore useStore{store};
  CSettingsFile profile;
  // The stand-in devices are no real ones: they have no folder.
  CDeviceServices noDevices;
  hv::ServiceOverride<CDeviceServices> boundDevices{&noDevices};
  CTavProjectDoc doc;
  hvtest::FakeTree tree;
  hvtest::FakeList list;
  CTreePresenter treeView{tree, doc};
  CListPresenter listView{list, doc, profile};
  CFrameRouter router{doc};
  ViewNode* folder = nullptr;
  ViewNode* project = nullptr;
  ViewNode* panel = nullptr;
  ViewNode* masks = nullptr;
  ViewNode* start = nullptr;
  ViewNode* other = nullptr;
};

}  // namespace

TEST_F(ViewClipboard, TreeCopiesTheSelectionAndPastesWhereItsKindBelongs) {
  tree.SelectItem(nullptr);
  EXPECT_FALSE(Enabled(ID_EDIT_COPY));
  EXPECT_FALSE(Enabled(ID_EDIT_PASTE));

  SelectInTree("Projekte/Anlage/Panel/Ressourcen/Masken");
  tree.Expand(tree.Find(S("Projekte/Anlage/Panel/Ressourcen/Masken")));
  SelectInTree("Projekte/Anlage/Panel/Ressourcen/Masken/Start");
  EXPECT_TRUE(Enabled(ID_EDIT_COPY));
  EXPECT_FALSE(Enabled(ID_EDIT_PASTE));   // nothing on the clipboard
  ASSERT_TRUE(Run(ID_EDIT_COPY));
  ASSERT_EQ(store.Formats(), std::vector<wxString>{S("POCT21213100")});
  // A screen does not go into a screen ...
  EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
  EXPECT_FALSE(Run(ID_EDIT_PASTE));

  // ... but into a device, through the grouping folders made on the way.
  SelectInTree("Projekte/Anlage/Steuerung");
  EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
  ASSERT_TRUE(Run(ID_EDIT_PASTE));
  ASSERT_EQ(other->GetChildCount(), 1u);
  CProjectObject* made = other->GetChildren()[0]->GetChildren().at(0);
  EXPECT_EQ(ChildNames(made), std::vector<wxString>{S("Start")});
  EXPECT_EQ(ChildNames(masks), std::vector<wxString>{S("Start")});
  // A copy stays on the clipboard for further pastes.
  EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
}

TEST_F(ViewClipboard, TreeCutMovesOnceAndAProjectFolderIsNeverCopied) {
  tree.Expand(tree.Find(S("Projekte/Anlage/Panel/Ressourcen/Masken")));
  SelectInTree("Projekte/Anlage/Panel/Ressourcen/Masken/Start");
  ASSERT_TRUE(Run(ID_EDIT_CUT));
  EXPECT_TRUE(masks->HasNoChildren());
  EXPECT_FALSE(GetClipboardCopyFlag());

  SelectInTree("Projekte/Anlage/Steuerung");
  ASSERT_TRUE(Run(ID_EDIT_PASTE));
  EXPECT_EQ(other->GetChildCount(), 1u);
  // Cut objects are pasted once.
  EXPECT_TRUE(store.Formats().empty());
  EXPECT_FALSE(Enabled(ID_EDIT_PASTE));

  SelectInTree("Projekte");
  Run(ID_EDIT_COPY);
  EXPECT_TRUE(store.Formats().empty());
}

TEST_F(ViewClipboard, TheEmptyAreaMenuPastesAProjectFolderAtTheTopOnlyWhileItIsUp) {
  // A project folder reaches the clipboard from a list (or another copy of the program).
  ListCopy(std::vector<ObjectRef>{ObjectRef(folder)});
  ASSERT_EQ(store.Formats(), std::vector<wxString>{S("POCT20000000")});

  tree.SelectItem(nullptr);
  CTreePresenter::MenuChoice choice = treeView.PrepareContextMenu(nullptr);
  ASSERT_TRUE(choice.emptyArea);
  EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
  ASSERT_TRUE(Run(ID_EDIT_PASTE));
  ASSERT_EQ(doc.GetRootCount(), 2u);
  EXPECT_EQ(doc.GetRoot(1)->GetName(), S("Projekte"));

  treeView.ContextMenuClosed();
  EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
}

TEST_F(ViewClipboard, NewObjectInTheTreeBelongsToTheSelectedObject) {
  // An object without a handler of its own: the tree does not step in with a folder.
  SelectInTree("Projekte/Anlage/Panel/Ressourcen/Masken");
  EXPECT_FALSE(Enabled(ID_NEW_OBJECT));
  EXPECT_FALSE(Run(ID_NEW_OBJECT));
  EXPECT_EQ(doc.GetRootCount(), 1u);

  auto* maker = static_cast<Maker*>(panel->AddChild(std::make_unique<Maker>(S("Eigene"))));
  maker->treeChildren = false;
  doc.UpdateAllViews(nullptr, HINT_OBJECT_ADDED, maker);
  SelectInTree("Projekte/Anlage/Panel/Eigene");
  EXPECT_TRUE(Enabled(ID_NEW_OBJECT));
  ASSERT_TRUE(Run(ID_NEW_OBJECT));
  EXPECT_EQ(maker->made, 1);

  // The empty area (nothing selected): a new top-level folder.
  tree.SelectItem(nullptr);
  EXPECT_TRUE(Enabled(ID_NEW_OBJECT));
}

TEST_F(ViewClipboard, ListCopiesItsRowsAndPastesIntoTheListedFolder) {
  router.SetActiveView(&listView);
  doc.UpdateAllViews(&treeView, HINT_SHOW_OBJECT, masks);
  ASSERT_EQ(listView.GetRowCount(), 1u);
  list.SelectRow(0, true);
  ASSERT_TRUE(Run(ID_EDIT_COPY));
  EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
  ASSERT_TRUE(Run(ID_EDIT_PASTE));
  EXPECT_EQ(ChildNames(masks), (std::vector<wxString>{S("Start"), S("Start")}));
  EXPECT_EQ(listView.GetRowCount(), 2u);
  // A paste in the list empties the clipboard.
  EXPECT_TRUE(store.Formats().empty());
  EXPECT_FALSE(Enabled(ID_EDIT_PASTE));

  // A screen is no direct child of a device: the list does not look through folders.
  list.SelectRow(0, true);
  ASSERT_TRUE(Run(ID_EDIT_COPY));
  doc.UpdateAllViews(&treeView, HINT_SHOW_OBJECT, other);
  EXPECT_FALSE(Enabled(ID_EDIT_PASTE));

  // Cut removes the rows.
  doc.UpdateAllViews(&treeView, HINT_SHOW_OBJECT, masks);
  list.SelectAll();
  ASSERT_TRUE(Run(ID_EDIT_CUT));
  EXPECT_TRUE(masks->HasNoChildren());
  EXPECT_EQ(listView.GetRowCount(), 0u);
}
