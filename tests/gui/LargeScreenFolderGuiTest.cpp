// A panel with thousands of screens in the running window: Escape held while the wait
// cursor shows stops the reload of its screens folder, which keeps the screens it had.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/uiaction.h>


#include <chrono>
#include <functional>
#include <vector>

#include "app/ui/App.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectTreeView.h"
#include "framework/CommandIds.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "resources/ResMask.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::S;

namespace {

class LargeScreenFolderGui : public hvtest::ProjectWindowFixture {
 protected:
  // `count` screens "S0000" on, each a header and eight elements: enough records for
  // the wait cursor at once, few screens for the tree.
  bool AddScreens(CPOPrjDevice* device, int count) {
    using namespace hv::db;
    Table t;
    if (!t.open(device->GetDeviceFolder(), MskfldSchema())) return false;
    t.beginBulk();
    for (int i = 0; i < count; ++i)
      for (int element = 0; element < 9; ++element) {
        MaskField r;
        r.name = wxString::Format("S%04d", i);
        r.setNumber(static_cast<std::int16_t>(element));
        if (element == 0) r.setLogId(static_cast<std::uint16_t>(i + 1));
        else r.setType(2);
        if (!msk_fld_insert_quick(t, r)) return false;
      }
    return t.endBulk();
  }
  // The device's screens folder, opening the tree down to it but not the folder itself.
  CProjectObject* ScreensFolder(CProjectObject* object) {
    TreeChildren(object);
    for (CProjectObject* child : object->GetChildren()) {
      if (child->GetTypeCode() == TypeCode::ResMask) return child;
      if (!child->IsShownInTree()) continue;
      if (CProjectObject* found = ScreensFolder(child)) return found;
    }
    return nullptr;
  }
  wxTreeItemId ItemNamed(const wxString& text) {
    wxTreeCtrl& tree = Tree();
    wxTreeItemIdValue cookie;
    for (wxTreeItemId id = tree.GetFirstChild(tree.GetSelection(), cookie); id.IsOk();
         id = tree.GetNextChild(tree.GetSelection(), cookie))
      if (tree.GetItemText(id) == text) return id;
    return wxTreeItemId();
  }
  // Runs the action from the event loop as a key would, waiting for its end.
  void FromLoop(const std::function<void()>& action) {
    bool done = false;
    wxTheApp->CallAfter([&] {
      action();
      done = true;
    });
    EXPECT_TRUE(hvtest::PumpUntil([&] { return done; }, std::chrono::seconds(60)));
  }
  static std::vector<ObjectSerial> Serials(CProjectObject* folder) {
    std::vector<ObjectSerial> serials;
    for (CProjectObject* child : folder->GetChildren()) serials.push_back(child->GetSerial());
    return serials;
  }
};

}  // namespace

TEST_F(LargeScreenFolderGui, EscapeStopsALongReloadAndLeavesTheOldScreens) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  CPOPrjDevice* device = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(device);
  constexpr int kScreens = 600;
  ASSERT_TRUE(AddScreens(device, kScreens));
  ASSERT_TRUE(SelectInTree(device));
  CProjectObject* screens = ScreensFolder(device);
  ASSERT_TRUE(screens);
  ASSERT_EQ(screens->GetChildCount(), 0u);
  const ObjectRef folder(screens);
  ASSERT_TRUE(screens->GetParent() && SelectInTree(screens->GetParent()));
  const wxTreeItemId item = ItemNamed(screens->GetName());
  ASSERT_TRUE(item.IsOk());

  // The first expansion stopped: nothing loaded, the item can be expanded again.
  ASSERT_TRUE(hvtest::WithEscapeHeld([&] { Tree().Expand(item); }));
  ASSERT_TRUE(folder.IsValid());
  EXPECT_EQ(folder.Get()->GetChildCount(), 0u);
  EXPECT_TRUE(Tree().ItemHasChildren(item));
  EXPECT_TRUE(ui.MessageIds().empty());

  // Loaded in full and listed; then another program changes a screen and F5 is stopped.
  Tree().Collapse(item);
  FromLoop([&] {
    Tree().Expand(item);
    Tree().SelectItem(item);
  });
  ASSERT_EQ(folder.Get()->GetChildCount(), static_cast<std::size_t>(kScreens));
  EXPECT_EQ(frame->GetListView()->Presenter().GetRowCount(), static_cast<std::size_t>(kScreens));
  const std::vector<ObjectSerial> before = Serials(folder.Get());
  EXPECT_EQ(folder.Get()->GetChildren().front()->GetColumnText(2), S("1"));
  {
    using namespace hv::db;
    Table t;
    ASSERT_TRUE(t.open(device->GetDeviceFolder(), MskfldSchema()));
    MaskField r;
    ASSERT_TRUE(msk_fld_select(t, r, kFirst, "MSK_HEAD"));
    r.setLogId(900);
    ASSERT_TRUE(msk_fld_update(t, r));
    ASSERT_TRUE(hvtest::MarkWrittenLater(hv::JoinPath(device->GetDeviceFolder(), S("MSKFLD.DBF"))));
  }
  ASSERT_TRUE(folder.Get()->IsStale());
  ASSERT_TRUE(hvtest::WithEscapeHeld([&] { RunInTree(ID_VIEW_REFRESH); }));
  ASSERT_TRUE(folder.IsValid());
  EXPECT_EQ(Serials(folder.Get()), before);
  EXPECT_EQ(folder.Get()->GetChildren().front()->GetColumnText(2), S("1"));
  EXPECT_EQ(frame->GetListView()->Presenter().GetRowCount(), static_cast<std::size_t>(kScreens));
  EXPECT_TRUE(ui.MessageIds().empty());
  EXPECT_EQ(BusyCursorDepth(), 0);
  EXPECT_TRUE(folder.Get()->IsStale());

  // Without Escape the reload reads the change into the same screen.
  FromLoop([&] { RunInTree(ID_VIEW_REFRESH); });
  ASSERT_TRUE(folder.IsValid());
  ASSERT_EQ(folder.Get()->GetChildCount(), static_cast<std::size_t>(kScreens));
  EXPECT_EQ(folder.Get()->GetChildren().front()->GetSerial(), before.front());
  EXPECT_EQ(folder.Get()->GetChildren().front()->GetColumnText(2), S("900"));
}
