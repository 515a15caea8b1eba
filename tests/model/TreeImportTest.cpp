// "&Importieren..." of the tree while it is empty: a project imported from its folder
// joins the top level and is selected.
#include <gtest/gtest.h>

#include "app/TreePresenter.h"
#include "framework/CommandIds.h"
#include "framework/NameDialogRequests.h"
#include "platform/Paths.h"
#include "tests/model/ProjectTestSupport.h"
#include "tests/support/FakeTree.h"

using projtest::ProjectFixture;

TEST_F(ProjectFixture, ImportOnTheEmptyTreeFilesTheProjectAtTheTopAndSelectsIt) {
  hvtest::FakeTree tree;
  CTreePresenter presenter(tree, doc);
  tree.presenter = &presenter;
  presenter.OnInitialUpdate(wxString());
  ASSERT_EQ(tree.GetFirstChild(nullptr), nullptr);

  const wxString source = home.Sub("Fremd/Linie");
  hv::MakeFolders(source);
  hvtest::WriteAll(hv::JoinPath(source, "PROJECT.SET"), "[Config]\r\nName=Linie\r\n");
  int asked = 0;
  ui.Answer<PathDialogRequest>([&](PathDialogRequest& r) {
    ++asked;
    r.pathName = source;
    return static_cast<int>(IDOK);
  });
  DispatchScope scope;
  ASSERT_TRUE(presenter.OnCmdMsg(ID_IMPORT, CN_COMMAND, nullptr, nullptr));
  EXPECT_EQ(asked, 1);
  auto row = projectlist::Find("Linie");
  ASSERT_TRUE(row);
  EXPECT_EQ(row->path, source);
  ASSERT_EQ(doc.GetRootCount(), 1u);
  TreeItem first = tree.GetFirstChild(nullptr);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(tree.GetSelection(), first);
}
