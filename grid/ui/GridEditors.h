#pragma once
// The windows of the in-cell editing: the text editor laid over a cell, the drop list
// below a drop-list cell (one window, shown and hidden, no mouse capture) and the
// calendar popup of the date-time picker.
#include <vector>
#include <wx/popupwin.h>
#include <wx/textctrl.h>
#include <wx/vlbox.h>

class CGridCtrl;
class CGridMonthCalendar;
struct CGridCalendarSettings;
class wxDateTime;

class CGridEdit : public wxTextCtrl {
 public:
  // `multiLine`: the editor of word-wrapped cells, where Ctrl+Enter types a line feed.
  CGridEdit(CGridCtrl* grid, bool multiLine);
  bool IsMultiLineEditor() const { return m_multiLine; }
  // Puts the editor over a cell with its text, all selected, and gives it the focus.
  void Begin(const wxRect& rect, const wxString& text, const wxFont& font, bool readOnly);
  void End();
  bool Active() const { return m_active; }
  // Types a character through the grid's checks, as the keyboard would.
  bool TypeChar(int ch);

 private:
  void OnCharHook(wxKeyEvent& e);
  void OnChar(wxKeyEvent& e);
  void OnKillFocus(wxFocusEvent& e);
  void OnPaste(wxClipboardTextEvent& e);
  void OnText(wxCommandEvent& e);
  // Widens the editor over the neighbouring columns its text runs into.
  void Grow();

  CGridCtrl* m_grid;
  bool m_multiLine = false;
  bool m_active = false;
  bool m_ownChange = false;
  wxString m_lastChecked;
};

class CGridListBox : public wxVListBox {
 public:
  explicit CGridListBox(CGridCtrl* grid);
  void Open(const wxRect& rect, const std::vector<wxString>& choices, const wxFont& font);
  void Close();
  const std::vector<wxString>& Choices() const { return m_choices; }
  int ItemHeight() const { return m_itemHeight; }
  // Takes the selected entry as the cell's choice.
  void TakeChoice();

 private:
  void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
  wxCoord OnMeasureItem(size_t n) const override;
  void OnLeftUp(wxMouseEvent& e);
  void OnCharHook(wxKeyEvent& e);
  void OnKillFocus(wxFocusEvent& e);

  CGridCtrl* m_grid;
  std::vector<wxString> m_choices;
  int m_itemHeight = 16;
  bool m_closing = false;
};

class CGridCalendarPopup : public wxPopupTransientWindow {
 public:
  explicit CGridCalendarPopup(CGridCtrl* grid);
  // Shows the months the settings give below `screenRect`, on the screen, in `font`
  // (the calendar's own font when it is not valid).
  void Open(int column, int row, const wxRect& screenRect, double date, bool valid,
            const CGridCalendarSettings& settings, const wxFont& font);
  // The choice of a date (also what Enter, a day click and the today line do).
  void Accept(const wxDateTime& date);
  CGridMonthCalendar* CalendarCtrl() const { return m_cal; }

 private:
  void OnDismiss() override;
  void OnCharHook(wxKeyEvent& e);

  CGridCtrl* m_grid;
  CGridMonthCalendar* m_cal = nullptr;
  int m_column = -1, m_row = -1;
  bool m_accepted = false;
};
