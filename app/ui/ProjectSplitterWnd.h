#pragma once
// The main window's two panes side by side: the tree on the left, the list on the
// right. The panes are never unsplit; the wheel scrolls the pane under it only.
#include <wx/splitter.h>

class CProjectSplitterWnd : public wxSplitterWindow {
 public:
  explicit CProjectSplitterWnd(wxWindow* parent);
  // Width of the left column (the tree pane). While the window is too narrow to show
  // the width asked for with SetColumnWidth, that width (the user's) is answered.
  int GetColumnWidth() const;
  // Asks for a tree pane width: it is set now and again whenever the window grows
  // wide enough, until the user moves the sash. A window manager may size the
  // window several times before its final size; none of them narrows the pane for good.
  void SetColumnWidth(int width);
  static constexpr int kMinimumPane = 20;

 private:
  int m_wanted = 0;   // 0: the user has placed the sash
  bool Fits(int width) const;
  void ApplyWanted();
};
