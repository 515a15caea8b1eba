#include "app/ui/MainFrame.h"

#include <dlfcn.h>

#include <wx/artprov.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/printdlg.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/time.h>
#include <wx/utils.h>

#include "app/ClipboardTransfer.h"
#include "framework/CommandIds.h"
#include "app/MenuResources.h"
#include "framework/SettingsFile.h"
#include "app/TavProjectApp.h"
#include "framework/ToolsRepository.h"
#include "app/ui/ImageStrip.h"
#include "app/ui/MenuBuilder.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectSplitterWnd.h"
#include "app/ui/ProjectTreeView.h"
#include "model/LiveObjects.h"
#include "platform/Localization.h"

namespace {

// An update request answered into the toolkit's event.
class WxCmdUI : public CCmdUI {
 public:
  WxCmdUI(wxUpdateUIEvent& event, bool checkable)
      : CCmdUI(CommandOfToolkitId(event.GetId())), m_event(event), m_checkable(checkable) {}

 protected:
  void DoEnable(BOOL on) override { m_event.Enable(on != FALSE); }
  void DoSetCheck(int check) override {
    if (m_checkable) m_event.Check(check != 0);
  }
  void DoSetText(const wxString& text) override { m_event.SetText(ToToolkitMenuLabel(text)); }

 private:
  wxUpdateUIEvent& m_event;
  bool m_checkable;
};

wxMenu* TopMenu(wxMenu* menu) {
  while (menu && menu->GetParent()) menu = menu->GetParent();
  return menu;
}

void BindPopup(wxMenu* menu, const std::function<void(wxCommandEvent&)>& handler) {
  menu->Bind(wxEVT_MENU, handler);
  for (wxMenuItem* item : menu->GetMenuItems())
    if (wxMenu* sub = item->GetSubMenu()) BindPopup(sub, handler);
}

}  // namespace

BEGIN_COMMAND_MAP(CMainFrame, CMainFrameCommands)
  ON_COMMAND(ID_APP_EXIT, OnAppExit)
  ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
END_COMMAND_MAP()

CMainFrame::CMainFrame(CTavProjectDoc& doc, CSettingsFile& profile)
    : wxFrame(nullptr, wxID_ANY, hv::LocalString(10827, CTavProjectApp::kMainWindowTitle), wxDefaultPosition,
              wxSize(900, 600)),
      m_profile(profile),
      m_router(doc),
      m_menuModel(BuildMainMenu()),
      m_indicators(this) {
  // Menu bar; the tool entries of "&Extras" are there before its first opening.
  SetMenuBar(BuildWxMenuBar(m_menuModel));
  m_extras = GetMenuBar()->GetMenu(kExtrasMenuPos);
  if (wxMenuItem* marker = m_extras->FindItem(ToolkitId(ID_TOOL_MENU_MARKER))) {
    const wxMenuItemList& items = m_extras->GetMenuItems();
    m_toolMenuPos = items.IndexOf(marker);
    m_extras->Destroy(marker);
  }
  RebuildToolEntries(ListToolMenuEntries());
  const std::vector<wxAcceleratorEntry> accelerators = AcceleratorsOf(m_menuModel);
  SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(accelerators.size()), accelerators.data()));
  CreateToolbar();

  // Message pane, then caps lock, num lock, scroll lock.
  CreateStatusBar(4);
  const int widths[] = {-1, 40, 40, 40};
  GetStatusBar()->SetStatusWidths(4, widths);
  SetStatusBarPane(0);
  RestorePlacement();

  m_splitter = new CProjectSplitterWnd(this);
  m_tree = new CProjectTreeView(m_splitter, *this, doc);
  m_list = new CProjectListView(m_splitter, *this, doc, profile);
  // A maximised window is wider than its stored place: the screen bounds the width.
  const int screenWidth = wxDisplay(static_cast<unsigned>(std::max(wxDisplay::GetFromWindow(this), 0))).GetClientArea().width;
  const int width =
      UsableTreeWidth(profile.GetInt("Pane0", "Width", 150), std::max(GetClientSize().GetWidth(), screenWidth));
  m_splitter->SplitVertically(m_tree, m_list, width);
  m_splitter->SetColumnWidth(width);

  m_router.SetFrameTarget(this);
  m_router.SetAppTarget(&m_appCommands);
  m_router.SetActiveView(&m_list->Presenter());
  ApplyApplicationLook(GetApplicationLook());

  // The toolbar asks for its buttons' states when idle; with many rows selected each
  // question visits every selected object, so it is asked at most ten times a second.
  wxUpdateUIEvent::SetUpdateInterval(100);
  Bind(wxEVT_MENU, &CMainFrame::OnMenu, this);
  Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateUI, this);
  Bind(wxEVT_MENU_OPEN, &CMainFrame::OnMenuOpen, this);
  Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
  Bind(wxEVT_CHILD_FOCUS, &CMainFrame::OnChildFocus, this);
  Bind(wxEVT_TIMER, &CMainFrame::OnIndicatorTimer, this);
  m_indicators.Start(500);
}

CMainFrame::~CMainFrame() {
  m_indicators.Stop();
  m_settle.Stop();
}

int CMainFrame::UsableTreeWidth(int stored, int clientWidth) {
  // A width saved while the window was minimised or narrow would hide a pane.
  if (stored < CProjectSplitterWnd::kMinimumPane) return 150;
  if (clientWidth > 0 && stored > clientWidth - CProjectSplitterWnd::kMinimumPane) return 150;
  return stored;
}

wxRect CMainFrame::PlacementOnScreen(const wxRect& stored, const wxRect& screen) {
  wxRect r = stored;
  r.width = std::min(std::max(r.width, 200), screen.width);
  r.height = std::min(std::max(r.height, 150), screen.height);
  r.x = std::clamp(r.x, screen.x, screen.GetRight() + 1 - r.width);
  r.y = std::clamp(r.y, screen.y, screen.GetBottom() + 1 - r.height);
  return r;
}

// The window's place is kept with the panes' state: [Pane0] "WindowPosition" =
// "x,y,width,height", and "Maximized".
void CMainFrame::RestorePlacement() {
  const wxString stored = m_profile.GetString("Pane0", "WindowPosition", wxString());
  long v[4] = {0, 0, 0, 0};
  wxArrayString parts = wxSplit(stored, ',');
  bool ok = parts.size() == 4;
  for (size_t i = 0; ok && i < 4; ++i) ok = parts[i].Trim().Trim(false).ToLong(&v[i]);
  if (ok) {
    const wxRect want(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3]));
    // The display that holds most of the stored place, else the first one.
    int index = wxDisplay::GetFromPoint(want.GetPosition() + wxPoint(want.width / 2, want.height / 2));
    if (index == wxNOT_FOUND) index = 0;
    m_startPlace = PlacementOnScreen(want, wxDisplay(static_cast<unsigned>(index)).GetClientArea());
    SetSize(m_startPlace);
    // Once the window manager has stopped moving the new window about, the place is
    // asked for again.
    Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
      event.Skip();
      if (event.IsShown() && !m_startPlace.IsEmpty()) {
        m_shownAt = wxGetLocalTimeMillis();
        m_settle.StartOnce(kSettleMs);
      }
    });
    // Only the moves of the first moment are the window manager's; later ones are the user's.
    auto restart = [this](wxEvent& event) {
      event.Skip();
      if (m_settle.IsRunning() && wxGetLocalTimeMillis() - m_shownAt < kSettleLimitMs) m_settle.StartOnce(kSettleMs);
    };
    Bind(wxEVT_MOVE, restart);
    Bind(wxEVT_SIZE, restart);
  } else {
    const wxRect screen = wxDisplay(0u).GetClientArea();
    SetSize(PlacementOnScreen(wxRect(GetPosition(), GetSize()).CenterIn(screen), screen));
  }
  if (m_profile.GetInt("Pane0", "Maximized", 0)) Maximize();
}

void CMainFrame::KeepPlacementOnShow() {
  const wxRect place = m_startPlace;
  m_startPlace = wxRect();
  if (!place.IsEmpty() && !IsMaximized() && !IsIconized() && GetRect() != place) SetSize(place);
}

void CMainFrame::SavePlacement() {
  if (IsIconized()) return;   // a minimised window's place means nothing
  const bool maximized = IsMaximized();
  if (!maximized) {
    const wxRect r = GetRect();
    m_profile.WriteString("Pane0", "WindowPosition", wxString::Format("%d,%d,%d,%d", r.x, r.y, r.width, r.height));
  }
  m_profile.WriteInt("Pane0", "Maximized", maximized ? 1 : 0);
}

void CMainFrame::CreateToolbar() {
  wxToolBar* bar = CreateToolBar(wxTB_FLAT | wxTB_HORIZONTAL);
  bar->SetName(hv::LocalString(424, wxS("Standard")));
  bar->SetMargins(1, 1);
  for (const ToolbarButton& button : MainToolbarButtons()) {
    if (!button.id) {
      bar->AddSeparator();
      continue;
    }
    wxBitmap bitmap = wxArtProvider::GetBitmap(wxString::FromUTF8(button.art), wxART_TOOLBAR, wxSize(16, 16));
    if (!bitmap.IsOk()) bitmap = StripImage(IMG_OBJECT, 16);
    const CMenu::Item* item = m_menuModel.FindItem(button.id);
    const wxString tip = item ? PlainMenuText(LocalMenuText(item->text)) : wxString();
    // The prompt goes to the status bar while the pointer is on the button.
    bar->AddTool(ToolkitId(button.id), tip, bitmap, wxNullBitmap, wxITEM_NORMAL, tip, CommandPrompt(button.id));
  }
  bar->Realize();
  // A window manager maps a new window at a few pixels first; GTK allocating a toolbar
  // that narrow logs warnings on every start. The toolbar shows once the window has
  // passed that size, or a moment after it was shown where no manager shrinks it.
  bar->Hide();
  GetMenuBar()->Hide();
  Bind(wxEVT_SIZE, &CMainFrame::ShowToolbarWhenSized, this);
}

bool CMainFrame::Show(bool show) {
  const bool changed = wxFrame::Show(show);
  wxToolBar* bar = GetToolBar();
  if (!show || !bar || bar->IsShown()) return changed;
#ifdef __WXGTK__
  // The toolkit holds the window back until the window manager has told the size of its
  // frame; only then does the manager's first small size come.
  using IsVisible = int (*)(void* widget);
  auto visible = reinterpret_cast<IsVisible>(dlsym(RTLD_DEFAULT, "gtk_widget_get_visible"));
  if (visible && !visible(GetHandle())) {
    m_toolbarLater.StartOnce(kToolbarLaterMs);   // in case no small size comes
    return changed;
  }
#endif
  ShowToolbar();
  return changed;
}

void CMainFrame::ShowToolbarWhenSized(wxSizeEvent& event) {
  event.Skip();
  wxToolBar* bar = GetToolBar();
  if (!bar || bar->IsShown()) return;
  const wxSize client = GetClientSize();
  if (client.GetWidth() < 50 || client.GetHeight() < 50) {
    m_sawTinySize = true;
    return;
  }
  if (!m_sawTinySize || client.GetWidth() < 200 || client.GetHeight() < 100) return;
  m_toolbarLater.Stop();
  CallAfter([this] { ShowToolbar(); });
}

void CMainFrame::ShowToolbar() {
  wxToolBar* bar = GetToolBar();
  if (!bar || bar->IsShown()) return;
  GetMenuBar()->Show();
  bar->Show();
  SendSizeEvent();
}

void CMainFrame::InitialUpdate(const wxString& startPath) {
  DispatchScope scope;
  m_list->OnInitialUpdate();
  m_tree->OnInitialUpdate(startPath);
}

void CMainFrame::Raise() {
  if (IsIconized()) Iconize(false);
  Show();
  wxFrame::Raise();
}

// --- the command bridge ---

IProjectView* CMainFrame::SourceOf(wxObject* eventObject) const {
  if (!m_popupSource) return nullptr;
  auto* menu = dynamic_cast<wxMenu*>(eventObject);
  return menu && TopMenu(menu) == m_popupMenu ? m_popupSource : nullptr;
}

void CMainFrame::OnMenu(wxCommandEvent& event) {
  const int id = event.GetId();
  if (id <= 0) {
    event.Skip();
    return;
  }
  DispatchScope scope;
  // Accelerators arrive here as well: a disabled command does not run.
  if (!m_router.RouteFrom(SourceOf(event.GetEventObject())).Execute(CommandOfToolkitId(id))) event.Skip();
}

void CMainFrame::OnUpdateUI(wxUpdateUIEvent& event) {
  wxObject* object = event.GetEventObject();
  auto* window = dynamic_cast<wxWindow*>(object);
  // Windows ask about themselves under their own ids: not commands.
  if ((window && window != GetToolBar()) || event.GetId() <= 0) {
    event.Skip();
    return;
  }
  bool checkable = false;
  if (auto* menu = dynamic_cast<wxMenu*>(object)) {
    if (wxMenuItem* item = menu->FindItem(event.GetId())) checkable = item->IsCheckable();
  } else if (auto* bar = dynamic_cast<wxToolBar*>(object)) {
    if (wxToolBarToolBase* tool = bar->FindById(event.GetId())) checkable = tool->CanBeToggled();
  }
  DispatchScope scope;
  WxCmdUI ui(event, checkable);
  m_router.RouteFrom(SourceOf(object)).Update(ui);
}

void CMainFrame::ShowPopupMenu(IProjectView* source, wxWindow* window, const CMenu& menu, const wxPoint& pos) {
  std::unique_ptr<wxMenu> popup(BuildWxMenu(menu));
  BindPopup(popup.get(), [this, source](wxCommandEvent& event) {
    DispatchScope scope;
    m_router.RouteFrom(source).Execute(CommandOfToolkitId(event.GetId()));
  });
  IProjectView* const savedSource = m_popupSource;
  wxMenu* const savedMenu = m_popupMenu;
  m_popupSource = source;
  m_popupMenu = popup.get();
  window->PopupMenu(popup.get(), pos);
  m_popupSource = savedSource;
  m_popupMenu = savedMenu;
}

void CMainFrame::OnMenuOpen(wxMenuEvent& event) {
  // Every opening gives the listed tools their command ids again (a tool started drops
  // its id). The entries change only when the list does: a popup changed while it opens
  // is drawn cut off, without the new entries.
  if (event.GetMenu() == m_extras) {
    std::vector<CToolMenuEntry> entries = ListToolMenuEntries();
    if (!SameEntries(entries, m_shownTools)) RebuildToolEntries(std::move(entries));
  }
  event.Skip();   // the frame's own handler then asks for the entries' states
}

bool CMainFrame::SameEntries(const std::vector<CToolMenuEntry>& a, const std::vector<CToolMenuEntry>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].id != b[i].id || a[i].text != b[i].text) return false;
  return true;
}

void CMainFrame::RebuildToolEntries(std::vector<CToolMenuEntry> entries) {
  for (int id = kFirstMainToolCommand; id <= kLastMainToolCommand; ++id)
    while (wxMenuItem* item = m_extras->FindChildItem(ToolkitId(static_cast<UINT>(id)))) m_extras->Destroy(item);
  int pos = m_toolMenuPos;
  m_shownTools = std::move(entries);
  for (const CToolMenuEntry& entry : m_shownTools) {
    CMenu::Item item;
    item.id = static_cast<UINT>(entry.id);
    item.text = entry.text;
    AddWxMenuItem(*m_extras, item, std::min(pos++, static_cast<int>(m_extras->GetMenuItemCount())));
  }
}

void CMainFrame::OnChildFocus(wxChildFocusEvent& event) {
  // The event names the child of the window it reached; the focus itself may lie deeper.
  for (wxWindow* start : {wxWindow::FindFocus(), event.GetWindow()})
    for (wxWindow* w = start; w && w != this; w = w->GetParent()) {
      if (w == m_tree) SetActiveView(&m_tree->Presenter());
      if (w == m_list) SetActiveView(&m_list->Presenter());
    }
  event.Skip();
}

// --- window ---

void CMainFrame::OnClose(wxCloseEvent& event) {
  // Objects cut and not pasted yet would be lost: the user may stay.
  if (event.CanVeto() && !ConfirmCloseWithUnpastedCut()) {
    event.Veto();
    return;
  }
  if (CTavProjectApp* app = TheApp()) app->HasLanguageChanged();
  m_profile.WriteInt("Pane0", "Width", m_splitter->GetColumnWidth());
  SavePlacement();
  m_indicators.Stop();
  m_settle.Stop();
  event.Skip();
}

void CMainFrame::OnIndicatorTimer(wxTimerEvent&) {
  wxStatusBar* bar = GetStatusBar();
  if (!bar) return;
  const std::pair<wxKeyCode, const char*> keys[] = {{WXK_CAPITAL, "CAP"}, {WXK_NUMLOCK, "NUM"}, {WXK_SCROLL, "SCRL"}};
  for (int i = 0; i < 3; ++i) {
    const wxString text = wxGetKeyState(keys[i].first) ? wxString(keys[i].second) : wxString();
    if (bar->GetStatusText(i + 1) != text) bar->SetStatusText(text, i + 1);
  }
}

void CMainFrame::ApplyApplicationLook(UINT) {
  // The desktop decides the look here; the choice is kept and marked.
  wxBusyCursor wait;
  Refresh();
}

void CMainFrame::OnAppExit() { Close(); }

void CMainFrame::OnFilePrintSetup() {
  wxPageSetupDialogData data(m_list->PrintData());
  wxPageSetupDialog dialog(this, &data);
  if (dialog.ShowModal() == wxID_OK) m_list->PrintData() = dialog.GetPageSetupDialogData().GetPrintData();
}
