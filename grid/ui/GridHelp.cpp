// Help for the part of the grid that F1 or context help points at. Every child window's
// help event rises to the control, which asks the host for the context id.
#include <wx/cshelp.h>
#include <wx/utils.h>

#include "grid/ui/GridBars.h"
#include "grid/ui/GridCellArea.h"
#include "grid/ui/GridCtrl.h"
#include "grid/ui/GridHeadings.h"

void CGridCtrl::OnHelp(wxHelpEvent& e) {
  const wxObject* from = e.GetEventObject();
  const CGridSheetInfo& s = Sheet();
  int column = s.currentColumn, row = s.currentRow, section = 0;
  // With F1 held the cells mean the current cell; otherwise the point under the pointer.
  const bool key = e.GetOrigin() == wxHelpEvent::Origin_Keyboard;
  const wxPoint screen = e.GetPosition() == wxDefaultPosition ? wxGetMousePosition() : e.GetPosition();
  GridRect rect;
  if (from == m_cellArea) {
    section = kSectionCells;
    const wxPoint p = m_cellArea->ScreenToClient(screen);
    if (!key && HitTestCell(p.x, p.y, column, row, rect) != 0) column = row = -1;
  } else if (from == m_top || from == m_side) {
    section = from == m_top ? kSectionTopHeading : kSectionSideHeading;
    const CGridHeading* heading = from == m_top ? m_top : m_side;
    if (!heading->HitTest(heading->ScreenToClient(screen), column, row, rect)) column = row = -1;
  } else if (from == m_corner) {
    section = kSectionCorner;
    column = row = -1;
  } else if (from == m_hScroll || from == m_vScroll) {
    section = from == m_hScroll ? kSectionHScroll : kSectionVScroll;
  } else if (from == m_tabs) {
    section = kSectionTabs;
  } else {
    e.Skip();
    return;
  }
  ShowHelpAt(column, row, section);
}
