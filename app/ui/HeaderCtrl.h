#pragma once
// Column headings as the list prints them: each heading on the 3-D face colour, the
// text cut with an ellipsis, and a small triangle at the right end of the sort column
// (pointing up for ascending order). The project list's header and its printed pages
// are drawn by it.
#include <vector>
#include <wx/dc.h>
#include <wx/string.h>

class CEHeaderCtrl {
 public:
  struct Column {
    wxString title;
    int format = 0;   // 0 left, 1 right, 2 centred
    int width = 0;
  };

  // Remembers the sort column (-1: none) and direction; returns the previous column.
  int SetSortImage(int column, bool ascending);
  int GetSortColumn() const { return m_sortColumn; }
  bool IsAscending() const { return m_ascending; }

  // One heading in `rect`.
  void DrawItem(wxDC& dc, const wxRect& rect, const wxString& text, int format, bool pressed, bool sortColumn) const;
  // Every heading in display order from `origin`, each as wide as its column, with a
  // raised edge around it.
  void PrintHeader(wxDC& dc, const std::vector<Column>& columns, wxPoint origin, int height) const;

 private:
  int m_sortColumn = -1;
  bool m_ascending = true;
};
