// The tree and the list on large folders: children are loaded once per user action
// (the tree's expansion takes what the list has just listed, a rebuild reads anew), and
// with many rows selected a command's state is asked of the objects once per selection.
#include <gtest/gtest.h>

#include "app/CommandRouting.h"
#include "app/ListPresenter.h"
#include "app/TreePresenter.h"
#include "framework/CommandIds.h"
#include "framework/Services.h"
#include "framework/SettingsFile.h"
#include "model/DeviceServices.h"
#include "tests/support/FakeList.h"
#include "tests/support/FakeTree.h"
#include "tests/support/TestEnv.h"
#include "tests/app/PresenterViewsSupport.h"
#include "tests/support/ViewFixture.h"

using hvtest::S;
using hvtest::ViewNode;

namespace {

constexpr UINT kDeleteCommand = 33990;

// Counts the update requests it answers; enabled unless told otherwise.
class CountingRow : public ViewNode {
 public:
  CountingRow(const wxString& name, bool inTree) : ViewNode(TypeCode::Mask, name) {
    treeChildren = false;
    shownInTree = inTree;
  }
  BOOL OnCmdMsg(UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) override {
    if (id == kDeleteCommand && code == CN_UPDATE_COMMAND_UI && ui) {
      ++asked;
      ui->Enable(enabled ? TRUE : FALSE);
      return TRUE;
    }
    if (id == kDeleteCommand && code == CN_COMMAND) {
      if (!probe) ++runs;
      return TRUE;
    }
    return ViewNode::OnCmdMsg(id, code, ui, probe);
  }
  static inline long asked = 0;
  static inline long runs = 0;
  bool enabled = true;
};

class LargeViewsTest : public apptest::PresenterViews {
 protected:
  LargeViewsTest() {
    root = static_cast<ViewNode*>(doc.AddRoot(std::make_unique<ViewNode>(TypeCode::PrjFolder, S("Projekte"), "CPOPrjFolder")));
    project = root->AddNode(TypeCode::Project, S("Anlage"), "CPOProject");
    device = project->AddNode(TypeCode::PrjDevice, S("Panel"), "CPOPrjDevice");
    device->PlaceInDevice(device);
    folder = device->AddNode(TypeCode::PrjDataPoint, S("Datenpunkte"));
    folder->listChildren = true;
    // The children come with the first load; later loads find them again.
    folder->loader = [this](ViewNode& f) {
      if (!f.HasNoChildren()) return;
      f.AddChild(std::make_unique<CountingRow>(S("Netz"), true));
      for (int i = 0; i < 50; ++i) {
        auto row = std::make_unique<CountingRow>(wxString::Format("DP%03d", i), false);
        rows.push_back(row.get());
        f.AddChild(std::move(row));
      }
    };
    tree.presenter = &treePresenter;
    listPresenter.OnInitialUpdate();
    treePresenter.OnInitialUpdate(S("Projekte\\Anlage\\Panel"));
  }

  ViewNode* root = nullptr;
  ViewNode* project = nullptr;
  ViewNode* device = nullptr;
  ViewNode* folder = nullptr;
  std::vector<CountingRow*> rows;
};

}  // namespace

TEST_F(LargeViewsTest, ExpandTakesWhatTheListListedAndARebuildReadsAgain) {
  TreeItem item = tree.Find(S("Projekte/Anlage/Panel/Datenpunkte"));
  ASSERT_TRUE(item);
  const int before = folder->loads;
  tree.SelectItem(item);   // the list shows the folder: one load
  EXPECT_EQ(folder->loads, before + 1);
  EXPECT_EQ(listPresenter.GetRowCount(), rows.size() + 1);
  tree.Expand(item);   // the same children: not read again
  EXPECT_EQ(folder->loads, before + 1);
  EXPECT_EQ(tree.Texts(item), (std::vector<wxString>{S("Netz")}));
  // Stale children are read again.
  tree.Collapse(item);
  folder->stale = true;
  tree.Expand(item);
  EXPECT_EQ(folder->loads, before + 2);
  folder->stale = false;
  // F5 reads everything expanded once.
  doc.OnCmdMsg(ID_VIEW_REFRESH, CN_COMMAND, nullptr, nullptr);
  EXPECT_EQ(folder->loads, before + 3);
  EXPECT_TRUE(tree.Find(S("Projekte/Anlage/Panel/Datenpunkte/Netz")));
  // "Erweitern" loads the subtree and rebuilds: still one load in that action.
  tree.SelectItem(tree.Find(S("Projekte/Anlage/Panel")));
  const int beforeAll = folder->loads;
  CommandRoute route;
  route.Add(treePresenter);
  EXPECT_TRUE(route.Execute(ID_EXPAND_ALL));
  EXPECT_EQ(folder->loads, beforeAll + 1);
}

TEST_F(LargeViewsTest, SelectionStateIsAskedOncePerSelectionChange) {
  tree.SelectItem(tree.Find(S("Projekte/Anlage/Panel/Datenpunkte")));
  CommandRoute route;
  route.Add([this](UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) {
    return listPresenter.OnCmdMsg(id, code, ui, probe);
  });
  list.SelectAll();
  const long all = static_cast<long>(listPresenter.GetRowCount());
  CountingRow::asked = 0;
  const long reads = list.selectionReads;
  for (int refresh = 0; refresh < 10; ++refresh) EXPECT_TRUE(route.IsEnabled(kDeleteCommand));
  // Every selected object answered once, not once per refresh.
  EXPECT_EQ(CountingRow::asked, all);
  EXPECT_EQ(list.selectionReads, reads + 1);

  // A new selection is asked again, and its answer counts.
  rows[7]->enabled = false;
  list.SelectRow(0, false);
  EXPECT_FALSE(route.IsEnabled(kDeleteCommand));
  EXPECT_FALSE(route.IsEnabled(kDeleteCommand));
  EXPECT_EQ(CountingRow::asked, all + all - 1);

  // A hint (objects may have changed) asks again too.
  rows[7]->enabled = true;
  doc.UpdateAllViews(nullptr, HINT_OBJECT_CHANGED, rows[3]);
  EXPECT_TRUE(route.IsEnabled(kDeleteCommand));
  EXPECT_EQ(CountingRow::asked, all + 2 * (all - 1));

  // Running the command reaches every selected object and forgets the answers.
  CountingRow::runs = 0;
  EXPECT_TRUE(route.Execute(kDeleteCommand));
  EXPECT_EQ(CountingRow::runs, all - 1);
  const long asked = CountingRow::asked;
  EXPECT_TRUE(route.IsEnabled(kDeleteCommand));
  EXPECT_EQ(CountingRow::asked, asked + all - 1);
}
