// Files another program (a file manager) holds on the clipboard, pasted on projects in
// the real window: the documentation node shows in the tree once it holds documents,
// after the paste and after "Aktualisieren", and what is not taken is reported with
// the reason.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectTreeView.h"
#include "framework/CommandIds.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/gui/support/ClipboardOwner.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/PrivateTrash.h"

using hvtest::ChildNamed;
using hvtest::S;
using namespace std::chrono_literals;

namespace {

class DocumentsPasteGui : public hvtest::ProjectWindowFixture {
 protected:
  DocumentsPasteGui() { hvtest::UsePrivateTrash(); }
  // Projects with their documentation node, as start-up binds the project operations.
  CProjectOperations withDocuments;
  hv::ServiceOverride<hv::IProjectOperations> boundWithDocuments{&withDocuments};
  hvtest::TempDir outside;
  std::optional<hvtest::ClipboardOwner> fileManager;

  CProjectListView& List() { return *frame->GetListView(); }
  BOOL RunInList(UINT id) {
    DispatchScope scope;
    return frame->Router().RouteFrom(&List().Presenter()).Execute(id);
  }
  // The file manager holds the files, copied or cut; true once the window offers the paste.
  bool FileManagerHolds(const std::vector<const char*>& names, bool cut) {
    std::vector<std::string> args;
    if (cut) args.push_back("--cut");
    for (const char* name : names) args.push_back(hv::ToUtf8(outside.Sub(S(name))));
    fileManager.reset();
    fileManager.emplace(home, "answer", args);
    if (!fileManager->Owning()) return false;
    clipboard.Invalidate();
    return hvtest::PumpUntil([this] { return EnabledInTree(ID_EDIT_PASTE) != FALSE; }, 30s);
  }
  bool HasExpander(CProjectObject* object) {
    const wxTreeItemId item = Tree().ItemOf(object);
    return item.IsOk() && Tree().ItemHasChildren(item);
  }
  // F5 as the main window's menu runs it.
  void Refresh() {
    ASSERT_TRUE(RunInTree(ID_VIEW_REFRESH));
    hvtest::PumpUntilIdle();
  }
  wxString Documentation(CPOProject* project, const char* name) {
    return hv::JoinPath(hv::JoinPath(project->GetFolder(), "Documentation"), S(name));
  }
  const wxString nodeName = S("Dokumentation");
};

}  // namespace

// A project without devices has no expand button until its documentation holds
// documents; from then on the node shows below it, and stays after "Aktualisieren".
// The tree's paste and the list's paste alike; a folder in the file manager's list is
// refused as a folder, the file beside it arrives.
TEST_F(DocumentsPasteGui, TheDocumentationNodeShowsAfterThePasteAndAfterRefresh) {
  CPOPrjFolder* folder = AddFolder(S("Anlagen"));
  CPOProject* hall = AddProject(folder, S("Halle"));
  CPOProject* store = AddProject(folder, S("Lager"));
  CPOProject* empty = AddProject(folder, S("Werkstatt"));
  hvtest::WriteAll(outside.Sub("Plan.pdf"), "Plan");
  hvtest::WriteAll(outside.Sub("src dir/main.c"), "int main;");
  Open();
  ASSERT_TRUE(SelectInTree(hall));
  EXPECT_FALSE(HasExpander(hall));

  ASSERT_TRUE(FileManagerHolds({"Plan.pdf", "src dir"}, false));
  ui.ExpectMessage(13965);
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  hvtest::PumpUntilIdle();
  EXPECT_EQ(hvtest::ReadAll(Documentation(hall, "Plan.pdf")), "Plan");
  EXPECT_FALSE(hv::PathExists(Documentation(hall, "src dir")));
  ASSERT_FALSE(ui.MessageTexts().empty());
  EXPECT_TRUE(ui.MessageTexts().back().Contains(S("src dir"))) << ui.MessageTexts().back();
  EXPECT_TRUE(HasExpander(hall));
  EXPECT_EQ(ItemsShown(hall), std::vector<wxString>{nodeName});

  // The list's paste, the project listed.
  ASSERT_TRUE(SelectInTree(store));
  ASSERT_EQ(List().Presenter().GetListed(), store);
  ui.ExpectMessage(13965);
  ASSERT_TRUE(RunInList(ID_EDIT_PASTE));
  hvtest::PumpUntilIdle();
  EXPECT_EQ(hvtest::ReadAll(Documentation(store, "Plan.pdf")), "Plan");
  EXPECT_TRUE(HasExpander(store));
  EXPECT_EQ(ItemsShown(store), std::vector<wxString>{nodeName});
  EXPECT_TRUE(ui.AllExpectationsMet());

  Refresh();
  for (CPOProject* project : {hall, store}) {
    EXPECT_TRUE(HasExpander(project)) << project->GetName();
    EXPECT_EQ(ItemsShown(project), std::vector<wxString>{nodeName}) << project->GetName();
  }
  // Nothing to show, nothing to open.
  EXPECT_FALSE(HasExpander(empty));
  ASSERT_TRUE(SelectInTree(ChildNamed(hall, nodeName)));
  EXPECT_EQ(List().Presenter().GetRowCount(), 1u);

  // Closed at the refresh, it still offers its documentation.
  Tree().wxTreeCtrl::Collapse(Tree().ItemOf(hall));
  Refresh();
  EXPECT_TRUE(HasExpander(hall));
  EXPECT_EQ(TreeChildren(hall), std::vector<wxString>{nodeName});
}

// Cut in the file manager and pasted twice: the first paste moves the file, the second
// says that the file is no longer there.
TEST_F(DocumentsPasteGui, ACutFilePastedAgainIsReportedAsGone) {
  CPOProject* hall = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  hvtest::WriteAll(outside.Sub("Notiz.txt"), "Notiz");
  Open();
  ASSERT_TRUE(SelectInTree(hall));

  ASSERT_TRUE(FileManagerHolds({"Notiz.txt"}, true));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  hvtest::PumpUntilIdle();
  EXPECT_EQ(hvtest::ReadAll(Documentation(hall, "Notiz.txt")), "Notiz");
  EXPECT_FALSE(hv::PathExists(outside.Sub("Notiz.txt")));
  EXPECT_TRUE(ui.AllExpectationsMet());

  ASSERT_TRUE(EnabledInTree(ID_EDIT_PASTE));
  ui.ExpectMessage(13966);
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  hvtest::PumpUntilIdle();
  ASSERT_FALSE(ui.MessageTexts().empty());
  EXPECT_TRUE(ui.MessageTexts().back().Contains(S("Notiz.txt"))) << ui.MessageTexts().back();
  EXPECT_EQ(hvtest::ReadAll(Documentation(hall, "Notiz.txt")), "Notiz");
  EXPECT_TRUE(ui.AllExpectationsMet());
}
