// Projects and devices travel through the desktop's clipboard in the real window: copy
// and paste make copies on disk and in the project list, cut and paste moves.
#include <gtest/gtest.h>

#include "app/ClipboardTransfer.h"
#include "app/CommandIds.h"
#include "model/ProjectList.h"
#include "platform/Paths.h"
#include "app/ui/ProjectTreeView.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::ChildNamed;
using hvtest::S;

namespace {

class ProjectClipboardGui : public hvtest::ProjectWindowFixture {};

wxString ParentKeyOf(const wxString& project) {
  auto row = projectlist::Find(project);
  return row ? row->parentKey : wxS("<no row>");
}

}  // namespace

TEST_F(ProjectClipboardGui, AProjectIsCopiedIntoAnotherFolderAndMovedByCutAndPaste) {
  CPOPrjFolder* from = AddFolder(S("Alt"));
  CPOPrjFolder* to = AddFolder(S("Neu"));
  CPOProject* linie = AddProject(from, S("Linie"));
  const wxString linieFolder = linie->GetFolder();
  hvtest::WriteAll(hv::JoinPath(linieFolder, "Notiz.txt"), "Stand 3");
  Open();

  ASSERT_TRUE(SelectInTree(linie));
  ASSERT_TRUE(RunInTree(ID_EDIT_COPY));
  // The desktop holds it: another reader (another copy of the program) sees it.
  WxClipboardStore reader;
  EXPECT_TRUE(reader.Has(S("POCT21000000")));

  ASSERT_TRUE(SelectInTree(to));
  EXPECT_TRUE(EnabledInTree(ID_EDIT_PASTE));
  AnswerNewProject(S("Linie Kopie"));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  auto* copy = dynamic_cast<CPOProject*>(ChildNamed(to, S("Linie Kopie")));
  ASSERT_TRUE(copy);
  EXPECT_NE(copy->GetFolder(), linieFolder);
  EXPECT_EQ(hvtest::ReadAll(hv::JoinPath(copy->GetFolder(), "Notiz.txt")), "Stand 3");
  EXPECT_EQ(ParentKeyOf(S("Linie Kopie")), to->OwnKey());
  EXPECT_EQ(TreeChildren(to), std::vector<wxString>{S("Linie Kopie")});
  EXPECT_EQ(ChildNamed(from, S("Linie")), linie);
  // A copy may be pasted again.
  EXPECT_TRUE(EnabledInTree(ID_EDIT_PASTE));

  // Cut and paste moves the project: its row goes to the other folder, its files stay.
  ASSERT_TRUE(SelectInTree(linie));
  ASSERT_TRUE(RunInTree(ID_EDIT_CUT));
  EXPECT_NE(ChildNamed(from, S("Linie")), linie);
  // Until it is pasted, the project keeps its row where it was: nothing is lost.
  EXPECT_TRUE(ClipboardHoldsUnpastedCut());
  EXPECT_EQ(ParentKeyOf(S("Linie")), from->OwnKey());
  ASSERT_TRUE(SelectInTree(to));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  auto* moved = dynamic_cast<CPOProject*>(ChildNamed(to, S("Linie")));
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->GetFolder(), linieFolder);
  EXPECT_EQ(hvtest::ReadAll(hv::JoinPath(linieFolder, "Notiz.txt")), "Stand 3");
  EXPECT_EQ(ParentKeyOf(S("Linie")), to->OwnKey());
  EXPECT_EQ(TreeChildren(to), (std::vector<wxString>{S("Linie"), S("Linie Kopie")}));
  EXPECT_FALSE(ChildNamed(from, S("Linie")));
  EXPECT_TRUE(TreeChildren(from).empty());
  // What was cut is pasted once.
  EXPECT_FALSE(EnabledInTree(ID_EDIT_PASTE));
  EXPECT_FALSE(ClipboardHoldsUnpastedCut());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(ProjectClipboardGui, ADeviceIsCopiedIntoAnotherProject) {
  CPOPrjFolder* folder = AddFolder(S("Anlagen"));
  CPOProject* first = AddProject(folder, S("Halle 1"));
  CPOProject* second = AddProject(folder, S("Halle 2"));
  Open();
  ASSERT_TRUE(SelectInTree(first));
  AnswerNewDevice({S("Panel")});
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  CProjectObject* panel = ChildNamed(first, S("Panel"));
  ASSERT_TRUE(panel);

  ASSERT_TRUE(SelectInTree(panel));
  EXPECT_FALSE(EnabledInTree(ID_EDIT_CUT));   // a device is copied, never cut
  ASSERT_TRUE(RunInTree(ID_EDIT_COPY));
  ASSERT_TRUE(SelectInTree(second));
  EXPECT_TRUE(EnabledInTree(ID_EDIT_PASTE));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));

  auto* pasted = dynamic_cast<CPOPrjDevice*>(ChildNamed(second, S("Panel")));
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->GetDeviceFolder(), hv::JoinPath(second->GetFolder(), "Panel"));
  EXPECT_TRUE(hv::IsFile(hv::ResolvePath(hv::JoinPath(pasted->GetDeviceFolder(), "DEVICE.SET"))));
  EXPECT_TRUE(hv::IsFile(hv::ResolvePath(hv::JoinPath(pasted->GetDeviceFolder(), "GERAET.DBF"))));
  EXPECT_EQ(TreeChildren(second), std::vector<wxString>{S("Panel")});
  EXPECT_EQ(ChildNamed(first, S("Panel")), panel);
  EXPECT_TRUE(hv::IsFile(hv::ResolvePath(hv::JoinPath(first->GetFolder(), "Panel/DEVICE.SET"))));
}
