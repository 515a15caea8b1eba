#include <gtest/gtest.h>

#include <set>

#include "app/CommandRouting.h"
#include "model/NewObjectRequests.h"
#include "app/TavProjectDoc.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using hvtest::FakeObject;
using hvtest::RecordingView;
using hvtest::S;

namespace {

// A project list held in memory: top-level folder names.
class FakeList : public IProjectListSource {
 public:
  std::vector<wxString> rows;
  bool openOk = true;
  bool readable = true;
  int opened = 0, loaded = 0, closed = 0;
  int* closedOut = nullptr;

  BOOL Open(hv::IProjectDocument&) override {
    ++opened;
    return openOk ? TRUE : FALSE;
  }
  BOOL LoadRoots(hv::IProjectDocument& doc) override {
    ++loaded;
    if (!readable) return FALSE;
    const std::set<wxString> names(rows.begin(), rows.end());
    for (CProjectObject* root : doc.GetRoots())
      if (!names.count(root->GetName())) doc.RemoveObject(root);
    for (const wxString& name : rows) {
      bool have = false;
      for (CProjectObject* root : doc.GetRoots()) have = have || root->GetName() == name;
      if (!have) doc.AddRoot(std::make_unique<FakeObject>(TypeCode::PrjFolder, "CPOPrjFolder", name));
    }
    return rows.empty() ? FALSE : TRUE;
  }
  void Close() override {
    ++closed;
    if (closedOut) ++*closedOut;
  }
};

class CommandView : public RecordingView {
 public:
  UINT handles = 0;
  int asked = 0;
  BOOL OnCmdMsg(UINT id, int code, CCmdUI*, CmdHandlerInfo*) override {
    ++asked;
    return id == handles ? TRUE : FALSE;
  }
};

}  // namespace

TEST(TavProjectDoc, ViewsSeeHintsInOrderExceptTheSender) {
  CTavProjectDoc doc;
  EXPECT_EQ(&doc, CProjectObject::GetActiveDocument());
  RecordingView tree, list;
  doc.AddView(&tree);
  doc.AddView(&list);
  doc.AddView(&tree);   // once only
  hvtest::ScriptedUi ui;
  hvtest::FakeClasses classes;
  ui.Answer<NewNameRequest>([](NewNameRequest& r) {
    r.name = S("Anlage 1");
    return static_cast<int>(IDOK);
  });

  FakeObject prototype(TypeCode::PrjFolder, "CPOPrjFolder");
  ASSERT_TRUE(prototype.CreateNew(nullptr, nullptr, nullptr));   // hint 2, new root
  CProjectObject* root = doc.GetRoot(0);
  ASSERT_NE(nullptr, root);
  doc.AddRoot(std::make_unique<FakeObject>(TypeCode::PrjFolder, "CPOPrjFolder", S("Alt")));
  EXPECT_TRUE(doc.RemoveObject(doc.GetRoot(1)));                    // hint 3
  root->SetName(S("Anlage 2"));
  doc.UpdateAllViews(&list, HINT_OBJECT_CHANGED, root);             // hint 6 from the list

  EXPECT_EQ((std::vector<int>{2, 3, 6}), tree.Hints());
  EXPECT_EQ((std::vector<int>{2, 3}), list.Hints());
  EXPECT_EQ(&list, tree.entries[2].sender);
  EXPECT_EQ(S("Alt"), tree.entries[1].name);   // still alive while announced
  EXPECT_EQ(S("Anlage 1"), tree.entries[0].name);

  doc.RemoveView(&tree);
  doc.UpdateAllViews(nullptr, HINT_REBUILD_TREE);
  EXPECT_EQ(3u, tree.entries.size());
  EXPECT_EQ(3u, list.entries.size());
}

TEST(TavProjectDoc, RemovingANonRootChangesNothing) {
  CTavProjectDoc doc;
  RecordingView view;
  doc.AddView(&view);
  auto* root = static_cast<FakeObject*>(
      doc.AddRoot(std::make_unique<FakeObject>(TypeCode::PrjFolder, "CPOPrjFolder", S("R"))));
  FakeObject* child = root->Add(TypeCode::Project, S("P"));
  EXPECT_FALSE(doc.RemoveObject(child));
  EXPECT_FALSE(doc.RemoveObject(nullptr));
  EXPECT_EQ(1u, doc.GetRootCount());
  EXPECT_TRUE(CProjectObject::IsValidObject(child));
  EXPECT_TRUE(view.entries.empty());
  EXPECT_TRUE(doc.IsRoot(root));
  EXPECT_FALSE(doc.IsRoot(child));
}

TEST(TavProjectDoc, AViewMayRemoveTheObjectOfTheHintItHandles) {
  CTavProjectDoc doc;
  RecordingView first, second;
  doc.AddView(&first);
  doc.AddView(&second);
  CProjectObject* root = doc.AddRoot(std::make_unique<FakeObject>(TypeCode::PrjFolder, "CPOPrjFolder", S("R")));
  first.onUpdate = [&](int hint, CProjectObject* o) {
    if (hint == HINT_OBJECT_CHANGED) doc.RemoveObject(o);
  };
  doc.UpdateAllViews(nullptr, HINT_OBJECT_CHANGED, root);
  // The second view got hint 3 from inside the first's handler, then hint 6 for an
  // object that is gone but not yet freed.
  ASSERT_EQ(2u, second.entries.size());
  EXPECT_EQ(HINT_OBJECT_REMOVED, second.entries[0].hint);
  EXPECT_EQ(HINT_OBJECT_CHANGED, second.entries[1].hint);
  EXPECT_EQ(0u, second.entries[1].serial);
  EXPECT_EQ(0u, doc.GetRootCount());
  EXPECT_EQ(0u, live::PendingDeletions());
}

TEST(TavProjectDoc, OpeningLoadingAndRefreshing) {
  {
    CTavProjectDoc doc;
    EXPECT_FALSE(doc.OnNewDocument());   // no project list at all
  }
  int closed = 0;
  {
    CTavProjectDoc doc;
    auto list = std::make_unique<FakeList>();
    list->openOk = false;
    list->closedOut = &closed;
    doc.SetProjectListSource(std::move(list));
    EXPECT_FALSE(doc.OnNewDocument());
  }
  EXPECT_EQ(0, closed);   // never opened, never closed

  CTavProjectDoc doc;
  RecordingView view;
  doc.AddView(&view);
  auto owned = std::make_unique<FakeList>();
  FakeList* list = owned.get();
  list->rows = {S("A"), S("B")};
  list->closedOut = &closed;
  doc.SetProjectListSource(std::move(owned));
  ASSERT_TRUE(doc.OnNewDocument());
  ASSERT_EQ(2u, doc.GetRootCount());
  const ObjectRef a(doc.GetRoot(0)), b(doc.GetRoot(1));

  // F5 after B's row went away: B is removed, A is kept as it was, the tree rebuilt.
  view.entries.clear();
  list->rows = {S("A")};
  CommandRoute route;
  route.Add(doc);
  EXPECT_TRUE(route.Execute(ID_VIEW_REFRESH));
  EXPECT_EQ((std::vector<int>{3, 7}), view.Hints());
  EXPECT_TRUE(a.IsValid());
  EXPECT_FALSE(b.IsValid());
  EXPECT_EQ(2, list->loaded);

  // A list that cannot be read leaves the roots alone.
  list->readable = false;
  EXPECT_FALSE(doc.LoadProjectList());
  EXPECT_EQ(1u, doc.GetRootCount());
}

TEST(TavProjectDoc, CommandsGoToTheOtherViewsOnly) {
  CTavProjectDoc doc;
  CommandView tree, list, third;
  doc.AddView(&tree);
  doc.AddView(&list);
  doc.AddView(&third);
  list.handles = 57634;
  EXPECT_TRUE(doc.RouteCmdToViews(&tree, 57634, CN_COMMAND, nullptr, nullptr));
  EXPECT_EQ(0, tree.asked);
  EXPECT_EQ(1, list.asked);
  EXPECT_EQ(0, third.asked);   // the first that handles it ends the offer
  EXPECT_FALSE(doc.RouteCmdToViews(&list, 57634, CN_COMMAND, nullptr, nullptr));
  EXPECT_EQ(1, list.asked);
}

TEST(TavProjectDoc, TheEndReleasesRootsAndClosesTheList) {
  int closed = 0;
  bool freed = false;
  RecordingView view;
  {
    CTavProjectDoc doc;
    doc.AddView(&view);
    auto list = std::make_unique<FakeList>();
    list->rows = {S("A")};
    list->closedOut = &closed;
    doc.SetProjectListSource(std::move(list));
    ASSERT_TRUE(doc.OnNewDocument());
    static_cast<FakeObject*>(doc.GetRoot(0))->onDestroy = [&] { freed = true; };
    view.entries.clear();
  }
  EXPECT_TRUE(freed);
  EXPECT_EQ(1, closed);
  EXPECT_TRUE(view.entries.empty());
  EXPECT_EQ(nullptr, CProjectObject::GetActiveDocument());
}
