#pragma once
// The main window: menu bar, toolbar, status bar and the splitter with the project tree
// and the project list. Every menu, toolbar and accelerator command and every update
// request goes through the command route of the pane it comes from (CFrameRouter).
#include <wx/frame.h>
#include <wx/longlong.h>
#include <wx/timer.h>

#include "app/AppCommands.h"
#include "app/FrameRouting.h"
#include "app/MainFrameCommands.h"
#include "framework/MenuModel.h"

class CProjectListView;
class CProjectSplitterWnd;
class CProjectTreeView;
class CSettingsFile;
class CTavProjectDoc;
class IProjectView;

class CMainFrame : public wxFrame, public CMainFrameCommands {
 public:
  // `profile` keeps "Pane0" and the list's "Pane1"; both must outlive the window.
  CMainFrame(CTavProjectDoc& doc, CSettingsFile& profile);
  ~CMainFrame() override;

  // The panes' first filling: the list's style and columns, then the tree and the path
  // it opens (tree item names joined with '\').
  void InitialUpdate(const wxString& startPath);
  // Brings the window forward, restoring it when minimised.
  void Raise() override;
  bool Show(bool show = true) override;

  CProjectTreeView* GetTreeView() const { return m_tree; }
  CProjectListView* GetListView() const { return m_list; }
  CProjectSplitterWnd* GetSplitter() const { return m_splitter; }
  CFrameRouter& Router() { return m_router; }

  void SetActiveView(IProjectView* view) { m_router.SetActiveView(view); }
  IProjectView* GetActiveView() const { return m_router.GetActiveView(); }

  // Shows a context menu for a pane: its commands and update requests route from that
  // pane, whichever pane is active.
  void ShowPopupMenu(IProjectView* source, wxWindow* window, const CMenu& menu, const wxPoint& pos);
  bool PopupMenuShown() const { return m_popupMenu != nullptr; }

  // The width a stored "Pane0"/"Width" gives the tree pane in a window this wide.
  static int UsableTreeWidth(int stored, int clientWidth);
  // Where a window stored at `stored` goes on a screen whose usable area is `screen`:
  // no larger than the screen and wholly on it.
  static wxRect PlacementOnScreen(const wxRect& stored, const wxRect& screen);

  HV_DECLARE_COMMAND_MAP()

 protected:
  void ApplyApplicationLook(UINT id) override;
  void OnAppExit();
  void OnFilePrintSetup();

 private:
  void CreateToolbar();
  void OnMenu(wxCommandEvent& event);
  void OnUpdateUI(wxUpdateUIEvent& event);
  void OnMenuOpen(wxMenuEvent& event);
  void OnClose(wxCloseEvent& event);
  void OnChildFocus(wxChildFocusEvent& event);
  void OnIndicatorTimer(wxTimerEvent& event);
  void RebuildToolEntries(std::vector<CToolMenuEntry> entries);
  static bool SameEntries(const std::vector<CToolMenuEntry>& a, const std::vector<CToolMenuEntry>& b);
  void RestorePlacement();
  void SavePlacement();
  void KeepPlacementOnShow();
  // The pane a menu event belongs to: the popup's pane, else nullptr (the active pane).
  IProjectView* SourceOf(wxObject* eventObject) const;

  CSettingsFile& m_profile;
  CFrameRouter m_router;
  CAppCommandTarget m_appCommands;
  CMenu m_menuModel;
  CProjectSplitterWnd* m_splitter = nullptr;
  CProjectTreeView* m_tree = nullptr;
  CProjectListView* m_list = nullptr;
  wxMenu* m_extras = nullptr;
  int m_toolMenuPos = 0;
  std::vector<CToolMenuEntry> m_shownTools;
  IProjectView* m_popupSource = nullptr;
  wxMenu* m_popupMenu = nullptr;
  wxTimer m_indicators;
  // Where the window was put at start: a window manager may place a new window by its
  // own rules, so the place is asked for again once the window is on the screen.
  wxRect m_startPlace;
  // A timer that calls one of the frame's functions (the frame's own timer events go to
  // the indicators).
  class CallTimer : public wxTimer {
   public:
    CallTimer(CMainFrame& frame, void (CMainFrame::*call)()) : m_frame(frame), m_call(call) {}
    void Notify() override { (m_frame.*m_call)(); }

   private:
    CMainFrame& m_frame;
    void (CMainFrame::*m_call)();
  };
  CallTimer m_settle{*this, &CMainFrame::KeepPlacementOnShow};
  // The toolbar waits until the window stands at its real size (see CreateToolbar).
  void ShowToolbarWhenSized(wxSizeEvent& event);
  void ShowToolbar();
  bool m_sawTinySize = false;
  CallTimer m_toolbarLater{*this, &CMainFrame::ShowToolbar};
  static constexpr int kToolbarLaterMs = 2000;
  static constexpr int kSettleMs = 250;
  static constexpr int kSettleLimitMs = 1000;
  wxLongLong m_shownAt;
};
