// The mouse and the status bar in the real window: a right-click selects the item under
// the pointer before its menu opens (tree and list), and the status bar shows a
// command's prompt while its menu entry or toolbar button is highlighted.
#include <gtest/gtest.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/timer.h>
#include <wx/toolbar.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

#include <chrono>
#include <functional>

#include "app/MenuResources.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MenuBuilder.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectTreeView.h"
#include "framework/CommandIds.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::S;
using hvtest::ViewNode;
using namespace std::chrono_literals;

namespace {

class PointerAndStatus : public hvtest::WindowFixture {
 protected:
  // Right-clicks at the point (in `window`'s client coordinates); `whileOpen` runs
  // while the menu is up, then the menu is closed.
  void RightClickAt(wxWindow* window, wxPoint client, const std::function<void()>& whileOpen) {
    bool opened = false;
    wxTimer watcher;
    watcher.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
      if (!frame->PopupMenuShown()) return;
      if (!opened) whileOpen();
      opened = true;
      // Until the menu has taken the keyboard, a key may miss it: sent again.
      wxUIActionSimulator sim;
      sim.Char(WXK_ESCAPE);
    });
    watcher.Start(50);
    wxUIActionSimulator sim;
    sim.MouseMove(window->ClientToScreen(client));
    hvtest::PumpUntil([&] { return window->GetScreenRect().Contains(wxGetMousePosition()); }, 2s);
    sim.MouseClick(wxMOUSE_BTN_RIGHT);
    EXPECT_TRUE(hvtest::PumpUntil([&] { return opened && !frame->PopupMenuShown(); }, 5s)) << "no menu";
    watcher.Stop();
  }
};

}  // namespace

TEST_F(PointerAndStatus, ARightClickSelectsTheItemUnderThePointerBeforeItsMenuOpens) {
  for (const char* name : {"Start", "Ende"}) masks->AddNode(TypeCode::ResMask, S(name))->treeChildren = false;
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken"));
  ASSERT_EQ(List().Control()->GetItemCount(), 2);

  // The tree: "Ressourcen" is not selected; the click selects it first.
  const wxTreeItemId target = Tree().ItemOf(resources);
  ASSERT_TRUE(target.IsOk());
  wxRect box;
  ASSERT_TRUE(Tree().GetBoundingRect(target, box, true));
  wxString selectedWhileOpen;
  RightClickAt(&Tree(), box.GetPosition() + wxPoint(box.width / 2, box.height / 2), [&] {
    selectedWhileOpen = Tree().GetItemText(Tree().GetSelection());
  });
  EXPECT_EQ(selectedWhileOpen, "Ressourcen");
  EXPECT_EQ(Tree().Presenter().GetSelectedObject(), resources);

  // The list: the first row selected, a right-click on the second selects only it.
  Tree().SelectItem(Tree().ItemOf(masks));
  ASSERT_TRUE(hvtest::PumpUntil([&] { return List().Control()->GetItemCount() == 2; }));
  List().SelectRow(0, true);
  wxRect row;
  ASSERT_TRUE(List().Control()->GetItemRect(1, row));
  long selectedRow = -1;
  int selectedCount = 0;
  RightClickAt(List().Control(), row.GetPosition() + wxPoint(10, row.height / 2), [&] {
    selectedCount = List().Control()->GetSelectedItemCount();
    selectedRow = List().Control()->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
  });
  EXPECT_EQ(selectedCount, 1);
  EXPECT_EQ(selectedRow, 1);
}

TEST_F(PointerAndStatus, TheStatusBarShowsTheHighlightedCommandsPrompt) {
  Open();
  wxStatusBar* bar = frame->GetStatusBar();
  // A menu entry highlighted.
  wxMenuEvent highlight(wxEVT_MENU_HIGHLIGHT, ToolkitId(ID_EDIT_COPY));
  highlight.SetEventObject(frame->GetMenuBar()->GetMenu(1));
  frame->ProcessWindowEvent(highlight);
  const wxString copyPrompt = bar->GetStatusText(0);
  EXPECT_FALSE(copyPrompt.empty());
  // A toolbar button under the pointer.
  frame->GetToolBar()->OnMouseEnter(ToolkitId(ID_EDIT_CUT));
  const wxString cutPrompt = bar->GetStatusText(0);
  EXPECT_FALSE(cutPrompt.empty());
  EXPECT_NE(cutPrompt, copyPrompt);
}
