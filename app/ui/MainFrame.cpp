#include "app/ui/MainFrame.h"

#include "app/TavProjectApp.h"
#include "platform/Localization.h"

CMainFrame::CMainFrame()
    : wxFrame(nullptr, wxID_ANY, hv::LocalString(10827, CTavProjectApp::kMainWindowTitle), wxDefaultPosition,
              wxSize(900, 600)) {
  CreateStatusBar(4);
  Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
}

void CMainFrame::Raise() {
  if (IsIconized()) Iconize(false);
  Show();
  wxFrame::Raise();
}

void CMainFrame::OnClose(wxCloseEvent& event) {
  if (CTavProjectApp* app = TheApp()) {
    app->HasLanguageChanged();
    app->m_profile.WriteInt("Pane0", "Width", 150);
  }
  event.Skip();
}
