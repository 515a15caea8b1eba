// The project list in the user folder and its project folders: first start, loading
// the roots, new folders, rename, delete and paste completion, checked in the table.
#include <gtest/gtest.h>

#include "model/NewObjectRequests.h"
#include "app/TavProjectDoc.h"
#include "model/LiveObjects.h"
#include "model/PrjFolder.h"
#include "model/ProjectList.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using hvtest::S;
namespace pl = projectlist;

namespace {

struct ProjectListFixture : ::testing::Test {
  hvtest::TempHome home;
  hvtest::ScriptedUi ui;
  CTavProjectDoc doc;
  hvtest::RecordingView view;
  std::vector<wxString> proposals;

  ProjectListFixture() { doc.AddView(&view); }
  ~ProjectListFixture() override {
    doc.RemoveView(&view);
    hv::db::DropCachedTables();
  }

  // Names typed into the naming dialog, one per opening; an empty entry cancels.
  void Type(std::vector<wxString> names) {
    auto queue = std::make_shared<std::vector<wxString>>(std::move(names));
    ui.Answer<NewNameRequest>([this, queue](NewNameRequest& r) {
      proposals.push_back(r.name);
      if (queue->empty()) return IDCANCEL;
      const wxString next = queue->front();
      queue->erase(queue->begin());
      if (next.empty()) return IDCANCEL;
      r.name = next;
      return IDOK;
    });
  }

  BOOL Start(const wxString& projectName = wxString()) {
    auto source = std::make_unique<CProjectListSource>();
    source->projectName = projectName;
    doc.SetProjectListSource(std::move(source));
    return doc.OnNewDocument();
  }

  std::vector<wxString> RootNames() const {
    std::vector<wxString> names;
    for (CProjectObject* r : doc.GetRoots()) names.push_back(r->GetName());
    return names;
  }

  CPOPrjFolder* Root(size_t i) const { return dynamic_cast<CPOPrjFolder*>(doc.GetRoot(i)); }
};

}  // namespace

TEST_F(ProjectListFixture, FirstStartAsksForTheFirstFolder) {
  Type({S("Anlagen Süd")});
  ASSERT_TRUE(Start());
  EXPECT_EQ(proposals.front(), "Neuer Ordner 1");
  EXPECT_EQ(RootNames(), std::vector<wxString>{S("Anlagen Süd")});
  auto row = pl::Find(S("anlagen süd"));
  ASSERT_TRUE(row);
  EXPECT_EQ(row->level, 0);
  EXPECT_TRUE(row->path.empty());
  EXPECT_TRUE(hv::IsFile(home.Sub("PROJEKT.DBF")));
}

TEST_F(ProjectListFixture, CancellingTheFirstFolderEndsStartUp) {
  Type({wxString()});
  EXPECT_FALSE(Start());
  EXPECT_EQ(doc.GetRootCount(), 0u);
}

TEST_F(ProjectListFixture, GraphToolProjectIsSeededIntoAFolder) {
  const wxString project = home.Sub("Projects/Kläranlage");
  ASSERT_TRUE(hv::MakeFolders(project));
  home.WriteSystemRegistry("[SOFTWARE\\Quintor\\TavGraph]\n\"PROJECTPATH\"=\"" + hv::ToUtf8(project) + "\"\n");
  ASSERT_TRUE(Start(S("Kläranlage")));
  EXPECT_EQ(RootNames(), std::vector<wxString>{"Projekte"});
  auto row = pl::Find(S("Kläranlage"));
  ASSERT_TRUE(row);
  EXPECT_EQ(row->path, project);
  EXPECT_EQ(row->level, 1);
  EXPECT_EQ(row->parentKey, "$$$0$$$Projekte");

  // An existing but empty list is seeded the same way (never an invisible top row).
  doc.RemoveObject(doc.GetRoot(0));
  ASSERT_TRUE(pl::Delete("Projekte"));
  ASSERT_TRUE(pl::Delete(S("Kläranlage")));
  home.WriteSystemRegistry("[SOFTWARE\\Quintor\\TavGraph]\n\"PROJECTPATH\"=\"" + hv::ToUtf8(project) +
                           "\"\n\"DEFAULTPROJECTPATH\"=\"Kunden\"\n");
  ASSERT_TRUE(Start(S("Kläranlage")));
  EXPECT_EQ(RootNames(), std::vector<wxString>{"Kunden"});
  EXPECT_EQ(pl::Find(S("Kläranlage"))->parentKey, "$$$0$$$Kunden");
}

TEST_F(ProjectListFixture, RefreshDropsVanishedRootsAndKeepsTheRest) {
  Type({"Eins"});
  ASSERT_TRUE(Start());
  ASSERT_TRUE(pl::Insert(pl::Row{"Zwei", "", 0, ""}));
  ASSERT_TRUE(pl::Insert(pl::Row{"Projekt ohne Ordner", "/somewhere", 0, ""}));   // never a root
  ASSERT_TRUE(doc.LoadProjectList());
  EXPECT_EQ(RootNames(), (std::vector<wxString>{"Eins", "Zwei"}));
  const ObjectRef eins(doc.GetRoot(0));
  ASSERT_TRUE(pl::Delete("Zwei"));
  view.entries.clear();
  ASSERT_TRUE(doc.LoadProjectList());
  EXPECT_EQ(RootNames(), std::vector<wxString>{"Eins"});
  EXPECT_EQ(eins.Get(), doc.GetRoot(0));   // the same object, children and all
  EXPECT_EQ(view.Hints(), std::vector<int>{HINT_OBJECT_REMOVED});
}

TEST_F(ProjectListFixture, NewFolderProposalsAndDuplicates) {
  Type({"Neuer Ordner 1"});
  ASSERT_TRUE(Start());
  // "Neuer Ordner 1" is taken: the proposal moves on; a name taken in other case is
  // refused with the message and the dialog comes again with the entered name.
  Type({S("NEUER ORDNER 1"), "Zweiter"});
  ui.ExpectMessage(10631);
  CPOPrjFolder prototype;
  ASSERT_TRUE(prototype.CreateNew(nullptr, nullptr, nullptr));
  EXPECT_EQ(proposals[1], "Neuer Ordner 2");
  EXPECT_EQ(proposals[2], S("NEUER ORDNER 1"));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(RootNames(), (std::vector<wxString>{"Neuer Ordner 1", "Zweiter"}));
  EXPECT_EQ(view.Hints().back(), HINT_OBJECT_ADDED);

  // A copy proposal of a long name is shortened to 30 characters.
  ASSERT_TRUE(pl::Insert(pl::Row{"A123456789012345678901234567_1", "", 0, ""}));
  EXPECT_EQ(pl::FreeCopyName("A123456789012345678901234567"), "A123456789012345678901234567_2");
  EXPECT_EQ(pl::FreeCopyName("B12345678901234567890123456789"), "B123456789012345678901234567_1");
}

TEST_F(ProjectListFixture, RenameMovesEveryHeldRowAndRefusesTakenNames) {
  Type({"Alt"});
  ASSERT_TRUE(Start());
  // Rows held by the folder, none of them loaded into the views.
  ASSERT_TRUE(pl::Insert(pl::Row{"P1", "/p1", 1, "$$$0$$$Alt"}));
  ASSERT_TRUE(pl::Insert(pl::Row{"P2", "/p2", 1, "$$$0$$$ALT"}));
  ASSERT_TRUE(pl::Insert(pl::Row{"Anderes", "/x", 1, "$$$0$$$Sonst"}));
  CPOPrjFolder* folder = Root(0);
  ASSERT_NE(folder, nullptr);

  Type({"P1", "Neu"});   // a project's name is taken too
  ui.ExpectMessage(10631);
  folder->OnRename();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(folder->GetName(), "Neu");
  EXPECT_FALSE(pl::Find("Alt"));
  EXPECT_EQ(pl::Find("P1")->parentKey, "$$$0$$$Neu");
  EXPECT_EQ(pl::Find("P2")->parentKey, "$$$0$$$Neu");
  EXPECT_EQ(pl::Find("Anderes")->parentKey, "$$$0$$$Sonst");
  EXPECT_EQ(view.Hints().back(), HINT_OBJECT_CHANGED);

  // The current name changes nothing.
  view.entries.clear();
  Type({"Neu"});
  folder->OnRename();
  EXPECT_TRUE(view.entries.empty());
}

TEST_F(ProjectListFixture, DeleteRefusedWhileProjectsAreInside) {
  Type({"Voll"});
  ASSERT_TRUE(Start());
  ASSERT_TRUE(pl::Insert(pl::Row{"Leer", "", 0, ""}));
  ASSERT_TRUE(doc.LoadProjectList());
  ASSERT_TRUE(pl::Insert(pl::Row{"P", "/p", 1, "$$$0$$$voll"}));
  CPOPrjFolder* voll = Root(0);
  ui.ExpectMessage(10823);
  voll->OnDelete();
  EXPECT_TRUE(pl::Find("Voll"));

  CPOPrjFolder* leer = Root(1);
  ASSERT_EQ(leer->GetName(), "Leer");
  const ObjectRef ref(leer);
  ui.ExpectMessage(10814, IDNO);
  leer->OnDelete();
  EXPECT_TRUE(pl::Find("Leer"));
  {
    DispatchScope scope;
    ui.ExpectMessage(10814, IDYES);
    leer->OnDelete();
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(pl::Find("Leer"));
  EXPECT_EQ(ref.Get(), nullptr);
  EXPECT_EQ(RootNames(), std::vector<wxString>{"Voll"});
}

TEST_F(ProjectListFixture, ChildrenLoadWithTheirRowsLevel) {
  Type({"Oben"});
  ASSERT_TRUE(Start());
  ASSERT_TRUE(pl::Insert(pl::Row{"Mitte", "", 1, "$$$0$$$Oben"}));
  ASSERT_TRUE(pl::Insert(pl::Row{"Unten", "", 2, "$$$1$$$Mitte"}));
  CPOPrjFolder* oben = Root(0);
  EXPECT_TRUE(oben->HasListChildren());
  ASSERT_TRUE(oben->LoadChildren());
  POSITION pos = 0;
  auto* mitte = dynamic_cast<CPOPrjFolder*>(oben->GetFirstChild(pos));
  ASSERT_NE(mitte, nullptr);
  EXPECT_EQ(mitte->GetLevel(), 1);
  // The nested folder's own key reaches its row.
  EXPECT_TRUE(mitte->HasListChildren());
  ASSERT_TRUE(mitte->LoadChildren());
  pos = 0;
  ASSERT_NE(mitte->GetFirstChild(pos), nullptr);
  // Loading again keeps the loaded child objects.
  const ObjectRef ref(mitte);
  ASSERT_TRUE(oben->LoadChildren());
  pos = 0;
  EXPECT_EQ(oben->GetFirstChild(pos), ref.Get());
}

TEST_F(ProjectListFixture, PasteCompletionReparentsTheTree) {
  Type({"Ziel"});
  ASSERT_TRUE(Start());
  ASSERT_TRUE(pl::Insert(pl::Row{"Kopie", "", 0, ""}));
  ASSERT_TRUE(pl::Insert(pl::Row{"Innen", "", 1, "$$$0$$$Kopie"}));
  CPOPrjFolder pasted("Kopie");
  pasted.AddChild(std::make_unique<CPOPrjFolder>("Innen"));
  CArchive ar{std::string_view()};
  ASSERT_TRUE(pasted.ReadFromClipboard(ar, Root(0)));
  EXPECT_EQ(pl::Find("Kopie")->parentKey, "$$$0$$$Ziel");
  EXPECT_EQ(pl::Find("Kopie")->level, 1);
  EXPECT_EQ(pl::Find("Innen")->parentKey, "$$$1$$$Kopie");
  EXPECT_EQ(pl::Find("Innen")->level, 2);
}

TEST_F(ProjectListFixture, RowsThatDoNotFitAreRefused) {
  Type({"A"});
  ASSERT_TRUE(Start());
  EXPECT_FALSE(pl::Insert(pl::Row{wxString('x', 31), "", 0, ""}));
  EXPECT_FALSE(pl::Insert(pl::Row{"Pfad", "/" + wxString('p', 255), 1, "$$$0$$$A"}));
  EXPECT_FALSE(pl::Insert(pl::Row{S("日本"), "", 0, ""}));
  EXPECT_FALSE(pl::Insert(pl::Row{"a", "", 0, ""}));   // "A" exists, ignoring case
}
