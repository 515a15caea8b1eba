// A new device in the project tree: it appears under its project with its children,
// and its context menu offers the tools that fit it.
#include <gtest/gtest.h>

#include "app/MenuResources.h"
#include "app/TreePresenter.h"
#include "app/ViewHooks.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/model/DeviceTestSupport.h"
#include "tests/support/FakeTree.h"

using devtest::DeviceFixture;
using hvtest::S;

TEST_F(DeviceFixture, NewDeviceAppearsInTheTreeWithChildrenAndTools) {
  hvtest::FakeTree tree;
  CTreePresenter presenter(tree, doc);
  tree.presenter = &presenter;
  doc.AddView(&presenter);
  presenter.OnInitialUpdate(S("Anlage"));
  ASSERT_TRUE(tree.Find(S("Anlage")));

  auto tool = std::make_unique<CTool>();
  tool->name = "TAVTERM";
  tool->version = 1.0;
  tool->appName = "Terminal";
  tool->params.push_back(std::make_unique<CToolParam>("Set", "MBTCP", "%o"));
  app.m_tools.Add(std::move(tool));

  devtest::NewDevice answers;
  answers.name = "Panel";
  CPOPrjDevice* device = Create(answers);
  ASSERT_TRUE(device);
  TreeItem item = tree.Find(S("Anlage/Panel"));
  ASSERT_TRUE(item);
  EXPECT_EQ(presenter.ObjectOf(item), device);

  tree.Expand(item);
  EXPECT_EQ(tree.Texts(item), std::vector<wxString>{S("Ressourcen")});
  tree.SelectItem(item);
  EXPECT_EQ(hv::db::pfad_daten, device->GetDeviceFolder());

  CTreePresenter::MenuChoice choice = presenter.PrepareContextMenu(item);
  ASSERT_TRUE(choice.menu);
  const int pos = choice.menu->FindItemPosByText("Terminal");
  ASSERT_GE(pos, 0);
  EXPECT_EQ(choice.menu->GetMenuItemID(pos), 40000u);
  doc.RemoveView(&presenter);
}
