#include <gtest/gtest.h>

#include "app/CommandRouting.h"
#include "model/NewObjectRequests.h"
#include "app/TavProjectDoc.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using hvtest::FakeObject;
using hvtest::ChildNames;
using hvtest::S;

namespace {

class NewObjectTest : public testing::Test {
 protected:
  NewObjectTest() { doc.AddView(&view); }

  // "Neu..." on the object: the dialog picks `kind`, the name prompt answers `name`
  // (empty: cancelled).
  void RunNew(CProjectObject* object, TypeCode kind, const wxString& name) {
    ui.Answer<NewObjectRequest>([this, kind](NewObjectRequest& r) {
      ++kindAsked;
      r.typeCode = kind;
      return static_cast<int>(IDOK);
    });
    ui.Answer<NewNameRequest>([this, name](NewNameRequest& r) {
      ++nameAsked;
      if (name.empty()) return static_cast<int>(IDCANCEL);
      r.name = name;
      return static_cast<int>(IDOK);
    });
    CommandRoute route;
    route.Add([object](UINT id, int code, CCmdUI* cmdUi, CmdHandlerInfo* probe) {
      return RouteToObject(ObjectRef(object), id, code, cmdUi, probe);
    });
    EXPECT_TRUE(route.Execute(ID_OBJECT_NEW));
  }

  hvtest::ScriptedUi ui;
  hvtest::FakeClasses classes;
  CTavProjectDoc doc;
  hvtest::RecordingView view;
  int kindAsked = 0;
  int nameAsked = 0;
};

}  // namespace

TEST_F(NewObjectTest, TwoMissingContainerLevelsAreMadeOnTheWay) {
  FakeObject device(TypeCode::PrjDevice, "CPOPrjDevice", S("Panel"));
  RunNew(&device, TypeCode::Bitmap, S("Logo"));
  CProjectObject* res = device.FindChildOfType(TypeCode::Resource);
  ASSERT_NE(nullptr, res);
  CProjectObject* bitmaps = res->FindChildOfType(TypeCode::ResBitmap);
  ASSERT_NE(nullptr, bitmaps);
  EXPECT_EQ((std::vector<wxString>{S("Logo")}), ChildNames(*bitmaps));
  EXPECT_EQ((std::vector<int>{2, 2, 2}), view.Hints());

  // The next bitmap goes into the containers that are there now.
  view.entries.clear();
  RunNew(&device, TypeCode::Bitmap, S("Hintergrund"));
  EXPECT_EQ(1u, device.GetChildCount());
  EXPECT_EQ((std::vector<wxString>{S("Logo"), S("Hintergrund")}), ChildNames(*bitmaps));
  EXPECT_EQ((std::vector<int>{2}), view.Hints());
}

TEST_F(NewObjectTest, CancellingRemovesTheContainersMadeForItInnermostFirst) {
  FakeObject device(TypeCode::PrjDevice, "CPOPrjDevice", S("Panel"));
  const std::size_t live = live::LiveCount();
  RunNew(&device, TypeCode::Mask, wxString());
  EXPECT_TRUE(device.HasNoChildren());
  ASSERT_EQ(4u, view.entries.size());
  EXPECT_EQ((std::vector<int>{2, 2, 3, 3}), view.Hints());
  EXPECT_EQ(view.entries[1].serial, view.entries[2].serial);   // the mask folder goes first
  EXPECT_EQ(view.entries[0].serial, view.entries[3].serial);
  EXPECT_EQ(live, live::LiveCount());   // prototypes and containers are gone
  EXPECT_EQ(0u, live::PendingDeletions());
}

TEST_F(NewObjectTest, AContainerThatWasThereStays) {
  FakeObject device(TypeCode::PrjDevice, "CPOPrjDevice", S("Panel"));
  FakeObject* res = device.Add(TypeCode::Resource, S("Ressourcen"));
  RunNew(&device, TypeCode::Font, wxString());
  EXPECT_EQ(1u, device.GetChildCount());
  EXPECT_TRUE(res->HasNoChildren());
  EXPECT_EQ((std::vector<int>{2, 3}), view.Hints());
  // One container level: a data logger lives directly in the resource node.
  view.entries.clear();
  device.DeleteAllChildren();
  view.entries.clear();
  RunNew(&device, TypeCode::DataLoger, S("Log1"));
  ASSERT_NE(nullptr, device.FindChildOfType(TypeCode::Resource));
  EXPECT_EQ((std::vector<wxString>{S("Log1")}), ChildNames(*device.FindChildOfType(TypeCode::Resource)));
}

TEST_F(NewObjectTest, AFailingContainerUndoesTheOuterOne) {
  classes.failing.push_back(TypeCode::ResBitmap);
  FakeObject device(TypeCode::PrjDevice, "CPOPrjDevice", S("Panel"));
  RunNew(&device, TypeCode::Bitmap, S("Logo"));
  EXPECT_TRUE(device.HasNoChildren());
  EXPECT_EQ(0, nameAsked);
  EXPECT_EQ((std::vector<int>{2, 3}), view.Hints());
}

TEST_F(NewObjectTest, WhereFoldersProjectsAndSiblingsGo) {
  FakeObject folder(TypeCode::PrjFolder, "CPOPrjFolder", S("Ordner"));
  folder.pasteTarget = true;
  RunNew(&folder, TypeCode::Project, S("P1"));
  CProjectObject* p1 = folder.FindChildOfType(TypeCode::Project);
  ASSERT_NE(nullptr, p1);
  RunNew(p1, TypeCode::Project, S("P2"));   // a project beside the project
  RunNew(&folder, TypeCode::PrjFolder, S("Unterordner"));
  EXPECT_EQ((std::vector<wxString>{S("P1"), S("P2"), S("Unterordner")}), ChildNames(folder));

  FakeObject masks(TypeCode::ResMask, "CPOResMask", S("Masken"));
  FakeObject* m1 = masks.Add(TypeCode::Mask, S("M1"));
  RunNew(m1, TypeCode::Mask, S("M2"));       // same parent kind: a sibling
  RunNew(&masks, TypeCode::Mask, S("M3"));   // its own child kind
  EXPECT_EQ((std::vector<wxString>{S("M1"), S("M2"), S("M3")}), ChildNames(masks));
  EXPECT_TRUE(m1->HasNoChildren());

  // A web folder that may hold web folders.
  FakeObject web(TypeCode::HtmlFolder, "CPOHtmlFolder", S("Web-Dateien"));
  web.pasteTarget = true;
  RunNew(&web, TypeCode::HtmlFolder, S("Bilder"));
  EXPECT_EQ(1u, web.GetChildCount());
  EXPECT_NE(nullptr, web.FindChildOfType(TypeCode::HtmlFolder));
}

TEST_F(NewObjectTest, NothingIsMadeWhereTheKindDoesNotFit) {
  FakeObject project(TypeCode::Project, "CPOProject", S("P"));
  RunNew(&project, TypeCode::Bitmap, S("Logo"));   // three levels away
  ui.ExpectMessage(10960);                          // not made by the factory: said so
  RunNew(&project, TypeCode::Pal, S("Farben"));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(project.HasNoChildren());
  EXPECT_EQ(0, nameAsked);
  EXPECT_TRUE(view.entries.empty());

  ui.Answer<NewObjectRequest>([](NewObjectRequest&) { return static_cast<int>(IDCANCEL); });
  CommandRoute route;
  route.Add(project);
  EXPECT_TRUE(route.Execute(ID_OBJECT_NEW));
  EXPECT_TRUE(project.HasNoChildren());
}

TEST_F(NewObjectTest, TheStandInFolderMakesATopLevelFolderWithoutAskingTheKind) {
  CommandRoute route;
  route.Add([this](UINT id, int code, CCmdUI* cmdUi, CmdHandlerInfo* probe) {
    return RouteTreeRequest(std::nullopt, doc, id, code, cmdUi, probe);
  });
  ui.Answer<NewNameRequest>([](NewNameRequest& r) {
    r.name = S("Neuer Ordner 1");
    return static_cast<int>(IDOK);
  });
  EXPECT_TRUE(route.Execute(ID_OBJECT_NEW));
  ASSERT_EQ(1u, doc.GetRootCount());
  EXPECT_EQ(S("Neuer Ordner 1"), doc.GetRoot(0)->GetName());
  EXPECT_EQ((std::vector<int>{2}), view.Hints());
}

TEST_F(NewObjectTest, SeveralSelectedMakeOneObject) {
  FakeObject masks(TypeCode::ResMask, "CPOResMask", S("Masken"));
  std::vector<ObjectRef> rows;
  for (const char* n : {"A", "B", "C"}) rows.emplace_back(masks.Add(TypeCode::Mask, S(n)));
  ui.Answer<NewObjectRequest>([this](NewObjectRequest& r) {
    ++kindAsked;
    r.typeCode = TypeCode::Mask;
    return static_cast<int>(IDOK);
  });
  ui.Answer<NewNameRequest>([](NewNameRequest& r) {
    r.name = S("D");
    return static_cast<int>(IDOK);
  });
  CommandRoute route;
  route.Add([&rows, &masks](UINT id, int code, CCmdUI* cmdUi, CmdHandlerInfo* probe) {
    return RouteListRequest(rows, ObjectRef(&masks), id, code, cmdUi, probe);
  });
  EXPECT_TRUE(route.Execute(ID_OBJECT_NEW));
  EXPECT_EQ(1, kindAsked);
  EXPECT_EQ(4u, masks.GetChildCount());
}
