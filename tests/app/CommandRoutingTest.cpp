#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandRouting.h"
#include "app/TavProjectDoc.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using hvtest::FakeObject;
using hvtest::S;

namespace {

enum : UINT {
  ID_TOUCH = 50001,        // every object records the call
  ID_DISABLED = 50002,     // update handler disables it
  ID_ONCE = 50003,         // handler stops the sequence (acts for the whole selection)
  ID_SELF_DELETE = 50004,  // handler removes its own object
  ID_DELETE_NEXT = 50005,  // handler removes the object after it in its parent
  ID_RANGE_FIRST = 50100,
  ID_RANGE_LAST = 50199,
  ID_NOBODY = 50999,
  ID_ADD_TOP = 50006,      // adds a new project folder to "this"
  ID_HALF = 50007,         // some objects enable, some disable
};

std::vector<std::string>* g_log = nullptr;

void Log(const std::string& line) {
  if (g_log) g_log->push_back(line);
}

class Node : public FakeObject {
 public:
  Node(const wxString& name, TypeCode code = TypeCode::Mask) : FakeObject(code, "CPOMask", name) {}
  bool enableHalf = true;

  HV_DECLARE_COMMAND_MAP()
 protected:
  std::string Tag() const { return GetName().ToStdString(); }
  void OnTouch() {
    Log("touch " + Tag() + (IsFirstOfSelection() ? " first" : "") + (IsLastOfSelection() ? " last" : "") +
        (IsMultipleSelection() ? " several" : ""));
  }
  void OnUpdateDisabled(CCmdUI* ui) { ui->Enable(FALSE); }
  void OnDisabled() { Log("disabled ran"); }
  void OnOnce() {
    Log("once " + Tag());
    SetMultipleSelection(FALSE);
  }
  void OnSelfDelete() {
    const std::string tag = Tag();
    GetParent()->RemoveChild(this);
    // Still readable: the memory waits for the end of the dispatch.
    Log("deleted " + tag + " " + GetName().ToStdString());
  }
  void OnDeleteNext() {
    Log("delete-next " + Tag());
    auto siblings = GetParent()->GetChildren();
    for (std::size_t i = 0; i + 1 < siblings.size(); ++i)
      if (siblings[i] == this) {
        GetParent()->RemoveChild(siblings[i + 1]);
        break;
      }
  }
  void OnRange(UINT id) { Log("range " + std::to_string(id)); }
  void OnUpdateHalf(CCmdUI& ui) { ui.Enable(enableHalf ? TRUE : FALSE); }
  void OnHalf() { Log("half " + Tag()); }
  void OnEdit() { Log("edit " + Tag()); }
};

BEGIN_COMMAND_MAP(Node, FakeObject)
  ON_COMMAND(ID_TOUCH, OnTouch)
  ON_COMMAND(ID_DISABLED, OnDisabled)
  ON_UPDATE_COMMAND_UI(ID_DISABLED, OnUpdateDisabled)
  ON_COMMAND(ID_ONCE, OnOnce)
  ON_COMMAND(ID_SELF_DELETE, OnSelfDelete)
  ON_COMMAND(ID_DELETE_NEXT, OnDeleteNext)
  ON_COMMAND_RANGE(ID_RANGE_FIRST, ID_RANGE_LAST, OnRange)
  ON_COMMAND(ID_HALF, OnHalf)
  ON_UPDATE_COMMAND_UI(ID_HALF, OnUpdateHalf)
  ON_COMMAND(ID_OBJECT_EDIT, OnEdit)
END_COMMAND_MAP()

// A derived class that takes over one of Node's commands.
class SpecialNode : public Node {
 public:
  using Node::Node;
  HV_DECLARE_COMMAND_MAP()
 protected:
  void OnTouchSpecial() { Log("special " + Tag()); }
  void OnRangeSpecial(UINT id) { Log("special range " + std::to_string(id)); }
};

BEGIN_COMMAND_MAP(SpecialNode, Node)
  ON_COMMAND(ID_TOUCH, OnTouchSpecial)
  ON_COMMAND_RANGE(50150, 50150, OnRangeSpecial)
END_COMMAND_MAP()

// A project folder whose command adds objects to itself.
class Folder : public FakeObject {
 public:
  Folder() : FakeObject(TypeCode::PrjFolder, "CPOPrjFolder") {}
  HV_DECLARE_COMMAND_MAP()
 protected:
  void OnAddTop() {
    CProjectObject* added = AddChild(std::make_unique<FakeObject>(TypeCode::PrjFolder, "CPOPrjFolder", S("Neu")));
    UpdateAllViews(HINT_OBJECT_ADDED, added);
  }
};

BEGIN_COMMAND_MAP(Folder, FakeObject)
  ON_COMMAND(ID_ADD_TOP, OnAddTop)
END_COMMAND_MAP()

class CommandRoutingTest : public testing::Test {
 protected:
  CommandRoutingTest() {
    g_log = &log;
    a = static_cast<Node*>(parent.AddChild(std::make_unique<Node>(S("a"))));
    b = static_cast<Node*>(parent.AddChild(std::make_unique<Node>(S("b"))));
    c = static_cast<Node*>(parent.AddChild(std::make_unique<Node>(S("c"))));
    selection = {ObjectRef(a), ObjectRef(b), ObjectRef(c)};
  }
  ~CommandRoutingTest() override { g_log = nullptr; }

  // The list's route with its own (empty) map after the objects.
  CommandRoute ListRoute(std::vector<ObjectRef> rows) {
    CommandRoute route;
    route.Add([rows, this](UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) {
      return RouteListRequest(rows, ObjectRef(&parent), id, code, ui, probe);
    });
    route.Add(viewTarget);
    return route;
  }

  std::vector<std::string> log;
  FakeObject parent{TypeCode::ResMask, "CPOResMask", S("Masken")};
  CCmdTarget viewTarget;
  Node* a = nullptr;
  Node* b = nullptr;
  Node* c = nullptr;
  std::vector<ObjectRef> selection;
};

}  // namespace

TEST_F(CommandRoutingTest, EveryObjectOfTheSelectionIsToldItsPlace) {
  EXPECT_TRUE(ListRoute(selection).Execute(ID_TOUCH));
  EXPECT_EQ((std::vector<std::string>{"touch a first several", "touch b several", "touch c last several"}), log);
  log.clear();
  EXPECT_TRUE(ListRoute({ObjectRef(b)}).Execute(ID_TOUCH));
  EXPECT_EQ((std::vector<std::string>{"touch b first last"}), log);
}

TEST_F(CommandRoutingTest, EditCommandsAreDisabledForSeveralAndOnlyTheFirstIsAsked) {
  // Marks that the router never reached an object.
  b->SetSelectionState(FALSE, FALSE, FALSE);
  c->SetSelectionState(FALSE, FALSE, FALSE);
  CommandRoute route = ListRoute(selection);
  EXPECT_FALSE(route.IsEnabled(ID_OBJECT_EDIT));
  EXPECT_FALSE(b->IsFirstOfSelection() || b->IsLastOfSelection() || b->IsMultipleSelection());
  EXPECT_FALSE(c->IsFirstOfSelection() || c->IsLastOfSelection() || c->IsMultipleSelection());
  EXPECT_FALSE(route.Execute(ID_OBJECT_EDIT));
  EXPECT_TRUE(log.empty());
  // For one object the base lets the request go on: enabled by its handler.
  EXPECT_TRUE(ListRoute({ObjectRef(a)}).Execute(ID_OBJECT_EDIT));
  EXPECT_EQ((std::vector<std::string>{"edit a"}), log);
}

TEST_F(CommandRoutingTest, AHandlerThatClearsSeveralStopsTheSequence) {
  EXPECT_TRUE(ListRoute(selection).Execute(ID_ONCE));
  EXPECT_EQ((std::vector<std::string>{"once a"}), log);
}

TEST_F(CommandRoutingTest, AnObjectRemovedByAnEarlierCallIsSkipped) {
  const ObjectRef bRef(b);
  EXPECT_TRUE(ListRoute({ObjectRef(a), ObjectRef(b)}).Execute(ID_DELETE_NEXT));
  EXPECT_FALSE(bRef.IsValid());
  EXPECT_EQ((std::vector<std::string>{"delete-next a"}), log);
  log.clear();

  Node* d = static_cast<Node*>(parent.AddChild(std::make_unique<Node>(S("d"))));
  const ObjectRef dRef(d);
  EXPECT_TRUE(ListRoute({ObjectRef(c), dRef}).Execute(ID_DELETE_NEXT));
  EXPECT_FALSE(dRef.IsValid());
  EXPECT_EQ((std::vector<std::string>{"delete-next c"}), log);
  log.clear();
  // The last row is gone: the first object is the last one still there.
  EXPECT_TRUE(ListRoute({ObjectRef(a), dRef}).Execute(ID_TOUCH));
  EXPECT_EQ((std::vector<std::string>{"touch a first last several"}), log);
}

TEST_F(CommandRoutingTest, AnObjectMayRemoveItselfInItsHandler) {
  const ObjectRef aRef(a), bRef(b);
  EXPECT_TRUE(ListRoute({aRef, bRef}).Execute(ID_SELF_DELETE));
  EXPECT_EQ((std::vector<std::string>{"deleted a a", "deleted b b"}), log);
  EXPECT_FALSE(aRef.IsValid());
  EXPECT_FALSE(bRef.IsValid());
  EXPECT_EQ(1u, parent.GetChildCount());
}

TEST_F(CommandRoutingTest, CommandsNobodyHandlesAreDisabledAndNotRun) {
  CommandRoute route = ListRoute(selection);
  EXPECT_FALSE(route.HasHandler(ID_NOBODY));
  EXPECT_FALSE(route.IsEnabled(ID_NOBODY));
  EXPECT_FALSE(route.Execute(ID_NOBODY));
  // Disabled by its update handler: not run, whoever routes it.
  EXPECT_FALSE(route.IsEnabled(ID_DISABLED));
  EXPECT_FALSE(route.Execute(ID_DISABLED));
  EXPECT_FALSE(ListRoute({ObjectRef(a)}).Execute(ID_DISABLED));
  EXPECT_TRUE(log.empty());
  // No update handler anywhere, but a handler: enabled (the probe runs nothing).
  EXPECT_TRUE(route.IsEnabled(ID_TOUCH));
  EXPECT_TRUE(log.empty());
}

TEST_F(CommandRoutingTest, SeveralObjectsEnableACommandOnlyTogether) {
  b->enableHalf = false;
  CommandRoute route = ListRoute(selection);
  EXPECT_FALSE(route.IsEnabled(ID_HALF));
  EXPECT_FALSE(route.Execute(ID_HALF));
  EXPECT_TRUE(log.empty());
  b->enableHalf = true;
  EXPECT_TRUE(route.Execute(ID_HALF));
  EXPECT_EQ(3u, log.size());
}

TEST_F(CommandRoutingTest, DerivedEntriesComeFirstAndRangesAreOneEntry) {
  auto* special = static_cast<Node*>(parent.AddChild(std::make_unique<SpecialNode>(S("s"))));
  CommandRoute route = ListRoute({ObjectRef(special)});
  EXPECT_TRUE(route.Execute(ID_TOUCH));
  EXPECT_TRUE(route.Execute(50150));
  EXPECT_TRUE(route.Execute(50151));
  EXPECT_TRUE(route.Execute(ID_RANGE_LAST));
  EXPECT_FALSE(route.Execute(ID_RANGE_LAST + 1));
  EXPECT_EQ((std::vector<std::string>{"special s", "special range 50150", "range 50151", "range 50199"}), log);
}

TEST_F(CommandRoutingTest, NothingSelectedGoesToTheListedObjectThenTheView) {
  // The listed object (a plain fake) has no handler; the view's map is next.
  CommandRoute route = ListRoute({});
  EXPECT_FALSE(route.Execute(ID_TOUCH));
  EXPECT_TRUE(ListRoute({}).IsEnabled(ID_OBJECT_NEW));   // the base class's "Neu..."
}

TEST(CommandRoutingTree, AnEmptySelectionRoutesToATemporaryTopLevelFolder) {
  hvtest::FakeClasses classes;
  ScopedObjectClass folderClass("CPOPrjFolder", [] { return std::unique_ptr<CProjectObject>(new Folder); });
  CTavProjectDoc doc;
  hvtest::RecordingView view;
  doc.AddView(&view);
  CommandRoute route;
  route.Add([&doc](UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) {
    return RouteTreeRequest(std::nullopt, doc, id, code, ui, probe);
  });

  const std::size_t liveBefore = live::LiveCount();
  EXPECT_TRUE(route.IsEnabled(ID_ADD_TOP));
  EXPECT_EQ(liveBefore, live::LiveCount());   // the update request left no folder behind
  EXPECT_TRUE(route.Execute(ID_ADD_TOP));
  EXPECT_EQ(liveBefore + 1, live::LiveCount());   // only the new folder stays
  ASSERT_EQ(1u, doc.GetRootCount());
  EXPECT_EQ(nullptr, doc.GetRoot(0)->GetParent());
  EXPECT_EQ(S("Neu"), doc.GetRoot(0)->GetName());
  EXPECT_EQ((std::vector<int>{HINT_OBJECT_ADDED}), view.Hints());
  EXPECT_EQ(0u, live::PendingDeletions());
}

TEST(CommandRoutingTree, ASelectedObjectThatIsGoneGetsNothing) {
  CTavProjectDoc doc;
  FakeObject parent(TypeCode::ResMask);
  ObjectRef gone(parent.Add(TypeCode::Mask, S("weg")));
  parent.DeleteAllChildren();
  CCmdTarget view;
  CommandRoute route;
  route.Add([&](UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) {
    return RouteTreeRequest(gone, doc, id, code, ui, probe);
  });
  route.Add(view);
  EXPECT_FALSE(route.IsEnabled(ID_OBJECT_NEW));
}
