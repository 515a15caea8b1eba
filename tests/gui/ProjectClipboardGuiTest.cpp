// Projects and devices travel through the desktop's clipboard in the real window: copy
// and paste make copies on disk and in the project list, cut and paste moves.
#include <gtest/gtest.h>

#include "app/ClipboardTransfer.h"
#include "framework/ClipboardFiles.h"
#include "framework/CommandIds.h"
#include "model/ProjectList.h"
#include "model/ProjectOperations.h"
#include "platform/Paths.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectTreeView.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/PrivateTrash.h"

using hvtest::ChildNamed;
using hvtest::S;

namespace {

class ProjectClipboardGui : public hvtest::ProjectWindowFixture {
 protected:
  CProjectListView& List() { return *frame->GetListView(); }
  // A command as the list's menus run it.
  BOOL RunInList(UINT id) {
    DispatchScope scope;
    return frame->Router().RouteFrom(&List().Presenter()).Execute(id);
  }
  BOOL EnabledInList(UINT id) { return frame->Router().RouteFrom(&List().Presenter()).IsEnabled(id); }
  std::vector<wxString> ListNames() {
    std::vector<wxString> names;
    for (std::size_t i = 0; i < List().Presenter().GetRowCount(); ++i)
      if (CProjectObject* o = List().Presenter().RowObject(i)) names.push_back(o->GetName());
    return names;
  }
};

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
  // Its row is complete at once, driver column included: the plug-in's display name.
  ASSERT_TRUE(SelectInTree(second));
  const long row = List().Presenter().FindRow(pasted);
  ASSERT_GE(row, 0);
  EXPECT_EQ(List().Control()->GetItemText(row, 2), S("CAN R515 Panel-Treiber"));

  // Pasted beside the original: the next free name and a number of its own.
  ASSERT_TRUE(SelectInTree(first));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  auto* twin = dynamic_cast<CPOPrjDevice*>(ChildNamed(first, S("Panel1")));
  ASSERT_TRUE(twin);
  EXPECT_NE(twin->GetDeviceNumber(), static_cast<CPOPrjDevice*>(panel)->GetDeviceNumber());
  EXPECT_EQ(TreeChildren(first), (std::vector<wxString>{S("Panel"), S("Panel1")}));
  ASSERT_TRUE(SelectInTree(first));
  const long twinRow = List().Presenter().FindRow(twin);
  ASSERT_GE(twinRow, 0);
  EXPECT_EQ(List().Control()->GetItemText(twinRow, 2), S("CAN R515 Panel-Treiber"));
}

TEST_F(ProjectClipboardGui, AProjectCopiedInTheTreeIsPastedInTheListWhereProjectsMayGo) {
  CPOPrjFolder* folder = AddFolder(S("Anlagen"));
  CPOProject* hall = AddProject(folder, S("Halle"));
  CPOProject* store = AddProject(folder, S("Lager"));
  Open();
  ASSERT_TRUE(SelectInTree(hall));
  AnswerNewDevice({S("Panel")});
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  hvtest::PumpUntilIdle();   // the device's late questions
  CProjectObject* panel = ChildNamed(hall, S("Panel"));
  ASSERT_TRUE(panel);

  ASSERT_TRUE(SelectInTree(hall));
  ASSERT_TRUE(RunInTree(ID_EDIT_COPY));

  // The folder listed, nothing selected: the copy goes into the folder.
  ASSERT_TRUE(SelectInTree(folder));
  ASSERT_EQ(List().Presenter().GetListed(), folder);
  List().ClearSelection();
  EXPECT_TRUE(EnabledInList(ID_EDIT_PASTE));
  AnswerNewProject(S("Halle Kopie"));
  ASSERT_TRUE(RunInList(ID_EDIT_PASTE));
  auto* copy = dynamic_cast<CPOProject*>(ChildNamed(folder, S("Halle Kopie")));
  ASSERT_TRUE(copy);
  EXPECT_NE(copy->GetFolder(), hall->GetFolder());
  EXPECT_TRUE(hv::IsFile(hv::ResolvePath(hv::JoinPath(copy->GetFolder(), "PROJECT.SET"))));
  EXPECT_EQ(ParentKeyOf(S("Halle Kopie")), folder->OwnKey());
  EXPECT_EQ(ListNames(), (std::vector<wxString>{S("Halle"), S("Halle Kopie"), S("Lager")}));
  EXPECT_EQ(ChildNamed(folder, S("Halle")), hall);
  // A paste in the list empties the clipboard, even after a copy.
  EXPECT_FALSE(EnabledInList(ID_EDIT_PASTE));
  EXPECT_FALSE(EnabledInTree(ID_EDIT_PASTE));

  // A project row selected is no place for a project: the copy goes into the folder.
  ASSERT_TRUE(SelectInTree(hall));
  ASSERT_TRUE(RunInTree(ID_EDIT_COPY));
  ASSERT_TRUE(SelectInTree(folder));
  const long row = List().Presenter().FindRow(store);
  ASSERT_GE(row, 0);
  List().ClearSelection();
  List().SelectRow(static_cast<std::size_t>(row), true);
  EXPECT_TRUE(EnabledInList(ID_EDIT_PASTE));
  AnswerNewProject(S("Halle Zwei"));
  ASSERT_TRUE(RunInList(ID_EDIT_PASTE));
  EXPECT_TRUE(ChildNamed(folder, S("Halle Zwei")));
  EXPECT_FALSE(ChildNamed(store, S("Halle Zwei")));
  EXPECT_EQ(ParentKeyOf(S("Halle Zwei")), folder->OwnKey());
  EXPECT_EQ(ListNames(), (std::vector<wxString>{S("Halle"), S("Halle Kopie"), S("Halle Zwei"), S("Lager")}));

  // Where a project may not go, paste is disabled in both panes and does nothing.
  ASSERT_TRUE(SelectInTree(hall));
  ASSERT_TRUE(RunInTree(ID_EDIT_COPY));
  // The project listed: its devices.
  ASSERT_EQ(List().Presenter().GetListed(), hall);
  EXPECT_FALSE(EnabledInTree(ID_EDIT_PASTE));
  EXPECT_FALSE(EnabledInList(ID_EDIT_PASTE));
  ASSERT_TRUE(SelectInTree(panel));   // lists the device's children
  ASSERT_EQ(List().Presenter().GetListed(), panel);
  EXPECT_FALSE(EnabledInTree(ID_EDIT_PASTE));
  EXPECT_FALSE(EnabledInList(ID_EDIT_PASTE));
  RunInList(ID_EDIT_PASTE);
  EXPECT_EQ(hall->GetChildCount(), 1u);
  EXPECT_FALSE(ChildNamed(panel, S("Halle")));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

namespace {

// Projects with their documentation node, as start-up binds the project operations.
class ProjectDocumentsGui : public ProjectClipboardGui {
 protected:
  ProjectDocumentsGui() { hvtest::UsePrivateTrash(); }
  CProjectOperations withDocuments;
  hv::ServiceOverride<hv::IProjectOperations> boundWithDocuments{&withDocuments};
};

}  // namespace

// The last document deleted takes the documentation node with it; files pasted on the
// project then bring it back, in the tree's paste as in the list's.
TEST_F(ProjectDocumentsGui, FilesPastedOnAProjectWhoseLastDocumentWasDeletedGetANodeAgain) {
  CPOProject* hall = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  const wxString docs = hv::JoinPath(hall->GetFolder(), "Documentation");
  hvtest::WriteAll(hv::JoinPath(docs, "Plan.pdf"), "Plan");
  hvtest::TempDir outside;
  hvtest::WriteAll(outside.Sub("Notiz.txt"), "Notiz");
  hvtest::WriteAll(outside.Sub("Liste.csv"), "Liste");
  Open();
  ASSERT_TRUE(MakeDevice(hall, S("Panel")));
  const wxString nodeName = S("Dokumentation");
  auto deleteLastDocument = [&](const wxString& name) {
    CProjectObject* node = ChildNamed(hall, nodeName);
    ASSERT_TRUE(node);
    ASSERT_TRUE(SelectInTree(node));
    const long row = List().Presenter().FindRow(ChildNamed(node, name));
    ASSERT_GE(row, 0);
    List().ClearSelection();
    List().SelectRow(static_cast<std::size_t>(row), true);
    ASSERT_TRUE(RunInList(ID_OBJECT_DELETE));
    hvtest::PumpUntilIdle();
    EXPECT_FALSE(hv::IsFile(hv::JoinPath(docs, name)));
    EXPECT_FALSE(ChildNamed(hall, nodeName));
    EXPECT_EQ(TreeChildren(hall), std::vector<wxString>{S("Panel")});
  };

  ASSERT_EQ(TreeChildren(hall), (std::vector<wxString>{nodeName, S("Panel")}));
  deleteLastDocument(S("Plan.pdf"));

  // The tree's paste.
  ASSERT_TRUE(PutClipboardFiles(clipboard, {outside.Sub("Notiz.txt")}, false));
  ASSERT_TRUE(SelectInTree(hall));
  EXPECT_TRUE(EnabledInTree(ID_EDIT_PASTE));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  EXPECT_EQ(hvtest::ReadAll(hv::JoinPath(docs, "Notiz.txt")), "Notiz");
  EXPECT_EQ(TreeChildren(hall), (std::vector<wxString>{nodeName, S("Panel")}));
  CProjectObject* node = ChildNamed(hall, nodeName);
  ASSERT_TRUE(node);
  ASSERT_TRUE(SelectInTree(node));
  EXPECT_EQ(ListNames(), std::vector<wxString>{S("Notiz.txt")});

  // The list's paste, the project listed.
  deleteLastDocument(S("Notiz.txt"));
  ASSERT_TRUE(PutClipboardFiles(clipboard, {outside.Sub("Liste.csv")}, false));
  ASSERT_TRUE(SelectInTree(hall));
  ASSERT_EQ(List().Presenter().GetListed(), hall);
  EXPECT_TRUE(EnabledInList(ID_EDIT_PASTE));
  ASSERT_TRUE(RunInList(ID_EDIT_PASTE));
  EXPECT_EQ(hvtest::ReadAll(hv::JoinPath(docs, "Liste.csv")), "Liste");
  EXPECT_EQ(ListNames(), (std::vector<wxString>{nodeName, S("Panel")}));
  EXPECT_EQ(TreeChildren(hall), (std::vector<wxString>{nodeName, S("Panel")}));
  EXPECT_EQ(hvtest::ReadAll(outside.Sub("Liste.csv")), "Liste");   // copied, not moved
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// A project without devices shows no expand button; its documents are still reached by a
// double click on "Dokumentation" in the list, which opens the node in the tree.
TEST_F(ProjectDocumentsGui, DocumentsOfAProjectWithoutDevicesAreReachedFromTheList) {
  CPOProject* hall = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  hvtest::WriteAll(hv::JoinPath(hall->GetFolder(), "Documentation/Plan.pdf"), "Plan");
  Open();
  ASSERT_TRUE(SelectInTree(hall));
  CProjectObject* node = ChildNamed(hall, S("Dokumentation"));
  ASSERT_TRUE(node);
  const long row = List().Presenter().FindRow(node);
  ASSERT_GE(row, 0);
  List().ClearSelection();
  List().SelectRow(static_cast<std::size_t>(row), true);
  List().Presenter().OnDoubleClick(0);
  hvtest::PumpUntilIdle();
  EXPECT_EQ(TreeChildren(hall), std::vector<wxString>{S("Dokumentation")});
  EXPECT_EQ(List().Presenter().GetListed(), ChildNamed(hall, S("Dokumentation")));
  EXPECT_EQ(ListNames(), std::vector<wxString>{S("Plan.pdf")});
}
