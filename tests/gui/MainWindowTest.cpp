// The main window: pane width, the command bridge (accelerators, list commands while
// the tree has the focus, popup menus), visual-style marks and the status bar.
#include <gtest/gtest.h>

#include <wx/display.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/uiaction.h>

#include "framework/ClipboardStore.h"
#include "app/ClipboardTransfer.h"
#include "framework/CommandIds.h"
#include "app/TavProjectApp.h"
#include "framework/ToolsRepository.h"
#include "app/MenuResources.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MenuBuilder.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectSplitterWnd.h"
#include "app/ui/ProjectTreeView.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/TestObjects.h"

using hvtest::S;
using hvtest::ViewNode;

namespace {

enum : UINT { ID_LOCKED = 50401 };

// A mask with a command on Ctrl+X (cut) and one of its own, each lockable.
class Lockable : public ViewNode {
 public:
  explicit Lockable(const wxString& name) : ViewNode(TypeCode::Mask, name, "CPOMask") {}
  bool locked = false;
  int cuts = 0;
  int runs = 0;
  int asked = 0;
  HV_DECLARE_COMMAND_MAP()
 protected:
  void OnCut() { ++cuts; }
  void OnLocked() { ++runs; }
  void OnUpdate(CCmdUI* ui) {
    ++asked;
    ui->Enable(locked ? FALSE : TRUE);
  }
};

BEGIN_COMMAND_MAP(Lockable, ViewNode)
  ON_COMMAND(ID_EDIT_CUT, OnCut)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdate)
  ON_COMMAND(ID_LOCKED, OnLocked)
  ON_UPDATE_COMMAND_UI(ID_LOCKED, OnUpdate)
END_COMMAND_MAP()

class MainWindow : public hvtest::WindowFixture {
 protected:
  Lockable* AddLockable(ViewNode* parent, const char* name) {
    auto* node = static_cast<Lockable*>(parent->AddChild(std::make_unique<Lockable>(S(name))));
    node->treeChildren = false;
    return node;
  }
  // Presses the key and waits until the window has handled it.
  void Key(int key, int modifiers) {
    int seen = 0;
    auto count = [&seen](wxKeyEvent& e) {
      ++seen;
      e.Skip();
    };
    frame->Bind(wxEVT_CHAR_HOOK, count);
    wxUIActionSimulator sim;
    sim.Char(key, modifiers);
    EXPECT_TRUE(hvtest::PumpUntil([&] { return seen > 0; })) << "the key did not arrive";
    hvtest::PumpUntilIdle();
    frame->Unbind(wxEVT_CHAR_HOOK, count);
  }
  // Closes the window as its close box would and reads what it left in the profile.
  wxString CloseAndRead(const char* section, const char* key) {
    frame->Close(true);
    frame = nullptr;
    hvtest::Pump();
    hv::IniFlushCache();
    return hv::IniGetString(home.Sub("Project.INI"), section, key, "");
  }
};

}  // namespace

TEST_F(MainWindow, TreePaneWidthComesFromTheProfileAndGoesBackOnClose) {
  profile.WriteInt("Pane0", "Width", 230);
  Open();
  EXPECT_EQ(frame->GetSplitter()->GetColumnWidth(), 230);
  frame->GetSplitter()->SetSashPosition(260);
  hvtest::Pump();
  EXPECT_EQ(CloseAndRead("Pane0", "Width"), "260");
  // A width left by a minimised window would hide the tree: the default instead.
  EXPECT_EQ(CMainFrame::UsableTreeWidth(0, 900), 150);
  EXPECT_EQ(CMainFrame::UsableTreeWidth(2000, 900), 150);
  EXPECT_EQ(CMainFrame::UsableTreeWidth(300, 900), 300);
}

TEST_F(MainWindow, ADisabledCommandIsNotRunByItsAccelerator) {
  Lockable* start = AddLockable(masks, "Start");
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken\\Start"));
  ASSERT_EQ(Tree().Presenter().GetSelectedObject(), start);
  Tree().SetFocus();
  hvtest::Pump();
  ASSERT_EQ(frame->GetActiveView(), &Tree().Presenter());

  start->locked = true;
  Key('X', wxMOD_CONTROL);
  EXPECT_EQ(start->cuts, 0);
  start->locked = false;
  Key('X', wxMOD_CONTROL);
  EXPECT_EQ(start->cuts, 1);
}

TEST_F(MainWindow, KeysRunTheirCommandsWhateverTheMenuShowedLastTime) {
  Lockable* start = AddLockable(masks, "Start");
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken\\Start"));
  Tree().SetFocus();
  hvtest::PumpUntilIdle();
  ASSERT_EQ(frame->GetActiveView(), &Tree().Presenter());
  // The edit menu was last opened while the command could not run.
  start->locked = true;
  wxMenu* edit = frame->GetMenuBar()->GetMenu(1);
  edit->UpdateUI(frame->GetEventHandler());
  ASSERT_FALSE(frame->GetMenuBar()->FindItem(ToolkitId(ID_EDIT_CUT))->IsEnabled());
  start->locked = false;
  Key('X', wxMOD_CONTROL);
  EXPECT_EQ(start->cuts, 1);
}

TEST_F(MainWindow, ListCommandsWorkWhileTheTreeHasTheFocus) {
  for (const char* name : {"A", "B", "C"}) AddLockable(masks, name);
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken"));
  ASSERT_EQ(List().Control()->GetItemCount(), 3);
  Tree().SetFocus();
  hvtest::Pump();
  Key('A', wxMOD_CONTROL);
  EXPECT_EQ(List().Control()->GetSelectedItemCount(), 3);
  // The same command with the list focused reaches it directly.
  List().ClearSelection();
  List().Control()->SetFocus();
  hvtest::Pump();
  EXPECT_EQ(frame->GetActiveView(), &List().Presenter());
  Key('A', wxMOD_CONTROL);
  EXPECT_EQ(List().Control()->GetSelectedItemCount(), 3);
}

TEST_F(MainWindow, APopupRoutesFromThePaneThatShowedIt) {
  Lockable* row = AddLockable(masks, "Zeile");
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken"));
  List().SelectRow(0, true);
  Tree().SetFocus();
  hvtest::Pump();
  ASSERT_EQ(frame->GetActiveView(), &Tree().Presenter());

  // While the popup is up, its entries ask the list's route (the tree's selection is the
  // folder, which has no such command); a timer closes it.
  CMenu menu;
  menu.AppendMenu(ID_LOCKED, S("Sperrbar"));
  row->locked = true;
  {
    hvtest::PopupDriver closer(*List().Control(), {WXK_ESCAPE});
    frame->ShowPopupMenu(&List().Presenter(), List().Control(), menu, wxPoint(10, 10));
    EXPECT_TRUE(closer.Opened());
  }
  EXPECT_GT(row->asked, 0);
  EXPECT_EQ(row->runs, 0);

  // A command chosen in it runs for the list's row, not for the tree's selection.
  row->locked = false;
  {
    hvtest::PopupDriver chooser(*List().Control(), {WXK_DOWN, WXK_RETURN});
    frame->ShowPopupMenu(&List().Presenter(), List().Control(), menu, wxPoint(10, 10));
    EXPECT_TRUE(chooser.Opened());
  }
  EXPECT_TRUE(hvtest::PumpUntil([&] { return row->runs == 1; }));
  // The same command from the active pane (the tree) has no handler.
  EXPECT_FALSE(frame->Router().RouteFrom().IsEnabled(ID_LOCKED));
}

TEST_F(MainWindow, TheStoredVisualStyleIsMarkedAndTheStatusBarHasItsPanes) {
  hv::RegistryStore::Get().SetDword(hv::kKeyBrand, "ApplicationLook", 316);
  Open();
  wxMenu* view = frame->GetMenuBar()->GetMenu(2);
  view->UpdateUI(frame->GetEventHandler());
  wxMenuItem* black = frame->GetMenuBar()->FindItem(ToolkitId(ID_VIEW_APPLOOK_OFF_2007_BLACK));
  wxMenuItem* blue = frame->GetMenuBar()->FindItem(ToolkitId(ID_VIEW_APPLOOK_OFF_2007_BLUE));
  ASSERT_TRUE(black && blue);
  black->GetMenu()->UpdateUI(frame->GetEventHandler());
  EXPECT_TRUE(black->IsChecked());
  EXPECT_FALSE(blue->IsChecked());
  // The settings sheet is there.
  wxMenu* extras = frame->GetMenuBar()->GetMenu(kExtrasMenuPos);
  extras->UpdateUI(frame->GetEventHandler());
  EXPECT_TRUE(frame->GetMenuBar()->FindItem(ToolkitId(ID_SETTINGS))->IsEnabled());
  EXPECT_EQ(frame->GetStatusBar()->GetFieldsCount(), 4);
}

TEST_F(MainWindow, TheToolsMenuListsTheToolsFromItsFirstOpeningAndRunsThemAgainAndAgain) {
  CTavProjectApp app;
  app.m_profile.SetPath(home.Sub("Project.INI"));
  app.m_languageCode = S("ENG");
  auto add = [&](const char* name, const wxString& exe, const char* driver, const char* para) {
    auto tool = std::make_unique<CTool>();
    tool->appName = S(name);
    tool->executable = exe;
    tool->inTools = 1;
    tool->params.push_back(std::make_unique<CToolParam>(S("S"), S(driver), S(para)));
    app.m_tools.Add(std::move(tool));
  };
  const wxString probe = wxString::FromUTF8(HV_TEST_BINARY_DIR "/children/launcher_probe");
  add("Werkzeug", probe, "intool", "--sprache=%l %x");
  add("Nur am Gerät", probe, "MODBUS", "");
  add("Zweites", probe, "INTOOL", "");
  Open();
  wxMenu* extras = frame->GetMenuBar()->GetMenu(kExtrasMenuPos);
  auto open = [&] {
    wxMenuEvent event(wxEVT_MENU_OPEN, 0, extras);
    event.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(event);
  };
  auto texts = [&] {
    std::vector<wxString> out;
    for (wxMenuItem* item : extras->GetMenuItems()) out.push_back(item->GetItemLabelText());
    return out;
  };
  // The entries are in the menu before it first opens: a popup filled while it
  // opens is drawn without them.
  std::vector<wxString> listed = texts();
  ASSERT_GE(listed.size(), 2u);
  EXPECT_EQ(listed[listed.size() - 2], S("Werkzeug"));
  EXPECT_EQ(listed.back(), S("Zweites"));
  std::vector<wxMenuItem*> items(extras->GetMenuItems().begin(), extras->GetMenuItems().end());
  open();
  EXPECT_EQ(texts(), listed);   // not listed twice
  EXPECT_EQ(std::vector<wxMenuItem*>(extras->GetMenuItems().begin(), extras->GetMenuItems().end()), items)
      << "the open menu was changed";

  // A started tool gets its command again at the next opening.
  const wxString out = home.Sub("probe.txt");
  setenv("HV_PROBE_OUT", out.utf8_str().data(), 1);
  for (int run = 0; run < 2; ++run) {
    wxRemoveFile(out);
    open();
    wxCommandEvent choose(wxEVT_MENU, ToolkitId(40101));
    frame->GetEventHandler()->ProcessEvent(choose);
    ASSERT_TRUE(hvtest::PumpUntil([&] { return hv::IsFile(out) && !hvtest::ReadAll(out).empty(); })) << run;
    const std::string args = hvtest::ReadAll(out);
    EXPECT_NE(args.find("--sprache=EN\n"), std::string::npos) << args;
  }
  unsetenv("HV_PROBE_OUT");
}

TEST_F(MainWindow, TheEmptyAreaMenuPastesAProjectFolderAtTheTopWhileItIsUp) {
  hvtest::FakeClasses classes;   // the pasted folder is made as a stand-in
  ListCopy(std::vector<ObjectRef>{ObjectRef(folder)});
  Open();
  Tree().SetFocus();
  hvtest::Pump();
  // Below the last item: the empty area's menu ("Neues Object", "Einfügen").
  {
    hvtest::PopupDriver chooser(Tree(), {WXK_DOWN, WXK_DOWN, WXK_RETURN});
    const wxPoint empty = Tree().ClientToScreen(wxPoint(10, Tree().GetClientSize().GetHeight() - 5));
    wxContextMenuEvent event(wxEVT_CONTEXT_MENU, Tree().GetId(), empty);
    event.SetEventObject(&Tree());
    Tree().GetEventHandler()->ProcessEvent(event);
    EXPECT_TRUE(chooser.Opened());
  }
  ASSERT_TRUE(hvtest::PumpUntil([&] { return doc.GetRootCount() == 2u; }));
  EXPECT_EQ(doc.GetRoot(1)->GetName(), S("Projekte"));
  // Once the menu is gone the top-level paste is gone with it.
  EXPECT_FALSE(Tree().Presenter().IsEmptyAreaMenu());
  EXPECT_FALSE(frame->Router().RouteFrom(&Tree().Presenter()).IsEnabled(ID_EDIT_PASTE));
}

TEST_F(MainWindow, ClosingWithACutObjectNotPastedYetAsksFirst) {
  hvtest::ScriptedUi ui;
  ViewNode* start = masks->AddNode(TypeCode::Mask, S("Start"), "CPOMask");
  start->treeChildren = false;
  Open(S("Projekte\\Anlage\\Panel\\Ressourcen\\Masken\\Start"));
  ASSERT_EQ(Tree().Presenter().GetSelectedObject(), start);
  ASSERT_TRUE(frame->Router().RouteFrom(&Tree().Presenter()).Execute(ID_EDIT_CUT));
  ASSERT_TRUE(ClipboardHoldsUnpastedCut());

  ui.ExpectMessage(10983, IDNO);
  EXPECT_FALSE(frame->Close());
  hvtest::Pump();
  EXPECT_TRUE(frame->IsShown());
  ui.ExpectMessage(10983, IDYES);
  EXPECT_TRUE(frame->Close());
  frame = nullptr;
  hvtest::Pump();
  EXPECT_TRUE(ui.AllExpectationsMet());
  ClipboardStore().Clear();
}

TEST_F(MainWindow, TheWindowKeepsItsPlaceBetweenStartsAndNeverStartsOffTheScreen) {
  profile.WriteString("Pane0", "WindowPosition", "40,30,700,500");
  Open();
  EXPECT_EQ(frame->GetRect(), wxRect(40, 30, 700, 500));
  frame->SetSize(wxRect(60, 50, 640, 480));
  ASSERT_TRUE(hvtest::PumpUntil([&] { return frame->GetRect() == wxRect(60, 50, 640, 480); }));
  EXPECT_EQ(CloseAndRead("Pane0", "WindowPosition"), "60,50,640,480");

  // A place on a screen that is gone: moved onto this one, no larger than it.
  const wxRect screen = wxDisplay(0u).GetClientArea();
  profile.WriteString("Pane0", "WindowPosition", "5000,4000,9000,700");
  Open();
  const wxRect placed = frame->GetRect();
  EXPECT_TRUE(screen.Contains(placed)) << placed.x << "," << placed.y << " " << placed.width << "x" << placed.height;
  EXPECT_EQ(placed.height, 700);
}
