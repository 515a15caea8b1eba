// The shared "Löschen", "Neues Object" and "Neue Kopie..." of the base class, as the
// list offers them to a selection of several objects.
#include <gtest/gtest.h>

#include <vector>

#include "app/CommandRouting.h"
#include "app/TavProjectDoc.h"
#include "framework/CommandIds.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using hvtest::FakeObject;

namespace {

// A class that takes the shared handlers into its map, as the resource classes do.
class Node : public FakeObject {
 public:
  explicit Node(const wxString& name) : FakeObject(TypeCode::Mask, "CPOMask", name) {}

  BOOL Delete() override {
    ++deletes;
    return deleteAnswer;
  }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override {
    made.push_back({parent, device, templ});
    return TRUE;
  }

  struct Made {
    CProjectObject* parent;
    CPOPrjDevice* device;
    const CProjectObject* templ;
  };
  BOOL deleteAnswer = TRUE;
  int deletes = 0;
  std::vector<Made> made;

  HV_DECLARE_COMMAND_MAP()
};

BEGIN_COMMAND_MAP(Node, FakeObject)
  ON_COMMAND(ID_OBJECT_DELETE, OnDelete)
  ON_COMMAND(ID_NEW_OBJECT, OnNewObject)
  ON_COMMAND(ID_OBJECT_NEW_COPY, OnNewCopy)
END_COMMAND_MAP()

class SharedCommands : public testing::Test {
 protected:
  SharedCommands() {
    for (const char* name : {"A", "B", "C"}) nodes.push_back(static_cast<Node*>(folder.AddChild(std::make_unique<Node>(name))));
    for (Node* n : nodes) selection.emplace_back(n);
  }
  BOOL Run(UINT id) { return RouteToSelection(selection, id, CN_COMMAND, nullptr, nullptr); }
  bool Enabled(UINT id) {
    CRecordingCmdUI ui(id);
    RouteToSelection(selection, id, CN_UPDATE_COMMAND_UI, &ui, nullptr);
    return ui.enabled;
  }

  hvtest::ScriptedUi ui;
  CTavProjectDoc doc;
  FakeObject folder{TypeCode::ResMask, "CPOResMask", wxS("Masken")};
  std::vector<Node*> nodes;
  std::vector<ObjectRef> selection;
};

}  // namespace

TEST_F(SharedCommands, DeleteGoesToEachSelectedObjectAndRemovesOnlyThoseThatAgreed) {
  nodes[1]->deleteAnswer = FALSE;
  Node* kept = nodes[1];
  EXPECT_TRUE(Enabled(ID_OBJECT_DELETE));
  Run(ID_OBJECT_DELETE);
  EXPECT_FALSE(selection[0].IsValid());
  EXPECT_TRUE(selection[1].IsValid());
  EXPECT_FALSE(selection[2].IsValid());
  EXPECT_EQ(kept->deletes, 1);
  EXPECT_EQ(folder.GetChildren(), std::vector<CProjectObject*>{kept});
}

TEST_F(SharedCommands, NewObjectAndNewCopyAreMadeOnceBesideTheFirstObject) {
  Run(ID_NEW_OBJECT);
  ASSERT_EQ(nodes[0]->made.size(), 1u);
  EXPECT_EQ(nodes[0]->made[0].parent, &folder);
  EXPECT_EQ(nodes[0]->made[0].templ, nullptr);
  EXPECT_TRUE(nodes[1]->made.empty());

  // "Neue Kopie..." is not offered for several objects; for one it copies that one.
  EXPECT_FALSE(Enabled(ID_OBJECT_NEW_COPY));
  selection = {ObjectRef(nodes[2])};
  EXPECT_TRUE(Enabled(ID_OBJECT_NEW_COPY));
  Run(ID_OBJECT_NEW_COPY);
  ASSERT_EQ(nodes[2]->made.size(), 1u);
  EXPECT_EQ(nodes[2]->made[0].parent, &folder);
  EXPECT_EQ(nodes[2]->made[0].templ, nodes[2]);
  EXPECT_FALSE(nodes[2]->IsMultipleSelection());
}
