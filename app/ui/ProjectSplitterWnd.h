#pragma once
// The main window's two panes side by side: the tree on the left, the list on the
// right. The panes are never unsplit; the wheel scrolls the pane under it only.
#include <wx/splitter.h>

class CProjectSplitterWnd : public wxSplitterWindow {
 public:
  explicit CProjectSplitterWnd(wxWindow* parent);
  // Width of the left column (the tree pane).
  int GetColumnWidth() const;
  static constexpr int kMinimumPane = 20;
};
