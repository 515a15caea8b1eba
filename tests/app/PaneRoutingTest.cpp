#include <gtest/gtest.h>

#include "app/AppCommands.h"
#include "framework/CommandIds.h"
#include "app/FrameRouting.h"
#include "app/MainFrameCommands.h"
#include "framework/SettingsFile.h"
#include "tests/support/FakeList.h"
#include "tests/support/FakeTree.h"
#include "tests/support/TestEnv.h"
#include "tests/support/ViewFixture.h"

using hvtest::S;
using hvtest::ViewNode;
namespace {

enum : UINT { ID_LOCKED = 50301, ID_COUNTED = 50302 };

// An object with a command that its update handler can lock.
class Lockable : public ViewNode {
 public:
  Lockable() : ViewNode(TypeCode::Mask, S("Start"), "CPOMask") {}
  bool locked = false;
  int runs = 0;
  HV_DECLARE_COMMAND_MAP()
 protected:
  void OnLocked() { ++runs; }
  void OnUpdateLocked(CCmdUI* ui) { ui->Enable(locked ? FALSE : TRUE); }
};

BEGIN_COMMAND_MAP(Lockable, ViewNode)
  ON_COMMAND(ID_LOCKED, OnLocked)
  ON_UPDATE_COMMAND_UI(ID_LOCKED, OnUpdateLocked)
END_COMMAND_MAP()

class PaneRoutingTest : public testing::Test {
 protected:
  PaneRoutingTest() {
    profile.SetPath(home.Sub("Project.INI"));
    folder = static_cast<ViewNode*>(doc.AddRoot(std::make_unique<ViewNode>(TypeCode::ResMask, S("Masken"), "CPOResMask")));
    lockable = static_cast<Lockable*>(folder->AddChild(std::make_unique<Lockable>()));
    tree.presenter = &treePresenter;
    treePresenter.OnInitialUpdate(wxString());
    tree.SelectItem(tree.Find(S("Masken")));
    router.SetFrameTarget(&frame);
    router.SetAppTarget(&app);
  }

  hvtest::TempHome home;
  CSettingsFile profile;
  CTavProjectDoc doc;
  hvtest::FakeTree tree;
  hvtest::FakeList list;
  CTreePresenter treePresenter{tree, doc};
  CListPresenter listPresenter{list, doc, profile};
  CMainFrameCommands frame;
  CAppCommandTarget app;
  CFrameRouter router{doc};
  ViewNode* folder = nullptr;
  Lockable* lockable = nullptr;
};

}  // namespace

TEST_F(PaneRoutingTest, ListCommandsReachTheListWhileTheTreeIsActive) {
  ASSERT_EQ(listPresenter.GetRowCount(), 1u);
  router.SetActiveView(&treePresenter);
  EXPECT_TRUE(router.RouteFrom().Execute(ID_EDIT_SELECT_ALL));
  EXPECT_TRUE(list.HasSelection());
  EXPECT_TRUE(router.RouteFrom().Execute(ID_VIEW_LIST));
  EXPECT_EQ(list.style, LIST_STYLE_LIST);
  // Other commands the tree does not serve are not handed over.
  EXPECT_FALSE(router.RouteFrom().IsEnabled(ID_OBJECT_DELETE));

  // With the list active its selected object answers; from the tree the folder does.
  router.SetActiveView(&listPresenter);
  EXPECT_TRUE(router.RouteFrom().Execute(ID_LOCKED));
  EXPECT_EQ(lockable->runs, 1);
  router.SetActiveView(&treePresenter);
  EXPECT_FALSE(router.RouteFrom().IsEnabled(ID_LOCKED));
  // A popup shown by the list routes from the list, whatever pane is active.
  EXPECT_TRUE(router.RouteFrom(&listPresenter).Execute(ID_LOCKED));
  EXPECT_EQ(lockable->runs, 2);
}

TEST_F(PaneRoutingTest, ADisabledCommandIsNeverRun) {
  router.SetActiveView(&listPresenter);
  lockable->locked = true;
  EXPECT_FALSE(router.RouteFrom().IsEnabled(ID_LOCKED));
  EXPECT_FALSE(router.RouteFrom().Execute(ID_LOCKED));
  EXPECT_EQ(lockable->runs, 0);
}
