#include <gtest/gtest.h>

#include "model/NewObjectRequests.h"
#include "app/TavProjectDoc.h"
#include "resources/ResBitmap.h"
#include "resources/Resource.h"
#include "tests/support/FakeDevice.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using namespace hvtest;

namespace {

class NewResource : public testing::Test {
 protected:
  NewResource() : dev(dir.Path()) { doc.AddView(&view); }
  void RunNew(CProjectObject& object, TypeCode kind) {
    ui.Answer<NewObjectRequest>([kind](NewObjectRequest& r) {
      r.typeCode = kind;
      return static_cast<int>(IDOK);
    });
    EXPECT_TRUE(object.OnCmdMsg(ID_OBJECT_NEW, CN_COMMAND, nullptr, nullptr));
  }
  TempDir dir;
  FakeDevice dev;
  CTavProjectDoc doc;
  RecordingView view;
  ScriptedUi ui;
};

}  // namespace

TEST_F(NewResource, AKindThisVersionCannotMakeIsRefusedAndItsFoldersGoAgain) {
  ui.ExpectMessage(10960);
  RunNew(dev.Node(), TypeCode::Menu);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(ui.MessageTexts().at(0).Contains(wxS("'Men")));
  // The resources node and the bitmaps folder were made for it and removed again,
  // innermost first.
  EXPECT_TRUE(dev.Node().HasNoChildren());
  ASSERT_EQ((std::vector<int>{2, 2, 3, 3}), view.Hints());
  EXPECT_EQ(view.entries[1].serial, view.entries[2].serial);
  EXPECT_EQ(wxS("Menüs"), view.entries[1].name);
  EXPECT_EQ(wxS("Ressourcen"), view.entries[0].name);
}

TEST_F(NewResource, FoldersAreMadeInFoldersThatAreThere) {
  CProjectObject* resources = dev.Node().AddChild(std::make_unique<CPOResource>(&dev.Node(), dev.Handle()));
  RunNew(*resources, TypeCode::ResBitmap);
  ASSERT_EQ(1u, resources->GetChildCount());
  CProjectObject* bitmaps = resources->GetChildren()[0];
  EXPECT_STREQ("CPOResBitmap", bitmaps->ClassName());
  EXPECT_EQ(dev.Handle(), bitmaps->GetDevice());
  EXPECT_EQ(dev.Project(), bitmaps->GetProject());
  EXPECT_EQ((std::vector<int>{2}), view.Hints());
  // Nothing on disk is needed for a grouping node.
  EXPECT_FALSE(CPOResBitmap().CreateNew(nullptr, dev.Handle(), nullptr));
}

TEST_F(NewResource, EveryLeafKindRefusesWithTheSameMessage) {
  for (TypeCode kind : {TypeCode::Menu}) {
    ui.ExpectMessage(10960);
    auto prototype = CProjectObject::CreateObjectOfType(kind);
    EXPECT_FALSE(prototype->CreateNew(&dev.Node(), dev.Handle(), nullptr)) << prototype->ClassName();
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(dev.Node().HasNoChildren());
}
