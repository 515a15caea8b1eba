#include "app/ui/ProjectSplitterWnd.h"

CProjectSplitterWnd::CProjectSplitterWnd(wxWindow* parent)
    : wxSplitterWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_LIVE_UPDATE | wxSP_3DSASH) {
  SetMinimumPaneSize(kMinimumPane);
  SetSashGravity(0.0);
  // A double click on the sash would close a pane.
  Bind(wxEVT_SPLITTER_DOUBLECLICKED, [](wxSplitterEvent& event) { event.Veto(); });
  Bind(wxEVT_SPLITTER_UNSPLIT, [](wxSplitterEvent& event) { event.Veto(); });
}

int CProjectSplitterWnd::GetColumnWidth() const { return GetSashPosition(); }
