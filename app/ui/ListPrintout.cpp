#include "app/ui/ListPrintout.h"

#include <algorithm>
#include <wx/control.h>
#include <wx/datetime.h>
#include <wx/dcclient.h>
#include <wx/settings.h>

#include "app/ViewHooks.h"
#include "app/ui/HeaderCtrl.h"
#include "app/ui/ProjectListView.h"
#include "model/ProjectObject.h"
#include "platform/Localization.h"

CListPrintout::CListPrintout(CProjectListView& view)
    : wxPrintout(hv::LocalString(10827, wxS("Halvora"))), m_view(view) {}

void CListPrintout::OnPreparePrinting() {
  wxListCtrl* ctrl = m_view.Control();
  const CListPresenter& presenter = m_view.Presenter();
  {
    wxClientDC screen(ctrl);
    screen.SetFont(ctrl->GetFont());
    m_charWidth = std::max(1, screen.GetCharWidth());
    m_rowHeight = screen.GetCharHeight() + 4;
  }
  wxRect first;
  if (presenter.GetRowCount() > 0 && ctrl->InReportView() && ctrl->GetItemRect(0, first) && first.height > 0)
    m_rowHeight = first.height;
  int screenX = 96, screenY = 96, printerX = 96, printerY = 96;
  GetPPIScreen(&screenX, &screenY);
  GetPPIPrinter(&printerX, &printerY);
  m_scaleX = screenX > 0 ? static_cast<double>(printerX) / screenX : 1;
  m_scaleY = screenY > 0 ? static_cast<double>(printerY) / screenY : 1;
  int pageW = 0, pageH = 0;
  GetPageSizePixels(&pageW, &pageH);
  m_pages = PaginateList(static_cast<int>(presenter.GetRowCount()), pageH,
                         std::max(1, static_cast<int>(m_rowHeight * m_scaleY + 0.5)));
}

void CListPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
  // Without rows there is still the page with the header.
  const int last = std::max(1, m_pages.pageCount);
  *minPage = 1;
  *maxPage = last;
  *pageFrom = 1;
  *pageTo = last;
}

bool CListPrintout::HasPage(int page) { return page >= 1 && page <= std::max(1, m_pages.pageCount); }

bool CListPrintout::OnPrintPage(int page) {
  wxDC* dc = GetDC();
  if (!dc) return false;
  MapScreenSizeToPage();
  const wxRect area = GetLogicalPageRect();
  CListPresenter& presenter = m_view.Presenter();
  wxListCtrl* ctrl = m_view.Control();
  const wxFont font = ctrl->GetFont();
  wxFont bold = font;
  bold.SetWeight(wxFONTWEIGHT_BOLD);
  const int left = area.x + 8 * m_charWidth;
  const int right = area.GetRight() - 4 * m_charWidth;
  const int rowH = m_rowHeight;
  int y = area.y + rowH;

  // Page header.
  dc->SetFont(bold);
  dc->SetTextForeground(*wxBLACK);
  CProjectObject* listed = presenter.GetListed();
  CProjectObject* project = FindProjectObject(listed);
  dc->DrawText(wxS("Project: ") + (project ? project->GetName() : wxString()), left, y);
  const wxString product = wxS("Halvora ");
  dc->DrawText(product, right - dc->GetTextExtent(product).GetWidth(), y);
  y += rowH;
  const wxString caption = listed ? listed->GetListCaption() : wxString();
  dc->DrawText(caption, left + (right - left - dc->GetTextExtent(caption).GetWidth()) / 2, y);
  y += 2 * rowH;

  // Column headings.
  const std::vector<int>& display = presenter.DisplayOrder();
  std::span<ColumnDef> table = presenter.Columns();
  std::vector<CEHeaderCtrl::Column> headings;
  int sortDisplay = -1;
  for (size_t i = 0; i < display.size(); ++i) {
    const ColumnDef& c = table[static_cast<size_t>(display[i])];
    headings.push_back({c.title, c.format, m_view.GetColumnWidth(static_cast<int>(i))});
    if (display[i] == presenter.GetSortColumn()) sortDisplay = static_cast<int>(i);
  }
  CEHeaderCtrl header;
  header.SetSortImage(sortDisplay, presenter.GetSortDirection() == 0);
  dc->SetFont(font);
  header.PrintHeader(*dc, headings, wxPoint(left, y), rowH);
  y += rowH;

  // Rows of this page.
  const std::size_t count = presenter.GetRowCount();
  const std::size_t first = static_cast<std::size_t>(page - 1) * static_cast<std::size_t>(m_pages.rowsPerPage);
  const std::size_t last = std::min(count, first + static_cast<std::size_t>(m_pages.rowsPerPage));
  const std::vector<std::size_t> selectedRows = m_view.GetSelectedRows();
  wxImageList& images = m_view.SmallImageList();
  for (std::size_t row = first; row < last; ++row, y += rowH) {
    const bool selected = std::binary_search(selectedRows.begin(), selectedRows.end(), row);
    const wxColour back = wxSystemSettings::GetColour(selected ? wxSYS_COLOUR_HIGHLIGHT : wxSYS_COLOUR_WINDOW);
    dc->SetBrush(wxBrush(back));
    dc->SetPen(*wxTRANSPARENT_PEN);
    int width = 0;
    for (const auto& h : headings) width += h.width;
    dc->DrawRectangle(left, y, width, rowH);
    dc->SetTextForeground(wxSystemSettings::GetColour(selected ? wxSYS_COLOUR_HIGHLIGHTTEXT : wxSYS_COLOUR_WINDOWTEXT));
    int x = left;
    const int image = presenter.RowImage(row);
    if (image >= 0 && image < images.GetImageCount()) {
      images.Draw(image, *dc, x + 2, y + (rowH - 16) / 2, wxIMAGELIST_DRAW_TRANSPARENT);
    }
    for (size_t i = 0; i < headings.size(); ++i) {
      int textLeft = x + 4 + (i == 0 ? 20 : 0);
      const int cellWidth = std::max(0, headings[i].width - (textLeft - x) - 2);
      wxString text = presenter.RowText(row, static_cast<int>(i));
      int align = wxALIGN_LEFT;
      if (headings[i].format == 1) {
        align = wxALIGN_RIGHT;
        text += ' ';
      } else if (headings[i].format == 2) {
        align = wxALIGN_CENTRE_HORIZONTAL;
      }
      text = wxControl::Ellipsize(text, *dc, wxELLIPSIZE_END, cellWidth);
      dc->DrawLabel(text, wxRect(textLeft, y, cellWidth, rowH), align | wxALIGN_CENTRE_VERTICAL);
      x += headings[i].width;
    }
  }

  // Footer.
  dc->SetFont(bold);
  const int rule = area.GetBottom() - 3 * rowH;
  dc->SetPen(*wxBLACK_PEN);
  dc->DrawLine(left, rule, right, rule);
  dc->SetTextForeground(*wxBLACK);
  dc->DrawText(wxString::Format("%d", page), left, rule + rowH / 2);
  const wxString when = wxDateTime::Now().Format();
  dc->DrawText(when, right - dc->GetTextExtent(when).GetWidth(), rule + rowH / 2);
  return true;
}
