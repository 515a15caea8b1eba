#pragma once
// The month calendar of the date-time picker: months across and down, a title band with
// the arrows that step by the month delta, the days of the neighbouring months before
// the first and after the last month in the trailing colour, today framed and the
// today line below. Drawn here because the toolkit's calendar shows one month only.
#include <wx/dateevt.h>
#include <wx/datetime.h>
#include <wx/event.h>
#include <wx/window.h>

class wxDC;

// Sent when a date is chosen (a click on a day or the today line, or Enter).
wxDECLARE_EVENT(EVT_GRID_DATE_CHOSEN, wxDateEvent);

class CGridMonthCalendar : public wxWindow {
 public:
  // Colours in the order of the host's calendar settings.
  enum ColourIndex { kBackground, kText, kMonthBackground, kTitleText, kTitleBackground, kTrailingText };
  // Style bits of the host's settings.
  enum Style { kWeekNumbers = 0x4, kNoTodayCircle = 0x8, kNoToday = 0x10 };
  struct Settings {
    int styleBits = 0;
    int firstDayOfWeek = 0;  // 0 Monday ... 6 Sunday
    int monthDelta = 1;      // 0 or less: the months shown
    int monthsAcross = 1, monthsDown = 1;
    wxColour colours[6];
  };
  // What a point shows.
  enum Hit { kNowhere, kPrevious, kNext, kTitle, kDate, kDatePrevious, kDateNext, kToday };

  explicit CGridMonthCalendar(wxWindow* parent);
  // Takes the settings (more than 12 months, or none, show one) and the font, and sizes
  // the window to fit them.
  void Apply(const Settings& settings, const wxFont& font);
  const Settings& GetSettings() const { return m_settings; }
  // The selected date; its month is shown first unless it is shown already.
  void SetDate(const wxDateTime& date);
  wxDateTime GetDate() const { return m_selected; }
  // The first day of the first month shown.
  wxDateTime FirstMonth() const { return m_first; }
  // Shows the month of `date` first.
  void ShowFirst(const wxDateTime& date);
  // Scrolls the months shown by `months` (negative: back).
  void Step(int months);
  // What the point (client coordinates) shows; `date` is the day for the date hits.
  Hit HitTest(const wxPoint& p, wxDateTime& date) const;
  // Where a date is drawn (in its own month, or as a trailing day); empty when not shown.
  wxRect DateRect(const wxDateTime& date) const;
  wxRect TodayRect() const { return m_todayRect; }
  wxRect PreviousRect() const;
  wxRect NextRect() const;
  // The size all months and the today line need.
  wxSize NeededSize() const;
  // Draws the whole calendar (what painting shows).
  void Draw(wxDC& dc);

 protected:
  wxSize DoGetBestClientSize() const override { return NeededSize(); }

 private:
  struct Metrics {
    int cellWidth = 0, cellHeight = 0, weekWidth = 0, titleHeight = 0, namesHeight = 0;
    int monthWidth = 0, monthHeight = 0, todayHeight = 0;
  };
  int MonthsShown() const { return m_settings.monthsAcross * m_settings.monthsDown; }
  int Delta() const { return m_settings.monthDelta > 0 ? m_settings.monthDelta : MonthsShown(); }
  wxRect MonthRect(int index) const;
  // The first day of the 6-week block of the month at `index`.
  wxDateTime BlockStart(int index) const;
  wxDateTime MonthStart(int index) const;
  // 0 = the first day of the week.
  int DayColumn(const wxDateTime& date) const;
  // Whether the day of a block is drawn: its own month's days always, the neighbours'
  // only before the first and after the last month.
  bool DayShown(int index, const wxDateTime& day) const;
  void Choose(const wxDateTime& date);
  void MoveSelection(const wxDateTime& date);
  void OnPaint(wxPaintEvent& e);
  void OnLeftDown(wxMouseEvent& e);
  void OnLeftUp(wxMouseEvent& e);
  void OnKeyDown(wxKeyEvent& e);

  Settings m_settings;
  Metrics m_metrics;
  wxDateTime m_first;     // first day of the first month shown
  wxDateTime m_selected;
  wxRect m_todayRect;
  bool m_pressed = false;  // a press began on a day or the today line
};
