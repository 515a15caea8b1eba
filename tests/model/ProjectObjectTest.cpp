#include <gtest/gtest.h>

#include "app/TavProjectDoc.h"
#include "framework/UpdateHints.h"
#include "model/ProjectObject.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using hvtest::FakeObject;
using hvtest::RecordingView;
using hvtest::S;

namespace {

class ProjectObjectTest : public testing::Test {
 protected:
  ProjectObjectTest() { doc.AddView(&view); }
  CTavProjectDoc doc;
  RecordingView view;
};

}  // namespace

TEST_F(ProjectObjectTest, ANewObjectHasNoChildList) {
  FakeObject o(TypeCode::PrjFolder);
  EXPECT_FALSE(o.HasChildList());
  EXPECT_TRUE(o.HasNoChildren());
  POSITION pos = 99;
  EXPECT_EQ(nullptr, o.GetFirstChild(pos));
  EXPECT_EQ(0u, pos);
  FakeObject stranger;
  EXPECT_TRUE(o.RemoveChild(&stranger));   // never had children: nothing to do
  EXPECT_TRUE(view.entries.empty());
  EXPECT_TRUE(CProjectObject::IsValidObject(&stranger));
}

TEST_F(ProjectObjectTest, ChildrenTakeParentProjectAndKeepOrder) {
  FakeObject folder(TypeCode::PrjFolder, "CPOPrjFolder", S("Ordner"));
  FakeObject* a = folder.Add(TypeCode::Project, S("A"));
  FakeObject* b = folder.Add(TypeCode::Project, S("B"));
  EXPECT_EQ(&folder, a->GetParent());
  POSITION pos = 0;
  EXPECT_EQ(a, folder.GetFirstChild(pos));
  EXPECT_EQ(b, folder.GetNextChild(pos));
  EXPECT_EQ(nullptr, folder.GetNextChild(pos));
  EXPECT_EQ(a, folder.FindChildOfType(TypeCode::Project));   // the first match

  // A child that is not in the list: FALSE, nothing changes.
  FakeObject other;
  EXPECT_FALSE(folder.RemoveChild(&other));
  EXPECT_EQ(2u, folder.GetChildCount());
  EXPECT_TRUE(view.entries.empty());
}

TEST_F(ProjectObjectTest, RemovalAnnouncesTheSubtreeAndFreesAfterTheOutermostScope) {
  FakeObject root(TypeCode::PrjDevice);
  FakeObject* res = root.Add(TypeCode::Resource, S("res"));
  FakeObject* masks = res->Add(TypeCode::ResMask, S("masks"));
  bool resFreed = false, masksFreed = false;
  res->onDestroy = [&] { resFreed = true; };
  masks->onDestroy = [&] { masksFreed = true; };
  const ObjectRef resRef(res), masksRef(masks);

  {
    DispatchScope outer;
    {
      DispatchScope inner;
      EXPECT_TRUE(root.RemoveChild(res));
      EXPECT_FALSE(CProjectObject::IsValidObject(res));
      EXPECT_FALSE(masksRef.IsValid());
    }
    EXPECT_FALSE(resFreed);   // an inner scope does not free
    EXPECT_EQ(S("masks"), masks->GetName());   // still readable by a handler that held it
  }
  EXPECT_TRUE(resFreed);
  EXPECT_TRUE(masksFreed);
  EXPECT_FALSE(resRef.IsValid());
  EXPECT_TRUE(root.HasNoChildren());
  EXPECT_TRUE(root.HasChildList());

  // Hint 3 came for the object and its descendant, each while still alive.
  ASSERT_EQ(2u, view.entries.size());
  EXPECT_EQ(HINT_OBJECT_REMOVED, view.entries[0].hint);
  EXPECT_EQ(resRef.Serial(), view.entries[0].serial);
  EXPECT_EQ(masksRef.Serial(), view.entries[1].serial);
  EXPECT_EQ(nullptr, view.entries[0].sender);
}

TEST_F(ProjectObjectTest, ARemovedObjectIsNeverMistakenForANewOne) {
  FakeObject root(TypeCode::PrjFolder);
  const ObjectRef old(root.Add(TypeCode::Project, S("alt")));
  root.RemoveChild(old.Get());   // outside any scope: freed when the removal returns
  const ObjectRef fresh(root.Add(TypeCode::Project, S("neu")));
  EXPECT_FALSE(old.IsValid());
  EXPECT_TRUE(fresh.IsValid());
  EXPECT_NE(old.Serial(), fresh.Serial());
  EXPECT_EQ(fresh.Get(), CProjectObject::FromSerial(fresh.Serial()));
}

TEST_F(ProjectObjectTest, AViewMayRemoveMoreWhileHandlingARemoval) {
  // The tree prunes an emptied grouping folder while it handles hint 3 for its last child.
  FakeObject device(TypeCode::PrjDevice);
  FakeObject* res = device.Add(TypeCode::Resource, S("res"));
  FakeObject* masks = res->Add(TypeCode::ResMask, S("masks"));
  view.onUpdate = [&](int hint, CProjectObject* o) {
    if (hint != HINT_OBJECT_REMOVED || o != masks) return;
    CProjectObject* parent = o->GetParent();
    if (parent && parent->HasNoChildren() && CProjectObject::IsValidObject(parent))
      parent->GetParent()->RemoveChild(parent);
    // The removed folder and the object are both still readable here.
    EXPECT_EQ(S("masks"), o->GetName());
    EXPECT_EQ(S("res"), parent->GetName());
  };
  EXPECT_TRUE(res->RemoveChild(masks));
  EXPECT_TRUE(device.HasNoChildren());
  EXPECT_EQ((std::vector<int>{3, 3}), view.Hints());
}

TEST_F(ProjectObjectTest, DeleteAllChildrenAndTakeChildren) {
  FakeObject folder(TypeCode::PrjFolder);
  folder.Add(TypeCode::Project, S("A"));
  FakeObject* keep = folder.Add(TypeCode::Project, S("B"));
  auto taken = folder.TakeChildren();
  EXPECT_TRUE(view.entries.empty());
  ASSERT_EQ(2u, taken.size());
  EXPECT_TRUE(CProjectObject::IsValidObject(keep));
  folder.AddChild(std::move(taken[1]));
  CProjectObject::Dispose(std::move(taken[0]));
  EXPECT_EQ((std::vector<int>{3}), view.Hints());
  EXPECT_EQ(keep, folder.GetChildren().front());

  folder.Add(TypeCode::Project, S("C"));
  folder.DeleteAllChildren();
  EXPECT_TRUE(folder.HasNoChildren());
  EXPECT_EQ((std::vector<int>{3, 3, 3}), view.Hints());
}

TEST_F(ProjectObjectTest, BaseDefaults) {
  FakeObject folder(TypeCode::PrjFolder, "CPOPrjFolder", S("Zürich"));
  EXPECT_EQ(S("POCT20000000"), folder.GetClipboardFormatName());
  EXPECT_EQ(S("Zürich"), folder.GetColumnText(0));
  EXPECT_TRUE(folder.GetColumnText(1).empty());
  ASSERT_EQ(1u, folder.GetColumnDefs().size());
  EXPECT_EQ(S("Name"), folder.GetColumnDefs()[0].title);

  FakeObject lower(TypeCode::Project, "CPOFake", S("zürich")), other(TypeCode::Project, "CPOFake", S("Basel"));
  EXPECT_EQ(0, folder.Compare(&lower, 0));
  EXPECT_GT(folder.Compare(&other, 0), 0);
  EXPECT_EQ(0, folder.Compare(&other, 1));
  EXPECT_EQ(0, folder.Compare(nullptr, 0));
}

TEST_F(ProjectObjectTest, RootsOfTheDocumentHaveNoParent) {
  FakeObject holder(TypeCode::PrjFolder);
  holder.Add(TypeCode::PrjFolder, S("X"));
  auto taken = holder.TakeChildren();
  CProjectObject* root = doc.AddRoot(std::move(taken[0]));
  EXPECT_EQ(nullptr, root->GetParent());
  EXPECT_FALSE(doc.RemoveObject(&holder));
  EXPECT_TRUE(doc.RemoveObject(root));
  EXPECT_EQ(0u, doc.GetRootCount());
  EXPECT_EQ((std::vector<int>{3}), view.Hints());
}
