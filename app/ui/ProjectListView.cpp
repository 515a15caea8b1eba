#include "app/ui/ProjectListView.h"

#include <wx/cmndata.h>
#include <wx/dcclient.h>
#include <wx/menu.h>
#include <wx/print.h>
#include <wx/rearrangectrl.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include "framework/SettingsFile.h"
#include "framework/ui/DialogLayout.h"
#include "app/ui/HeaderCtrl.h"
#include "app/ui/ImageStrip.h"
#include "app/ui/ListPrintout.h"
#include "app/ui/MainFrame.h"
#include "model/ProjectObject.h"
#include "platform/Localization.h"

// The control: in the details style it asks the presenter for the texts and images
// of the rows it shows.
class CProjectListView::Ctrl : public wxListCtrl {
 public:
  Ctrl(CProjectListView& view, long style)
      : wxListCtrl(&view, wxID_ANY, wxDefaultPosition, wxDefaultSize, style), m_view(view) {}

 protected:
  wxString OnGetItemText(long item, long column) const override {
    return m_view.m_presenter.RowText(static_cast<std::size_t>(item), static_cast<int>(column));
  }
  int OnGetItemImage(long item) const override {
    const int image = m_view.m_presenter.RowImage(static_cast<std::size_t>(item));
    if (image >= m_view.m_small.GetImageCount()) m_view.SyncImages();
    return image < m_view.m_small.GetImageCount() ? image : -1;
  }

 private:
  CProjectListView& m_view;
};

namespace {

int ToolkitFormat(int format) {
  switch (format) {
    case 1: return wxLIST_FORMAT_RIGHT;
    case 2: return wxLIST_FORMAT_CENTRE;
    default: return wxLIST_FORMAT_LEFT;
  }
}

long StyleFlags(int style) {
  switch (style) {
    // Large icons go side by side; the toolkit's own flow would stack them in one
    // column while they fit the window's height.
    case LIST_STYLE_ICON: return wxLC_ICON | wxLC_ALIGN_LEFT;
    case LIST_STYLE_SMALLICON: return wxLC_SMALL_ICON;
    case LIST_STYLE_LIST: return wxLC_LIST;
    default: return wxLC_REPORT | wxLC_VIRTUAL | wxLC_HRULES | wxLC_VRULES;
  }
}

}  // namespace

CProjectListView::CProjectListView(wxWindow* parent, CMainFrame& frame, CTavProjectDoc& doc,
                                   CSettingsFile& profile)
    : wxPanel(parent, wxID_ANY), m_frame(frame), m_presenter(*this, doc, profile) {
  SetSizer(new wxBoxSizer(wxVERTICAL));
  m_presenter.onPrint = [this] { Print(); };
  m_presenter.onPrintPreview = [this] { PrintPreview(); };
  SyncImages();
  CreateCtrl(LIST_STYLE_DETAILS);
}

CProjectListView::~CProjectListView() {
  m_presenter.OnDestroy();
  if (m_ctrl) {
    m_ctrl->SetImageList(nullptr, wxIMAGE_LIST_SMALL);
    m_ctrl->SetImageList(nullptr, wxIMAGE_LIST_NORMAL);
    // The control asks this view for texts and sends it events until it is gone: it must
    // go while the view's members still live, not later in the base class's destructor.
    delete m_ctrl;
    m_ctrl = nullptr;
  }
}

wxListCtrl* CProjectListView::Control() const { return m_ctrl; }

void CProjectListView::OnInitialUpdate() { m_presenter.OnInitialUpdate(); }

void CProjectListView::SyncImages() {
  SyncImageList(m_small, m_presenter.SmallImages());
  SyncImageList(m_large, m_presenter.LargeImages());
}

void CProjectListView::CreateCtrl(int style) {
  std::vector<std::size_t> selected;
  if (m_ctrl) {
    selected = GetSelectedRows();
    m_ctrl->Destroy();
  }
  m_style = style;
  m_ctrl = new Ctrl(*this, StyleFlags(style) | wxBORDER_SUNKEN);
  m_ctrl->SetImageList(&m_small, wxIMAGE_LIST_SMALL);
  m_ctrl->SetImageList(&m_large, wxIMAGE_LIST_NORMAL);
  GetSizer()->Add(m_ctrl, 1, wxEXPAND);
  Layout();
  m_ctrl->Bind(wxEVT_LIST_COL_CLICK, &CProjectListView::OnColumnClick, this);
  m_ctrl->Bind(wxEVT_LIST_COL_RIGHT_CLICK, &CProjectListView::OnColumnRightClick, this);
  m_ctrl->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CProjectListView::OnActivated, this);
  m_ctrl->Bind(wxEVT_CONTEXT_MENU, &CProjectListView::OnContextMenu, this);
  // The presenter keeps the selection until it changes. A virtual control reports a
  // range as one event or none: every click and key may change it, too.
  auto changed = [this](wxEvent& e) {
    ++m_selectionVersion;
    e.Skip();
  };
  auto onList = [changed](wxListEvent& e) { changed(e); };
  m_ctrl->Bind(wxEVT_LIST_ITEM_SELECTED, onList);
  m_ctrl->Bind(wxEVT_LIST_ITEM_DESELECTED, onList);
  m_ctrl->Bind(wxEVT_LIST_ITEM_FOCUSED, onList);
  auto onMouse = [changed](wxMouseEvent& e) { changed(e); };
  auto onKey = [changed](wxKeyEvent& e) { changed(e); };
  for (wxWindow* part : m_ctrl->GetChildren()) {
    part->Bind(wxEVT_LEFT_DOWN, onMouse);
    part->Bind(wxEVT_LEFT_UP, onMouse);
    part->Bind(wxEVT_LEFT_DCLICK, onMouse);
    part->Bind(wxEVT_RIGHT_DOWN, onMouse);
    part->Bind(wxEVT_KEY_DOWN, onKey);
    part->Bind(wxEVT_KEY_UP, onKey);
    part->Bind(wxEVT_CHAR, onKey);
  }
  m_ctrl->Bind(wxEVT_KEY_DOWN, [changed](wxKeyEvent& e) { changed(e); });
  // The toolkit's header puts a right-aligned title under its sort arrow.
  if (wxWindow* header = HeaderWindow()) header->Bind(wxEVT_PAINT, [this, header](wxPaintEvent&) { PaintHeader(header); });
  // The pane is the active one once it has the focus or a click; the control's inner
  // windows get both.
  auto activate = [this](wxEvent& e) {
    m_frame.SetActiveView(&m_presenter);
    e.Skip();
  };
  for (wxWindow* part : m_ctrl->GetChildren()) {
    part->Bind(wxEVT_SET_FOCUS, [activate](wxFocusEvent& e) { activate(e); });
    part->Bind(wxEVT_LEFT_DOWN, [activate](wxMouseEvent& e) { activate(e); });
    part->Bind(wxEVT_RIGHT_DOWN, [this, part, activate](wxMouseEvent& e) {
      // The row under the pointer is what the menu is for: it becomes the selection
      // unless it already belongs to it.
      if (part == RowsWindow()) {
        int flags = 0;
        const long row = m_ctrl->HitTest(e.GetPosition(), flags);
        if (row >= 0 && (flags & wxLIST_HITTEST_ONITEM) && !m_ctrl->GetItemState(row, wxLIST_STATE_SELECTED)) {
          ClearSelection();
          SelectRow(static_cast<std::size_t>(row), true);
          FocusRow(static_cast<std::size_t>(row));
        }
      }
      activate(e);
    });
  }
  ApplyColumns();
  FillPlainRows();
  for (std::size_t row : selected)
    if (row < m_presenter.GetRowCount()) SelectRow(row, true);
}

void CProjectListView::ApplyColumns() {
  if (m_style != LIST_STYLE_DETAILS) return;
  m_ctrl->DeleteAllColumns();
  // A column is never narrower than its title (with room for the sort mark).
  const int titlePadding = 4 * m_ctrl->GetCharWidth() + 8;
  for (size_t i = 0; i < m_columns.size(); ++i)
    m_ctrl->InsertColumn(static_cast<long>(i), m_columns[i].title, ToolkitFormat(m_columns[i].format),
                         m_columns[i].defaultWidth
                             ? std::max(m_columns[i].width, TextWidth(m_ctrl, m_columns[i].title) + titlePadding)
                             : m_columns[i].width);
  if (m_sortDisplay >= 0 && m_sortDisplay < m_ctrl->GetColumnCount())
    m_ctrl->ShowSortIndicator(m_sortDisplay, m_sortAscending);
}

void CProjectListView::FillPlainRows() {
  const std::size_t count = m_presenter.GetRowCount();
  if (m_style == LIST_STYLE_DETAILS) {
    m_ctrl->SetItemCount(static_cast<long>(count));
    WidenColumnsToTexts();
    m_ctrl->Refresh();
    return;
  }
  m_ctrl->Freeze();
  m_ctrl->DeleteAllItems();
  for (std::size_t i = 0; i < count; ++i) {
    CProjectObject* object = m_presenter.RowObject(i);
    const int image = m_presenter.RowImage(i);
    if (image >= m_small.GetImageCount()) SyncImages();
    m_ctrl->InsertItem(static_cast<long>(i), object ? object->GetName() : wxString(), image);
  }
  m_ctrl->Thaw();
}

// --- IListWidget ---

void CProjectListView::SetColumns(const std::vector<ListColumn>& columns) {
  m_columns = columns;
  ApplyColumns();
}

int CProjectListView::GetColumnWidth(int displayIndex) {
  if (m_style == LIST_STYLE_DETAILS && displayIndex < m_ctrl->GetColumnCount())
    return m_ctrl->GetColumnWidth(displayIndex);
  return displayIndex < static_cast<int>(m_columns.size()) ? m_columns[static_cast<size_t>(displayIndex)].width : 100;
}

void CProjectListView::SetRowCount(std::size_t) {
  ++m_selectionVersion;
  ClearSelection();
  FillPlainRows();
}

void CProjectListView::InsertRow(std::size_t index) {
  ++m_selectionVersion;
  if (m_style == LIST_STYLE_DETAILS) {
    m_ctrl->SetItemCount(static_cast<long>(m_presenter.GetRowCount()));
    m_ctrl->Refresh();
    return;
  }
  CProjectObject* object = m_presenter.RowObject(index);
  const int image = m_presenter.RowImage(index);
  if (image >= m_small.GetImageCount()) SyncImages();
  m_ctrl->InsertItem(static_cast<long>(index), object ? object->GetName() : wxString(), image);
}

void CProjectListView::DeleteRow(std::size_t index) {
  ++m_selectionVersion;
  if (static_cast<long>(index) < m_ctrl->GetItemCount()) m_ctrl->DeleteItem(static_cast<long>(index));
}

void CProjectListView::DeleteRows(const std::vector<std::size_t>& rows) {
  if (m_style != LIST_STYLE_DETAILS || rows.size() < 2) {
    IListWidget::DeleteRows(rows);
    return;
  }
  // The control would move its selection once per row: the survivors' selection is
  // moved here in one pass and the count set once.
  ++m_selectionVersion;
  std::vector<std::size_t> keep;
  std::size_t gone = 0;
  for (std::size_t row : GetSelectedRows()) {
    while (gone < rows.size() && rows[gone] < row) ++gone;
    if (gone < rows.size() && rows[gone] == row) continue;
    keep.push_back(row - gone);
  }
  const long focused = m_ctrl->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
  const std::size_t count = m_presenter.GetRowCount();
  m_ctrl->Freeze();
  ClearSelection();
  m_ctrl->SetItemCount(static_cast<long>(count));
  if (keep.size() * 2 > count) {
    // The control keeps the rows that differ from "all selected": selected one by one,
    // most of a large list would make every later look at the selection slow.
    SelectAll();
    std::size_t next = 0;
    for (std::size_t row = 0; row < count; ++row) {
      if (next < keep.size() && keep[next] == row) ++next;
      else SelectRow(row, false);
    }
  } else {
    for (std::size_t row : keep) SelectRow(row, true);
  }
  if (focused >= 0 && !keep.empty()) FocusRow(keep.front());
  m_ctrl->Thaw();
  m_ctrl->Refresh();
}

void CProjectListView::RefreshRow(std::size_t index) {
  if (m_style == LIST_STYLE_DETAILS) {
    m_ctrl->RefreshItem(static_cast<long>(index));
    return;
  }
  if (CProjectObject* object = m_presenter.RowObject(index)) m_ctrl->SetItemText(static_cast<long>(index), object->GetName());
}

void CProjectListView::RefreshAll() { m_ctrl->Refresh(); }

std::vector<std::size_t> CProjectListView::GetSelectedRows() {
  std::vector<std::size_t> out;
  for (long i = m_ctrl->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i >= 0;
       i = m_ctrl->GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
    out.push_back(static_cast<std::size_t>(i));
  return out;
}

bool CProjectListView::HasSelection() { return m_ctrl->GetSelectedItemCount() > 0; }

void CProjectListView::WidenColumnsToTexts() {
  // Dates, sizes and names are shown whole: a column at its default width that is too
  // narrow for the texts of the first rows grows (widths the user left stay as they are;
  // a list of any length only measures what a screen shows).
  const std::size_t rows = std::min<std::size_t>(m_presenter.GetRowCount(), 64);
  const int padding = 2 * m_ctrl->GetCharWidth() + 8;
  for (int column = 0; column < m_ctrl->GetColumnCount(); ++column) {
    if (static_cast<size_t>(column) >= m_columns.size() || !m_columns[static_cast<size_t>(column)].defaultWidth) continue;
    int widest = 0;
    for (std::size_t row = 0; row < rows; ++row)
      widest = std::max(widest, TextWidth(m_ctrl, m_presenter.RowText(row, column)));
    if (column == 0) widest += m_small.GetSize().GetWidth() + 4;   // the row's image
    if (widest > 0 && widest + padding > m_ctrl->GetColumnWidth(column)) m_ctrl->SetColumnWidth(column, widest + padding);
  }
}

wxWindow* CProjectListView::RowsWindow() const {
  // The control's inner windows are the rows and, in details view, the header above
  // them: the rows are the taller one.
  wxWindow* rows = nullptr;
  for (wxWindow* part : m_ctrl->GetChildren())
    if (!rows || part->GetSize().y > rows->GetSize().y) rows = part;
  return rows;
}

wxWindow* CProjectListView::HeaderWindow() const {
  // The control's header is one of its inner windows (details view only).
  for (wxWindow* part : m_ctrl->GetChildren())
    if (static_cast<void*>(part) == static_cast<void*>(m_ctrl->m_headerWin)) return part;
  return nullptr;
}

void CProjectListView::PaintHeader(wxWindow* header) {
  wxPaintDC dc(header);
  int unit = 0, start = 0;
  m_ctrl->GetScrollPixelsPerUnit(&unit, nullptr);
  m_ctrl->GetViewStart(&start, nullptr);
  const int offset = unit * start;
  dc.SetDeviceOrigin(-offset, 0);
  dc.SetFont(header->GetFont());
  std::vector<CEHeaderCtrl::Column> columns;
  int right = 0;
  for (int i = 0; i < m_ctrl->GetColumnCount(); ++i) {
    wxListItem item;
    item.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_FORMAT | wxLIST_MASK_WIDTH);
    m_ctrl->GetColumn(i, item);
    const int format = item.GetAlign() == wxLIST_FORMAT_RIGHT ? 1 : item.GetAlign() == wxLIST_FORMAT_CENTRE ? 2 : 0;
    columns.push_back({item.GetText(), format, item.GetWidth()});
    right += item.GetWidth();
  }
  const wxSize size = header->GetClientSize();
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
  if (right < offset + size.x) dc.DrawRectangle(right, 0, offset + size.x - right, size.y);
  CEHeaderCtrl painter;
  painter.SetSortImage(m_sortDisplay, m_sortAscending);
  painter.PrintHeader(dc, columns, wxPoint(0, 0), size.y);
}

void CProjectListView::SelectRow(std::size_t index, bool select) {
  ++m_selectionVersion;
  m_ctrl->SetItemState(static_cast<long>(index), select ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
}

void CProjectListView::SelectAll() {
  ++m_selectionVersion;
  if (m_ctrl->GetItemCount() > 0) m_ctrl->SetItemState(-1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
}

void CProjectListView::ClearSelection() {
  ++m_selectionVersion;
  if (m_ctrl->GetItemCount() > 0 && m_ctrl->GetSelectedItemCount() > 0) m_ctrl->SetItemState(-1, 0, wxLIST_STATE_SELECTED);
}

void CProjectListView::FocusRow(std::size_t index) {
  m_ctrl->SetItemState(static_cast<long>(index), wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
  m_ctrl->EnsureVisible(static_cast<long>(index));
}

void CProjectListView::ShowSortIndicator(int displayIndex, bool ascending) {
  m_sortDisplay = displayIndex;
  m_sortAscending = ascending;
  if (m_style != LIST_STYLE_DETAILS) return;
  if (displayIndex >= 0 && displayIndex < m_ctrl->GetColumnCount()) m_ctrl->ShowSortIndicator(displayIndex, ascending);
  else m_ctrl->RemoveSortIndicator();
}

void CProjectListView::SetViewStyle(int style) {
  if (style == m_style) return;
  if (style == LIST_STYLE_DETAILS || m_style == LIST_STYLE_DETAILS) {
    CreateCtrl(style);
    return;
  }
  m_style = style;
  m_ctrl->SetSingleStyle(StyleFlags(style));
  m_ctrl->Refresh();
}

// --- events ---

void CProjectListView::OnColumnClick(wxListEvent& event) {
  m_frame.SetActiveView(&m_presenter);
  m_presenter.OnColumnClick(event.GetColumn());
}

void CProjectListView::OnColumnRightClick(wxListEvent&) {
  // The control cannot reorder its columns by dragging: a dialog does it.
  wxMenu menu;
  const int id = wxWindow::NewControlId();
  menu.Append(id, hv::LocalString(12001, wxS("Spalten anordnen...")));
  menu.Bind(wxEVT_MENU, [this](wxCommandEvent&) {
    const std::vector<int>& display = m_presenter.DisplayOrder();
    wxArrayInt order;
    wxArrayString titles;
    std::span<ColumnDef> table = m_presenter.Columns();
    for (size_t i = 0; i < display.size(); ++i) {
      order.Add(static_cast<int>(i));
      titles.Add(table[static_cast<size_t>(display[i])].title);
    }
    wxRearrangeDialog dlg(this, hv::LocalString(12002, wxS("Reihenfolge der Spalten:")),
                          hv::LocalString(12003, wxS("Spalten anordnen")), order, titles);
    if (dlg.ShowModal() != wxID_OK) return;
    std::vector<int> rows;
    for (int shown : dlg.GetOrder()) rows.push_back(display[static_cast<size_t>(shown < 0 ? ~shown : shown)]);
    m_presenter.SetDisplayOrder(rows);
  }, id);
  PopupMenu(&menu);
  wxWindow::UnreserveControlId(id);
}

void CProjectListView::OnActivated(wxListEvent& event) {
  m_frame.SetActiveView(&m_presenter);
  // GTK's list answers no column from a hit test: the column is the one whose part of
  // the activated row holds the pointer (none for Return).
  const wxPoint at = m_ctrl->ScreenToClient(wxGetMousePosition());
  long column = -1;
  for (int c = 0; c < m_ctrl->GetColumnCount() && event.GetIndex() >= 0; ++c) {
    wxRect rect;
    if (m_ctrl->GetSubItemRect(event.GetIndex(), c, rect) && rect.Contains(at)) {
      column = c;
      break;
    }
  }
  m_presenter.OnDoubleClick(static_cast<int>(column));
}

void CProjectListView::OnContextMenu(wxContextMenuEvent& event) {
  m_frame.SetActiveView(&m_presenter);
  const wxPoint client =
      event.GetPosition() == wxDefaultPosition ? wxPoint(5, 5) : m_ctrl->ScreenToClient(event.GetPosition());
  CListPresenter::MenuChoice choice = m_presenter.PrepareContextMenu();
  if (choice.menu) m_frame.ShowPopupMenu(&m_presenter, m_ctrl, *choice.menu, client);
}

// --- printing ---

wxPrintData& CProjectListView::PrintData() {
  if (!m_printData) m_printData = std::make_unique<wxPrintData>();
  return *m_printData;
}

void CProjectListView::Print() {
  wxPrintDialogData data(PrintData());
  wxPrinter printer(&data);
  CListPrintout printout(*this);
  if (printer.Print(this, &printout, true)) PrintData() = printer.GetPrintDialogData().GetPrintData();
}

void CProjectListView::PrintPreview() {
  auto* preview = new wxPrintPreview(new CListPrintout(*this), new CListPrintout(*this), &PrintData());
  if (!preview->IsOk()) {
    delete preview;
    return;
  }
  auto* frame = new wxPreviewFrame(preview, wxGetTopLevelParent(this), hv::LocalString(12004, wxS("Seitenansicht")));
  frame->Initialize();
  frame->Show();
}
