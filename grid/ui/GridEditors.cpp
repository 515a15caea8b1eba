#include "grid/ui/GridEditors.h"

#include <algorithm>
#include <wx/dcclient.h>
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include "grid/GridCellTypes.h"
#include "grid/TavDateTime.h"
#include "grid/ui/GridCellArea.h"
#include "grid/ui/GridCtrl.h"
#include "grid/ui/GridMonthCalendar.h"

namespace {

int Modifiers(const wxKeyEvent& e) { return (e.ShiftDown() ? kMkShift : 0) | (e.ControlDown() ? kMkControl : 0); }

}  // namespace

// ---------------------------------------------------------------- text editor

CGridEdit::CGridEdit(CGridCtrl* grid, bool multiLine)
    : wxTextCtrl(grid->CellArea(), wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                 wxTE_PROCESS_TAB | wxTE_PROCESS_ENTER | wxWANTS_CHARS | wxBORDER_SIMPLE |
                     (multiLine ? wxTE_MULTILINE | wxTE_NO_VSCROLL | wxTE_WORDWRAP : 0)),
      m_grid(grid),
      m_multiLine(multiLine) {
  Hide();
  Bind(wxEVT_CHAR_HOOK, &CGridEdit::OnCharHook, this);
  Bind(wxEVT_CHAR, &CGridEdit::OnChar, this);
  Bind(wxEVT_KILL_FOCUS, &CGridEdit::OnKillFocus, this);
  Bind(wxEVT_TEXT_PASTE, &CGridEdit::OnPaste, this);
  Bind(wxEVT_TEXT, &CGridEdit::OnText, this);
  // Enter belongs to the editor, not to the dialog's default button.
  Bind(wxEVT_TEXT_ENTER, [](wxCommandEvent&) {});
}

void CGridEdit::Begin(const wxRect& rect, const wxString& text, const wxFont& font, bool readOnly) {
  m_active = true;
  SetFont(font);
  SetSize(rect.x, rect.y, std::max(rect.width, 20), std::max(rect.height, GetBestSize().y));
  m_ownChange = true;
  ChangeValue(text);
  m_ownChange = false;
  m_lastChecked = text;
  SetEditable(!readOnly);
  Show();
  SetFocus();
  SelectAll();
}

void CGridEdit::End() {
  m_active = false;
  SetEditable(true);
  Hide();
}

bool CGridEdit::TypeChar(int ch) {
  if (!m_active) return false;
  wxString text = GetValue();
  long from = 0, to = 0;
  GetSelection(&from, &to);
  int caret = static_cast<int>(GetInsertionPoint());
  if (!m_grid->EditorTypeChar(text, caret, static_cast<int>(from), static_cast<int>(to), ch)) return false;
  if (ch == '\n' && m_multiLine) {
    // A line feed of its own: the grid's checks passed it as a control character.
    text = text.Left(static_cast<size_t>(from)) + wxS("\n") + text.Mid(static_cast<size_t>(to));
    caret = static_cast<int>(from) + 1;
  } else if (ch < 32 || ch == 127) {
    return true;
  }
  m_ownChange = true;
  ChangeValue(text);
  SetInsertionPoint(caret);
  m_ownChange = false;
  m_lastChecked = text;
  Grow();
  return true;
}

// Ending and moving keys; inside a dialog they must not close it or press its default button.
void CGridEdit::OnCharHook(wxKeyEvent& e) {
  if (!m_active) {
    e.Skip();
    return;
  }
  int key = e.GetKeyCode();
  if (key == WXK_NUMPAD_ENTER) key = WXK_RETURN;
  long from = 0, to = 0;
  GetSelection(&from, &to);
  const int r = m_grid->EditorKeyDown(key, Modifiers(e), GetValue(), static_cast<int>(GetInsertionPoint()),
                                      static_cast<int>(from), static_cast<int>(to));
  // Keys the editor keeps go their usual way (the dialog ignores all but Escape).
  if (r == 0) e.Skip();
}

void CGridEdit::OnChar(wxKeyEvent& e) {
  const int ch = static_cast<int>(e.GetUnicodeKey());
  if (ch == WXK_NONE || ch == WXK_BACK || (ch < 32 && ch != WXK_TAB && ch != WXK_RETURN && ch != WXK_ESCAPE)) {
    e.Skip();
    return;
  }
  // Ctrl+Enter in a word-wrapped cell is a line feed; Tab, Enter and Escape are swallowed.
  if (ch == WXK_RETURN && e.ControlDown() && m_multiLine) {
    TypeChar('\n');
    return;
  }
  if (ch == WXK_TAB || ch == WXK_RETURN || ch == WXK_ESCAPE) return;
  TypeChar(ch);
}

void CGridEdit::OnPaste(wxClipboardTextEvent&) {
  wxString pasted;
  if (wxTheClipboard->Open()) {
    wxTextDataObject data;
    if (wxTheClipboard->GetData(data)) pasted = data.GetText();
    wxTheClipboard->Close();
  }
  long from = 0, to = 0;
  GetSelection(&from, &to);
  wxString text = GetValue();
  text.Remove(static_cast<size_t>(from), static_cast<size_t>(to - from));
  const wxString result = m_grid->EditorPaste(text, static_cast<int>(from), pasted);
  m_ownChange = true;
  ChangeValue(result);
  SetInsertionPointEnd();
  m_ownChange = false;
  m_lastChecked = result;
  Grow();
}

// A change that came neither from typing nor from a paste event (the middle-button
// paste of X) is checked again as a whole.
void CGridEdit::Grow() {
  if (!m_active) return;
  const wxRect now = GetRect();
  wxCoord w = 0, h = 0;
  if (m_multiLine) {
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    dc.GetMultiLineTextExtent(GetValue() + wxS("W"), &w, &h);
    h += 4;
  } else {
    GetTextExtent(GetValue() + wxS("W"), &w, &h);
  }
  const GridRect r = m_grid->EditorGrowth(GridRect{now.x, now.y, now.GetRight() + 1, now.GetBottom() + 1},
                                          GridPoint{w, h});
  const wxRect grown(r.left, r.top, r.Width(), r.Height());
  if (grown != now) SetSize(grown);
}

void CGridEdit::OnText(wxCommandEvent& e) {
  Grow();
  if (m_ownChange || !m_active) return;
  const wxString value = GetValue();
  if (value.length() > m_lastChecked.length() + 1) {
    const wxString checked = m_grid->EditorPaste(wxString(), 0, value);
    if (checked != value) {
      m_ownChange = true;
      ChangeValue(checked);
      SetInsertionPointEnd();
      m_ownChange = false;
    }
    m_lastChecked = checked;
  } else {
    m_lastChecked = value;
  }
  e.Skip();
}

void CGridEdit::OnKillFocus(wxFocusEvent& e) {
  e.Skip();
  if (!m_active) return;
  wxWindow* next = e.GetWindow();
  CallAfter([this, next] {
    if (!m_active || wxWindow::FindFocus() == this || !m_grid->IsEditing()) return;
    bool cancel = false;
    if (m_grid->Sheet().cancelOnFocusLoss) {
      bool inside = false;
      for (wxWindow* w = wxWindow::FindFocus(); w; w = w->GetParent()) inside = inside || w == m_grid;
      cancel = !inside;
    }
    (void)next;
    if (m_grid->FinishEdit(cancel, GetValue(), false, -1, -1) == 0 && m_active) SetFocus();
  });
}

// ---------------------------------------------------------------- drop list

CGridListBox::CGridListBox(CGridCtrl* grid)
    : wxVListBox(grid->CellArea(), 123, wxDefaultPosition, wxDefaultSize, wxBORDER_SIMPLE | wxWANTS_CHARS),
      m_grid(grid) {
  Hide();
  Bind(wxEVT_LEFT_UP, &CGridListBox::OnLeftUp, this);
  Bind(wxEVT_CHAR_HOOK, &CGridListBox::OnCharHook, this);
  Bind(wxEVT_KILL_FOCUS, &CGridListBox::OnKillFocus, this);
}

void CGridListBox::Open(const wxRect& rect, const std::vector<wxString>& choices, const wxFont& font) {
  m_choices = choices;
  SetFont(font);
  wxBitmap bmp(1, 1);
  wxMemoryDC dc(bmp);
  dc.SetFont(font);
  m_itemHeight = std::max(dc.GetTextExtent(wxS("X")).y, 1);
  SetItemCount(m_choices.size());
  SetSelection(m_choices.empty() ? -1 : 0);
  SetSize(rect);
  RefreshAll();
  Show();
  Raise();
  SetFocus();
}

void CGridListBox::Close() {
  if (!IsShown()) return;
  m_closing = true;
  Hide();
  m_closing = false;
}

wxCoord CGridListBox::OnMeasureItem(size_t) const { return m_itemHeight; }

void CGridListBox::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const {
  if (n >= m_choices.size()) return;
  dc.SetFont(GetFont());
  dc.SetTextForeground(wxSystemSettings::GetColour(IsSelected(n) ? wxSYS_COLOUR_HIGHLIGHTTEXT : wxSYS_COLOUR_WINDOWTEXT));
  dc.DrawText(m_choices[n], rect.x + 2, rect.y);
}

void CGridListBox::TakeChoice() {
  const CGridSheetInfo& s = m_grid->Sheet();
  auto* type = dynamic_cast<CGridDropListType*>(&m_grid->CellTypeAt(s.currentColumn, s.currentRow));
  const int index = GetSelection();
  m_closing = true;
  Hide();
  m_closing = false;
  if (!type) return;
  if (index >= 0 && index < static_cast<int>(m_choices.size())) {
    type->ChooseEntry(index, m_choices[static_cast<size_t>(index)]);
  } else {
    type->CloseList(false);
  }
}

void CGridListBox::OnLeftUp(wxMouseEvent& e) {
  const int item = VirtualHitTest(e.GetY());
  if (item == wxNOT_FOUND) return;
  SetSelection(item);
  TakeChoice();
}

void CGridListBox::OnCharHook(wxKeyEvent& e) {
  const int key = e.GetKeyCode();
  if (key == WXK_ESCAPE) {
    const CGridSheetInfo& s = m_grid->Sheet();
    m_closing = true;
    Hide();
    m_closing = false;
    if (auto* type = dynamic_cast<CGridDropListType*>(&m_grid->CellTypeAt(s.currentColumn, s.currentRow))) {
      type->CloseList(false);
    }
    return;
  }
  if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
    TakeChoice();
    return;
  }
  e.Skip();
}

// Without a mouse capture the list closes when it loses the focus: no choice.
void CGridListBox::OnKillFocus(wxFocusEvent& e) {
  e.Skip();
  if (m_closing || !IsShown()) return;
  CallAfter([this] {
    if (!IsShown() || wxWindow::FindFocus() == this) return;
    wxWindow* focus = wxWindow::FindFocus();
    m_closing = true;
    Hide();
    m_closing = false;
    const CGridSheetInfo& s = m_grid->Sheet();
    if (auto* type = dynamic_cast<CGridDropListType*>(&m_grid->CellTypeAt(s.currentColumn, s.currentRow))) {
      type->CloseList(false);
    }
    // The focus stays where the user put it.
    if (focus && focus != m_grid->CellArea()) focus->SetFocus();
  });
}

// ---------------------------------------------------------------- calendar

CGridCalendarPopup::CGridCalendarPopup(CGridCtrl* grid) : wxPopupTransientWindow(grid, wxBORDER_SIMPLE), m_grid(grid) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  m_cal = new CGridMonthCalendar(this);
  sizer->Add(m_cal, 0, wxALL, 1);
  SetSizerAndFit(sizer);
  m_cal->Bind(EVT_GRID_DATE_CHOSEN, [this](wxDateEvent& e) { Accept(e.GetDate()); });
  Bind(wxEVT_CHAR_HOOK, &CGridCalendarPopup::OnCharHook, this);
}

void CGridCalendarPopup::Open(int column, int row, const wxRect& screenRect, double date, bool valid,
                              const CGridCalendarSettings& settings, const wxFont& font) {
  m_column = column;
  m_row = row;
  m_accepted = false;
  CGridMonthCalendar::Settings shown;
  shown.styleBits = settings.styleBits;
  shown.firstDayOfWeek = settings.firstDayOfWeek;
  shown.monthDelta = settings.monthDelta;
  shown.monthsAcross = settings.monthsAcross;
  shown.monthsDown = settings.monthsDown;
  for (int i = 0; i < 6; ++i) shown.colours[i] = CGridCtrl::Colour(settings.colours[i]);
  m_cal->Apply(shown, font);
  wxDateTime day = wxDateTime::Today();
  int y, mo, d, h, mi, s;
  if (valid && CTavDateTime::FromDate(date).GetParts(y, mo, d, h, mi, s)) {
    day = wxDateTime(static_cast<wxDateTime::wxDateTime_t>(d), static_cast<wxDateTime::Month>(mo - 1), y);
  }
  // A new calendar each time: today's month first, the cell's date selected.
  m_cal->ShowFirst(wxDateTime::Today());
  m_cal->SetDate(day);
  GetSizer()->SetSizeHints(this);
  Layout();
  const wxSize size = GetSize();
  const int display = wxDisplay::GetFromPoint(screenRect.GetTopLeft());
  const wxRect work = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
  const GridRect fitted = CGridDateTimePickerType::FitRectToScreen(
      GridRect{screenRect.x, screenRect.y, screenRect.x + size.x, screenRect.y + size.y},
      GridRect{work.x, work.y, work.GetRight() + 1, work.GetBottom() + 1});
  SetPosition(wxPoint(fitted.left, fitted.top));
  Popup(m_cal);
}

void CGridCalendarPopup::Accept(const wxDateTime& date) {
  if (m_accepted || !IsShown()) return;
  m_accepted = true;
  const double serial = CTavDateTime(date.GetYear(), static_cast<int>(date.GetMonth()) + 1, date.GetDay(), 0, 0, 0).GetDate();
  const int column = m_column, row = m_row;
  Dismiss();
  if (auto* type = dynamic_cast<CGridDateTimePickerType*>(&m_grid->CellTypeAt(column, row))) {
    type->AcceptDate(column, row, serial);
  }
  m_grid->SetFocusToCellArea();
}

void CGridCalendarPopup::OnDismiss() {
  if (m_accepted) return;
  // Dismissed without a choice: the cell stays as it was.
  if (auto* type = dynamic_cast<CGridDateTimePickerType*>(&m_grid->CellTypeAt(m_column, m_row))) type->CloseList(false);
}

void CGridCalendarPopup::OnCharHook(wxKeyEvent& e) {
  if (e.GetKeyCode() == WXK_ESCAPE) {
    Dismiss();
    OnDismiss();
    m_grid->SetFocusToCellArea();
    return;
  }
  if (e.GetKeyCode() == WXK_RETURN || e.GetKeyCode() == WXK_NUMPAD_ENTER) {
    Accept(m_cal->GetDate());
    return;
  }
  e.Skip();
}
