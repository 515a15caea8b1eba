#include "grid/ui/GridCtrl.h"

#include <algorithm>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/fdrepdlg.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include "grid/GridCellTypes.h"
#include "grid/ui/GridBars.h"
#include "grid/ui/GridCellArea.h"
#include "grid/ui/GridEditors.h"
#include "grid/ui/GridHeadings.h"

namespace {

wxRect ToWx(const GridRect& r) { return wxRect(r.left, r.top, std::max(r.Width(), 0), std::max(r.Height(), 0)); }

}  // namespace

CGridCtrl::CGridCtrl() { SetView(this); }

CGridCtrl::~CGridCtrl() {
  SetView(nullptr);
  if (m_findDialog) m_findDialog->Destroy();
  if (m_hint) m_hint->Destroy();
  if (m_calendar) m_calendar->Destroy();
}

bool CGridCtrl::CreateAndAttach(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size) {
  if (!wxWindow::Create(parent, id, pos, size, wxCLIP_CHILDREN | wxTAB_TRAVERSAL | wxBORDER_NONE)) return false;
  return Attach(parent) == 1;
}

int CGridCtrl::AttachToDialogControl(int itemId, wxWindow* dialog) {
  wxWindow* placeholder = dialog ? dialog->FindWindow(itemId) : nullptr;
  if (!placeholder || placeholder == this) return 0;
  wxWindow* parent = placeholder->GetParent();
  if (!wxWindow::Create(parent, itemId, placeholder->GetPosition(), placeholder->GetSize(),
                        wxCLIP_CHILDREN | wxTAB_TRAVERSAL | wxBORDER_NONE)) {
    return 0;
  }
  MoveAfterInTabOrder(placeholder);
  if (wxSizer* sizer = placeholder->GetContainingSizer()) sizer->Replace(placeholder, this, true);
  SetMinSize(placeholder->GetMinSize());
  placeholder->Destroy();
  return Attach(dialog);
}

int CGridCtrl::Attach(wxWindow* dialog) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_SIZE, &CGridCtrl::OnSize, this);
  Bind(wxEVT_PAINT, &CGridCtrl::OnPaint, this);
  Bind(wxEVT_SYS_COLOUR_CHANGED, &CGridCtrl::OnSysColour, this);
  Bind(wxEVT_HELP, &CGridCtrl::OnHelp, this);
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent&) { SetFocusToCellArea(); });
  CreateChildWindows();
  // A dialog laid out right to left gets a grid laid out right to left.
  if (dialog && dialog->GetLayoutDirection() == wxLayout_RightToLeft) {
    if (GetLayoutDirection() == wxLayout_RightToLeft) SetLayoutDirection(wxLayout_LeftToRight);
    ToggleRightToLeftLayout();
  }
  // The scroll bars take the toolkit's sizes.
  Sheet().vScrollWidth = std::max(wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this), 8);
  Sheet().hScrollHeight = std::max(wxSystemSettings::GetMetric(wxSYS_HSCROLL_Y, this), 8);
  GridFontRecord record;
  const wxFont font = dialog ? dialog->GetFont() : wxWindow::GetFont();
  record.height = -std::max(font.GetPixelSize().y, 1);
  record.weight = font.GetNumericWeight();
  record.italic = font.GetStyle() == wxFONTSTYLE_ITALIC ? 1 : 0;
  record.face = font.GetFaceName().Left(31);
  CGridCore::Attach(&record);
  m_laidOut = true;
  LayoutComponents();
  return 1;
}

void CGridCtrl::CreateChildWindows() {
  m_cellArea = new CGridCellArea(this);
  m_top = new CGridHeading(this, kSectionTopHeading);
  m_side = new CGridHeading(this, kSectionSideHeading);
  m_corner = new CGridCornerButton(this);
  m_hScroll = new CGridScrollBar(this, false);
  m_vScroll = new CGridScrollBar(this, true);
  m_tabs = new CGridTab(this);
  m_hint = new CGridHint(this);
  m_edit = m_lineEdit = new CGridEdit(this, false);
  m_multiEdit = new CGridEdit(this, true);
  m_list = new CGridListBox(this);
  m_calendar = new CGridCalendarPopup(this);
  m_cellArea->SetDropTarget(new CGridDropTarget(this));
}

void CGridCtrl::LayoutComponents() {
  const wxSize size = GetClientSize();
  CGridCore::LayoutComponents(size.x, size.y);
}

int CGridCtrl::ToggleRightToLeftLayout() {
  const bool was = GetLayoutDirection() == wxLayout_RightToLeft;
  const wxLayoutDirection dir = was ? wxLayout_LeftToRight : wxLayout_RightToLeft;
  SetLayoutDirection(dir);
  for (wxWindow* child : GetChildren()) child->SetLayoutDirection(dir);
  Refresh();
  return was ? 1 : 0;
}

int CGridCtrl::SetDoubleBuffer(int mode) {
  m_doubleBuffer = 0;
  if (mode != 1) return 0;
  if (m_cellArea && !m_cellArea->MakeBuffer()) return 1;
  m_doubleBuffer = 1;
  return 0;
}

int CGridCtrl::SetDefaultCellFont(const wxString& face, int height, int weight) {
  GridFontRecord record;
  record.height = height;
  record.weight = weight;
  record.face = face;
  const int font = AddFont(record);
  Sheet().gridDefaultCell.SetFont(font);
  Sheet().defaultFont = font;
  return font;
}

void CGridCtrl::OnSize(wxSizeEvent& e) {
  if (m_laidOut) LayoutComponents();
  Refresh();
  e.Skip();
}

void CGridCtrl::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  if (!Sheet().paintEnabled) return;
  dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
  dc.Clear();
}

void CGridCtrl::OnSysColour(wxSysColourChangedEvent& e) {
  InvalidateAll();
  e.Skip();
}

void CGridCtrl::SetFocus() { SetFocusToCellArea(); }

bool CGridCtrl::SetFocusToCellArea() {
  if (!m_cellArea) return false;
  if (IsEditing() && m_edit && m_edit->IsShown()) {
    m_edit->SetFocus();
  } else {
    m_cellArea->SetFocus();
  }
  return true;
}

wxColour CGridCtrl::Colour(GridColour c) {
  if (c & kSysColourFlag) {
    wxSystemColour sys = wxSYS_COLOUR_WINDOW;
    switch (static_cast<int>(c & 0xFF)) {
      case kColWindowText: sys = wxSYS_COLOUR_WINDOWTEXT; break;
      case kColHighlight: sys = wxSYS_COLOUR_HIGHLIGHT; break;
      case kColHighlightText: sys = wxSYS_COLOUR_HIGHLIGHTTEXT; break;
      case kColBtnFace: sys = wxSYS_COLOUR_BTNFACE; break;
      case kColBtnShadow: sys = wxSYS_COLOUR_BTNSHADOW; break;
      case kColGrayText: sys = wxSYS_COLOUR_GRAYTEXT; break;
      case kColBtnHighlight: sys = wxSYS_COLOUR_BTNHIGHLIGHT; break;
      case 24: sys = wxSYS_COLOUR_INFOBK; break;
      default: break;
    }
    return wxSystemSettings::GetColour(sys);
  }
  return wxColour(static_cast<unsigned char>(c & 0xFF), static_cast<unsigned char>((c >> 8) & 0xFF),
                  static_cast<unsigned char>((c >> 16) & 0xFF));
}

wxFont CGridCtrl::FontFromRecord(const GridFontRecord& r) {
  const int h = std::max(std::abs(r.height), 6);
  wxFontInfo info(wxSize(0, h));
  info.FaceName(r.face).Italic(r.italic != 0).Underlined(r.underline != 0).Strikethrough(r.strikeOut != 0);
  wxFont f(info);
  f.SetNumericWeight(std::clamp(r.weight, 1, 1000));
  return f;
}

wxFont CGridCtrl::FontOf(int index) {
  const GridFontRecord* r = CGridCore::GetFont(index);
  if (!r) return GetParent() ? GetParent()->GetFont() : wxWindow::GetFont();
  if (static_cast<size_t>(index) >= m_fonts.size()) m_fonts.resize(static_cast<size_t>(index) + 1);
  wxFont& f = m_fonts[static_cast<size_t>(index)];
  if (!f.IsOk()) f = FontFromRecord(*r);
  return f;
}

int CGridCtrl::ButtonWidth() const {
  const int w = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, m_cellArea ? static_cast<const wxWindow*>(m_cellArea) : this);
  return w > 0 ? w : 16;
}

wxBitmap CGridCtrl::ImageBitmap(const std::shared_ptr<const GridImage>& image, int width, int height) {
  if (!image || width <= 0 || height <= 0 || image->width <= 0 || image->height <= 0 ||
      image->rgb.size() < static_cast<size_t>(image->width) * static_cast<size_t>(image->height) * 3) {
    return wxBitmap();
  }
  for (auto it = m_images.begin(); it != m_images.end();) {
    const auto held = it->image.lock();
    if (!held) {
      it = m_images.erase(it);
      continue;
    }
    if (held == image && it->width == width && it->height == height) return it->bitmap;
    ++it;
  }
  wxImage picture(image->width, image->height, const_cast<unsigned char*>(image->rgb.data()), true);
  wxImage sized = width == image->width && height == image->height ? picture.Copy()
                                                                   : picture.Scale(width, height, wxIMAGE_QUALITY_NORMAL);
  m_images.push_back(CachedImage{image, width, height, wxBitmap(sized)});
  return m_images.back().bitmap;
}

int CGridCtrl::EditorSelectionStart() const {
  if (!m_edit || !m_edit->Active()) return 0;
  long from = 0, to = 0;
  m_edit->GetSelection(&from, &to);
  return static_cast<int>(from);
}

void CGridCtrl::EndEditFromOutside() {
  if (!IsEditing() || !m_edit) return;
  const int r = FinishEdit(Sheet().cancelOnFocusLoss != 0, m_edit->GetValue(), false, -1, -1);
  if (r == 0 && m_edit->Active()) CallAfter([this] { if (m_edit->Active()) m_edit->SetFocus(); });
}

// ---------------------------------------------------------------- view

void CGridCtrl::InvalidateCells(int left, int top, int right, int bottom) {
  if (!m_cellArea || !Sheet().paintEnabled) return;
  const CGridSheetInfo& s = Sheet();
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, s.columns - 1);
  bottom = std::min(bottom, s.rows - 1);
  if (right < left || bottom < top) return;
  // Only the visible part needs painting; far ranges become the whole area.
  if (bottom - top > 2000 || right - left > 2000) {
    m_cellArea->Refresh(false);
    return;
  }
  GridRect r;
  if (BlockRectangle(left, top, right, bottom, r) != 0) return;
  wxRect w = ToWx(r).Inflate(1, 1);
  w.Intersect(wxRect(m_cellArea->GetClientSize()));
  if (!w.IsEmpty()) m_cellArea->RefreshRect(w, false);
  if (m_top && (left < s.columns)) m_top->Refresh(false);
}

void CGridCtrl::InvalidateSection(int section) {
  switch (section) {
    case kSectionCells: if (m_cellArea) m_cellArea->Refresh(false); break;
    case kSectionTopHeading: if (m_top) m_top->Refresh(false); break;
    case kSectionSideHeading: if (m_side) m_side->Refresh(false); break;
    case kSectionCorner: if (m_corner) m_corner->Refresh(false); break;
    case kSectionTabs: if (m_tabs) m_tabs->Refresh(false); break;
    default: break;
  }
}

void CGridCtrl::InvalidateAll() {
  for (int s = kSectionCells; s <= kSectionTabs; ++s) InvalidateSection(s);
  UpdateScrollBars();
}

void CGridCtrl::UpdateScrollBars() {
  if (m_hScroll) m_hScroll->UpdateBar();
  if (m_vScroll) m_vScroll->UpdateBar();
}

void CGridCtrl::ApplyLayout(const GridRect (&rects)[7]) {
  wxWindow* windows[7] = {m_cellArea, m_top, m_side, m_corner, m_hScroll, m_vScroll, m_tabs};
  for (int i = 0; i < 7; ++i) {
    if (!windows[i]) continue;
    const wxRect r = ToWx(rects[i]);
    windows[i]->Show(!r.IsEmpty());
    if (!r.IsEmpty()) windows[i]->SetSize(r);
  }
  if (m_hScroll) m_hScroll->Forget();
  if (m_vScroll) m_vScroll->Forget();
  UpdateScrollBars();
  InvalidateAll();
}

void CGridCtrl::ShowEditor(CGridEditor* editor, const GridRect& rect, const wxString& text, int font) {
  if (!m_lineEdit) return;
  const CGridCell& cell = EditCell();
  // Word-wrapped cells are edited in the multi-line editor.
  const int style = cell.IsSet(gridcell::kCellTypeStyle) ? cell.GetCellTypeStyle() : 0;
  m_edit = editor == &PlainEditor() && style != -1 && (style & 2) ? m_multiEdit : m_lineEdit;
  const bool readOnly = cell.IsSet(gridcell::kReadOnly) && cell.GetReadOnly() != 0;
  m_edit->Begin(ToWx(rect), text, FontOf(font), readOnly);
}

void CGridCtrl::HideEditor(CGridEditor*) {
  if (m_edit) m_edit->End();
  if (m_cellArea) m_cellArea->SetFocus();
}

void CGridCtrl::InjectFirstChar(CGridEditor*, int ch) {
  if (!m_edit || ch < 32) return;
  m_edit->SetSelection(-1, -1);
  m_edit->TypeChar(ch);
}

bool CGridCtrl::RunPopupMenu(GridPoint point, int& command) {
  if (PopupMenuItems().empty() || !m_cellArea) return false;
  wxMenu menu;
  for (const PopupItem& item : PopupMenuItems()) {
    if (item.id == 0) menu.AppendSeparator();
    else menu.Append(item.id, item.text);
  }
  const int chosen = m_cellArea->GetPopupMenuSelectionFromUser(menu, wxPoint(point.x, point.y));
  command = chosen == wxID_NONE ? 0 : chosen;
  return true;
}

bool CGridCtrl::StartKeyDelay(int milliseconds) {
  if (!m_cellArea) return false;
  m_cellArea->StartKeyDelay(milliseconds);
  return true;
}

void CGridCtrl::StopKeyDelay() {
  if (m_cellArea) m_cellArea->StopKeyDelay();
}

void CGridCtrl::FocusCellArea() {
  if (m_cellArea) m_cellArea->SetFocus();
}

bool CGridCtrl::CellAreaHasFocus() const {
  const wxWindow* focus = wxWindow::FindFocus();
  return !focus || focus == m_cellArea || focus == m_lineEdit || focus == m_multiEdit || focus == this;
}

GridPoint CGridCtrl::MeasureText(const wxString& text, int font) {
  wxBitmap bmp(1, 1);
  wxMemoryDC dc(bmp);
  dc.SetFont(FontOf(font < 0 ? Sheet().defaultFont : font));
  wxCoord w = 0, h = 0;
  dc.GetTextExtent(text.empty() ? wxString(wxS(" ")) : text, &w, &h);
  if (text.empty()) w = 0;
  return GridPoint{w, h};
}

void CGridCtrl::OpenFindDialog(bool replace) {
  if (m_findDialog) {
    m_findDialog->Raise();
    return;
  }
  if (!m_findData) m_findData = std::make_unique<wxFindReplaceData>(wxFR_DOWN);
  m_findDialog = new wxFindReplaceDialog(this, m_findData.get(), replace ? wxS("Replace") : wxS("Find"),
                                         replace ? static_cast<int>(wxFR_REPLACEDIALOG) : 0);
  const auto run = [this](wxFindDialogEvent& e, FindAction action) {
    // The toolkit's flags are the grid's: down 1, whole word 2, match case 4.
    const int flags = e.GetFlags() & (wxFR_DOWN | wxFR_WHOLEWORD | wxFR_MATCHCASE);
    if (OnFindDialog(action, e.GetFindString(), e.GetReplaceString(), flags) != 0 && m_findDialog)
      m_findDialog->SetFocus();
  };
  m_findDialog->Bind(wxEVT_FIND, [run](wxFindDialogEvent& e) { run(e, kFindNext); });
  m_findDialog->Bind(wxEVT_FIND_NEXT, [run](wxFindDialogEvent& e) { run(e, kFindNext); });
  m_findDialog->Bind(wxEVT_FIND_REPLACE, [run](wxFindDialogEvent& e) { run(e, kFindReplace); });
  m_findDialog->Bind(wxEVT_FIND_REPLACE_ALL, [run](wxFindDialogEvent& e) { run(e, kFindReplaceAll); });
  m_findDialog->Bind(wxEVT_FIND_CLOSE, [this](wxFindDialogEvent&) {
    if (!m_findDialog) return;
    m_findDialog->Destroy();
    m_findDialog = nullptr;
    SetFocusToCellArea();
  });
  m_findDialog->Show();
  PlaceFindDialog();
}

bool CGridCtrl::FindDialogRect(GridRect& rect) {
  if (!m_findDialog || !m_findDialog->IsShown() || !m_cellArea) return false;
  const wxRect r = m_findDialog->GetScreenRect();
  const wxPoint p = m_cellArea->ScreenToClient(r.GetPosition());
  rect = GridRect{p.x, p.y, p.x + r.width, p.y + r.height};
  return true;
}

void CGridCtrl::MoveFindDialog(const GridRect& rect) {
  if (!m_findDialog || !m_cellArea) return;
  m_findDialog->Move(m_cellArea->ClientToScreen(wxPoint(rect.left, rect.top)));
}

void CGridCtrl::OpenDropList(const GridRect& rect, const std::vector<wxString>& choices, int font) {
  if (!m_list) return;
  if (m_cellArea && m_cellArea->HasCapture()) m_cellArea->ReleaseMouse();
  m_list->Open(ToWx(rect), choices, FontOf(font < 0 ? Sheet().defaultFont : font));
}

void CGridCtrl::CloseDropList() {
  if (m_list) m_list->Close();
}

void CGridCtrl::OpenCalendar(int column, int row, const GridRect& cellRect, const CGridCalendarSettings& settings,
                             double date, bool dateValid) {
  if (!m_calendar || !m_cellArea) return;
  if (m_cellArea->HasCapture()) m_cellArea->ReleaseMouse();
  const wxPoint origin = m_cellArea->ClientToScreen(wxPoint(cellRect.left + 1, cellRect.bottom));
  // A host that filled in a font gets it; the calendar's own font otherwise.
  const GridFontRecord none;
  const wxFont font = settings.font == none ? wxFont() : FontFromRecord(settings.font);
  m_calendar->Open(column, row, wxRect(origin, wxSize(1, 1)), date, dateValid, settings, font);
}
