// The project tree in the real control: lazy filling, start path, pruning after a
// removal, rebuild.
#include <gtest/gtest.h>

#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectTreeView.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::S;
using hvtest::ViewNode;

namespace {

class TreeView : public hvtest::WindowFixture {
 protected:
  // The control as the toolkit's tree.
  wxTreeCtrl& T() { return Tree(); }
  std::vector<wxString> ChildTexts(const wxTreeItemId& item) {
    std::vector<wxString> out;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId c = T().GetFirstChild(item, cookie); c.IsOk(); c = T().GetNextChild(item, cookie))
      out.push_back(T().GetItemText(c));
    return out;
  }
  wxString SelectedText() {
    const wxTreeItemId sel = T().GetSelection();
    return sel.IsOk() && sel != T().GetRootItem() ? T().GetItemText(sel) : wxString();
  }
};

}  // namespace

TEST_F(TreeView, ExpandingLoadsChildrenAgainAndThePlaceholderStaysWhenNothingLoads) {
  for (const char* name : {"Zeichen", "bilder", "Alarme"}) resources->AddNode(TypeCode::ResBitmap, S(name));
  Open(S("Projekte\\Anlage\\Panel"));
  EXPECT_EQ(SelectedText(), S("Panel"));
  const wxTreeItemId res = Tree().ItemOf(resources);
  ASSERT_TRUE(res.IsOk());
  EXPECT_EQ(ChildTexts(res), (std::vector<wxString>{S("dummy")}));

  T().Expand(res);
  EXPECT_EQ(ChildTexts(res), (std::vector<wxString>{S("Alarme"), S("bilder"), S("Masken"), S("Zeichen")}));
  EXPECT_EQ(resources->loads, 1);
  T().Collapse(res);
  EXPECT_EQ(ChildTexts(res), (std::vector<wxString>{S("dummy")}));
  T().Expand(res);
  EXPECT_EQ(resources->loads, 2);

  // Masken loads nothing: its button stays.
  const wxTreeItemId maskItem = Tree().ItemOf(masks);
  T().Expand(maskItem);
  EXPECT_EQ(ChildTexts(maskItem), (std::vector<wxString>{S("dummy")}));
  EXPECT_TRUE(T().ItemHasChildren(maskItem));
}

TEST_F(TreeView, StartPathSkipsAMissingComponentAndTheListShowsTheSelection) {
  device->AddNode(TypeCode::PrjDataPoint, S("Datenpunkte"));
  Open(S("Projekte\\Anlage\\Fehlt\\Panel"));
  EXPECT_EQ(SelectedText(), S("Panel"));
  EXPECT_EQ(List().Presenter().GetListed(), device);
  EXPECT_EQ(List().Control()->GetItemCount(), 2);
  // No automatic selection turns up later.
  hvtest::PumpUntilIdle();
  EXPECT_EQ(SelectedText(), S("Panel"));
}

TEST_F(TreeView, RemovingTheLastChildOfAGroupingFolderPrunesIt) {
  ViewNode* group = masks->AddNode(TypeCode::Mask, S("Gruppe"));
  group->keepWhenEmpty = false;
  ViewNode* leaf = group->AddNode(TypeCode::Mask, S("Start"));
  leaf->treeChildren = false;
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken\\Gruppe\\Start"));
  ASSERT_EQ(SelectedText(), S("Start"));
  const ObjectRef groupRef(group);
  group->RemoveChild(leaf);
  // Pruned right after the removal's hint, without a stray selection.
  ASSERT_TRUE(hvtest::PumpUntil([&] { return !groupRef.IsValid(); }));
  EXPECT_TRUE(ChildTexts(Tree().ItemOf(masks)).empty());
  EXPECT_EQ(SelectedText(), S("Masken"));
  EXPECT_EQ(List().Presenter().GetListed(), masks);
  EXPECT_EQ(List().Control()->GetItemCount(), 0);
}

TEST_F(TreeView, RebuildRestoresExpansionAndSelection) {
  ViewNode* second = project->AddNode(TypeCode::PrjDevice, S("Zweites"), "CPOPrjDevice");
  second->AddNode(TypeCode::Resource, S("Ressourcen"));
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen"));
  T().Expand(Tree().ItemOf(second));
  ASSERT_TRUE(T().IsExpanded(Tree().ItemOf(second)));
  doc.UpdateAllViews(nullptr, HINT_REBUILD_TREE, nullptr);
  hvtest::Pump();
  EXPECT_TRUE(T().IsExpanded(Tree().ItemOf(second)));
  EXPECT_TRUE(T().IsExpanded(Tree().ItemOf(device)));
  EXPECT_EQ(SelectedText(), S("Ressourcen"));
  EXPECT_EQ(Tree().ItemOf(resources), T().GetSelection());
  EXPECT_EQ(List().Presenter().GetListed(), resources);
}
