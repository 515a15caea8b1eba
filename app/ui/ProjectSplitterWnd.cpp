#include "app/ui/ProjectSplitterWnd.h"

CProjectSplitterWnd::CProjectSplitterWnd(wxWindow* parent)
    : wxSplitterWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_LIVE_UPDATE | wxSP_3DSASH) {
  SetMinimumPaneSize(kMinimumPane);
  SetSashGravity(0.0);
  // A double click on the sash would close a pane.
  Bind(wxEVT_SPLITTER_DOUBLECLICKED, [](wxSplitterEvent& event) { event.Veto(); });
  Bind(wxEVT_SPLITTER_UNSPLIT, [](wxSplitterEvent& event) { event.Veto(); });
  // Only a drag by the user sends this (a change through resizing sends "changed"
  // alone): from then on the sash stays where it is put.
  Bind(wxEVT_SPLITTER_SASH_POS_CHANGING, [this](wxSplitterEvent& event) {
    m_wanted = 0;
    event.Skip();
  });
  // The splitter's own size handler moves a sash that the new size would hide; once
  // it has run, the width asked for comes back when there is room for it.
  Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    event.Skip();
    if (m_wanted > 0) CallAfter(&CProjectSplitterWnd::ApplyWanted);
  });
}

bool CProjectSplitterWnd::Fits(int width) const {
  return GetClientSize().GetWidth() >= width + GetSashSize() + kMinimumPane;
}

void CProjectSplitterWnd::ApplyWanted() {
  if (m_wanted > 0 && IsSplit() && Fits(m_wanted) && GetSashPosition() < m_wanted) SetSashPosition(m_wanted);
}

void CProjectSplitterWnd::SetColumnWidth(int width) {
  m_wanted = width;
  SetSashPosition(width);
}

int CProjectSplitterWnd::GetColumnWidth() const {
  const int now = GetSashPosition();
  if (m_wanted > 0 && now < m_wanted && !Fits(m_wanted)) return m_wanted;
  return now;
}
