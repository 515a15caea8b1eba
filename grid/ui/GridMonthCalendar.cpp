#include "grid/ui/GridMonthCalendar.h"

#include <algorithm>
#include <cmath>
#include <wx/bitmap.h>
#include <wx/dateevt.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/settings.h>

#include "platform/Localization.h"

wxDEFINE_EVENT(EVT_GRID_DATE_CHOSEN, wxDateEvent);

namespace {

constexpr int kMargin = 4;    // inside a month, left and right of the days
constexpr int kMonthGap = 6;  // between months side by side
const wxColour kTodayFrame(255, 0, 0);

// Days are kept at noon so that a change of daylight saving time never shifts a date.
wxDateTime Day(int year, wxDateTime::Month month, int day) {
  return wxDateTime(static_cast<wxDateTime::wxDateTime_t>(day), month, year, 12);
}

wxDateTime Noon(const wxDateTime& date) { return Day(date.GetYear(), date.GetMonth(), date.GetDay()); }

int DaysBetween(const wxDateTime& from, const wxDateTime& to) {
  return static_cast<int>(std::lround((to - from).GetSeconds().ToDouble() / 86400.0));
}

bool SameMonth(const wxDateTime& a, const wxDateTime& b) {
  return a.GetYear() == b.GetYear() && a.GetMonth() == b.GetMonth();
}

wxString ShortDayName(int weekDay) {
  return wxDateTime::GetWeekDayName(static_cast<wxDateTime::WeekDay>(weekDay), wxDateTime::Name_Abbr).Left(2);
}

wxString TodayText() {
  const wxDateTime today = wxDateTime::Today();
  const bool english = hv::GetLanguageCode(hv::CurrentLanguageNumber()) == wxS("ENG");
  return wxString::Format(english ? wxS("Today: %02d.%02d.%04d") : wxS("Heute: %02d.%02d.%04d"), today.GetDay(), static_cast<int>(today.GetMonth()) + 1,
                          today.GetYear());
}

}  // namespace

CGridMonthCalendar::CGridMonthCalendar(wxWindow* parent)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxBORDER_NONE) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  m_settings.colours[kBackground] = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
  m_settings.colours[kText] = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
  m_settings.colours[kMonthBackground] = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
  m_settings.colours[kTitleText] = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
  m_settings.colours[kTitleBackground] = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
  m_settings.colours[kTrailingText] = wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT);
  m_selected = Noon(wxDateTime::Today());
  m_first = Day(m_selected.GetYear(), m_selected.GetMonth(), 1);
  Bind(wxEVT_PAINT, &CGridMonthCalendar::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &CGridMonthCalendar::OnLeftDown, this);
  Bind(wxEVT_LEFT_DCLICK, &CGridMonthCalendar::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &CGridMonthCalendar::OnLeftUp, this);
  Bind(wxEVT_KEY_DOWN, &CGridMonthCalendar::OnKeyDown, this);
  Apply(m_settings, wxFont());
}

void CGridMonthCalendar::Apply(const Settings& settings, const wxFont& font) {
  m_settings = settings;
  const int shown = MonthsShown();
  if (settings.monthsAcross < 1 || settings.monthsDown < 1 || shown > 12)
    m_settings.monthsAcross = m_settings.monthsDown = 1;
  SetFont(font.IsOk() ? font : wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
  wxBitmap scratch(1, 1);
  wxMemoryDC dc(scratch);
  dc.SetFont(GetFont());
  const wxSize digits = dc.GetTextExtent(wxS("00"));
  int names = digits.x;
  for (int d = 0; d < 7; ++d) names = std::max(names, dc.GetTextExtent(ShortDayName(d)).x);
  Metrics& m = m_metrics;
  m.cellWidth = names + 8;
  m.cellHeight = digits.y + 4;
  m.weekWidth = (m_settings.styleBits & kWeekNumbers) ? m.cellWidth : 0;
  m.titleHeight = digits.y + 10;
  m.namesHeight = m.cellHeight + 2;
  m.monthWidth = 2 * kMargin + m.weekWidth + 7 * m.cellWidth;
  m.monthHeight = m.titleHeight + m.namesHeight + 6 * m.cellHeight + 6;
  m.todayHeight = (m_settings.styleBits & kNoToday) ? 0 : digits.y + 8;
  const wxSize size = NeededSize();
  m_todayRect = m.todayHeight ? wxRect(0, m.monthHeight * m_settings.monthsDown, size.x, m.todayHeight) : wxRect();
  SetMinClientSize(size);
  SetClientSize(size);
  Refresh(false);
}

wxSize CGridMonthCalendar::NeededSize() const {
  const Metrics& m = m_metrics;
  return wxSize((m.monthWidth + kMonthGap) * m_settings.monthsAcross - kMonthGap,
                m.monthHeight * m_settings.monthsDown + m.todayHeight);
}

void CGridMonthCalendar::SetDate(const wxDateTime& date) {
  m_selected = Noon(date.IsValid() ? date : wxDateTime::Today());
  const wxDateTime month = Day(m_selected.GetYear(), m_selected.GetMonth(), 1);
  if (month < m_first || month > MonthStart(MonthsShown() - 1)) m_first = month;
  Refresh(false);
}

void CGridMonthCalendar::ShowFirst(const wxDateTime& date) {
  m_first = Day(date.GetYear(), date.GetMonth(), 1);
  Refresh(false);
}

void CGridMonthCalendar::Step(int months) {
  m_first = Noon(m_first + wxDateSpan::Months(months));
  Refresh(false);
}

wxDateTime CGridMonthCalendar::MonthStart(int index) const { return Noon(m_first + wxDateSpan::Months(index)); }

int CGridMonthCalendar::DayColumn(const wxDateTime& date) const {
  const int firstWeekDay = (m_settings.firstDayOfWeek + 1) % 7;  // Monday 0 -> the toolkit's 1
  return (static_cast<int>(date.GetWeekDay()) - firstWeekDay + 7) % 7;
}

wxDateTime CGridMonthCalendar::BlockStart(int index) const {
  const wxDateTime start = MonthStart(index);
  return Noon(start - wxDateSpan::Days(DayColumn(start)));
}

bool CGridMonthCalendar::DayShown(int index, const wxDateTime& day) const {
  const wxDateTime start = MonthStart(index);
  if (SameMonth(day, start)) return true;
  return day < start ? index == 0 : index == MonthsShown() - 1;
}

wxRect CGridMonthCalendar::MonthRect(int index) const {
  const int across = m_settings.monthsAcross;
  return wxRect((index % across) * (m_metrics.monthWidth + kMonthGap), (index / across) * m_metrics.monthHeight,
                m_metrics.monthWidth, m_metrics.monthHeight);
}

wxRect CGridMonthCalendar::PreviousRect() const {
  const wxRect month = MonthRect(0);
  const int side = m_metrics.titleHeight - 6;
  return wxRect(month.x + kMargin, month.y + 3, side, side);
}

wxRect CGridMonthCalendar::NextRect() const {
  const wxRect month = MonthRect(m_settings.monthsAcross - 1);
  const int side = m_metrics.titleHeight - 6;
  return wxRect(month.GetRight() - kMargin - side + 1, month.y + 3, side, side);
}

wxRect CGridMonthCalendar::DateRect(const wxDateTime& date) const {
  const wxDateTime day = Noon(date);
  const Metrics& m = m_metrics;
  for (int k = 0; k < MonthsShown(); ++k) {
    const int offset = DaysBetween(BlockStart(k), day);
    if (offset < 0 || offset >= 42 || !DayShown(k, day)) continue;
    const wxRect month = MonthRect(k);
    return wxRect(month.x + kMargin + m.weekWidth + (offset % 7) * m.cellWidth,
                  month.y + m.titleHeight + m.namesHeight + 2 + (offset / 7) * m.cellHeight, m.cellWidth,
                  m.cellHeight);
  }
  return wxRect();
}

CGridMonthCalendar::Hit CGridMonthCalendar::HitTest(const wxPoint& p, wxDateTime& date) const {
  if (m_todayRect.Contains(p)) {
    date = Noon(wxDateTime::Today());
    return kToday;
  }
  if (PreviousRect().Contains(p)) return kPrevious;
  if (NextRect().Contains(p)) return kNext;
  const Metrics& m = m_metrics;
  for (int k = 0; k < MonthsShown(); ++k) {
    const wxRect month = MonthRect(k);
    if (!month.Contains(p)) continue;
    if (p.y < month.y + m.titleHeight) return kTitle;
    const int x = p.x - (month.x + kMargin + m.weekWidth);
    const int y = p.y - (month.y + m.titleHeight + m.namesHeight + 2);
    if (x < 0 || y < 0 || x >= 7 * m.cellWidth || y >= 6 * m.cellHeight) return kNowhere;
    const wxDateTime day = Noon(BlockStart(k) + wxDateSpan::Days((y / m.cellHeight) * 7 + x / m.cellWidth));
    if (!DayShown(k, day)) return kNowhere;
    date = day;
    const wxDateTime start = MonthStart(k);
    if (SameMonth(day, start)) return kDate;
    return day < start ? kDatePrevious : kDateNext;
  }
  return kNowhere;
}

void CGridMonthCalendar::Choose(const wxDateTime& date) {
  m_selected = Noon(date);
  Refresh(false);
  wxDateEvent e(this, m_selected, EVT_GRID_DATE_CHOSEN);
  ProcessWindowEvent(e);
}

void CGridMonthCalendar::MoveSelection(const wxDateTime& date) {
  m_selected = Noon(date);
  // The view steps by the month delta until the selection is in sight.
  while (m_selected < m_first) m_first = Noon(m_first - wxDateSpan::Months(Delta()));
  while (m_selected >= MonthStart(MonthsShown())) m_first = Noon(m_first + wxDateSpan::Months(Delta()));
  Refresh(false);
}

void CGridMonthCalendar::OnLeftDown(wxMouseEvent& e) {
  if (FindFocus() != this) SetFocus();
  wxDateTime date;
  switch (HitTest(e.GetPosition(), date)) {
    case kPrevious: Step(-Delta()); break;
    case kNext: Step(Delta()); break;
    case kDate: case kDatePrevious: case kDateNext:
      // Selected where it stands; the view moves on no press so that the release meets it.
      m_selected = date;
      m_pressed = true;
      Refresh(false);
      break;
    case kToday: m_pressed = true; break;
    default: break;
  }
}

void CGridMonthCalendar::OnLeftUp(wxMouseEvent& e) {
  if (!m_pressed) return;
  m_pressed = false;
  wxDateTime date;
  switch (HitTest(e.GetPosition(), date)) {
    case kDate: case kDatePrevious: case kDateNext: case kToday: Choose(date); break;
    default: break;
  }
}

void CGridMonthCalendar::OnKeyDown(wxKeyEvent& e) {
  const wxDateTime& s = m_selected;
  switch (e.GetKeyCode()) {
    case WXK_LEFT: MoveSelection(s - wxDateSpan::Days(1)); break;
    case WXK_RIGHT: MoveSelection(s + wxDateSpan::Days(1)); break;
    case WXK_UP: MoveSelection(s - wxDateSpan::Weeks(1)); break;
    case WXK_DOWN: MoveSelection(s + wxDateSpan::Weeks(1)); break;
    case WXK_PAGEUP: MoveSelection(s - wxDateSpan::Months(Delta())); break;
    case WXK_PAGEDOWN: MoveSelection(s + wxDateSpan::Months(Delta())); break;
    case WXK_HOME: MoveSelection(Day(s.GetYear(), s.GetMonth(), 1)); break;
    case WXK_END: MoveSelection(Day(s.GetYear(), s.GetMonth(), wxDateTime::GetNumberOfDays(s.GetMonth(), s.GetYear()))); break;
    case WXK_RETURN: case WXK_NUMPAD_ENTER: Choose(s); break;
    default: e.Skip();
  }
}

void CGridMonthCalendar::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  Draw(dc);
}

void CGridMonthCalendar::Draw(wxDC& dc) {
  const Metrics& m = m_metrics;
  const wxColour* c = m_settings.colours;
  dc.SetBackground(wxBrush(c[kBackground]));
  dc.Clear();
  dc.SetFont(GetFont());
  const wxDateTime today = Noon(wxDateTime::Today());
  const bool circle = !(m_settings.styleBits & kNoTodayCircle);
  auto centred = [&](const wxString& text, const wxRect& r, const wxColour& colour) {
    dc.SetTextForeground(colour);
    const wxSize ext = dc.GetTextExtent(text);
    dc.DrawText(text, r.x + (r.width - ext.x) / 2, r.y + (r.height - ext.y) / 2);
  };
  for (int k = 0; k < MonthsShown(); ++k) {
    const wxRect month = MonthRect(k);
    const wxDateTime start = MonthStart(k);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(c[kMonthBackground]));
    dc.DrawRectangle(month);
    const wxRect title(month.x, month.y, month.width, m.titleHeight);
    dc.SetBrush(wxBrush(c[kTitleBackground]));
    dc.DrawRectangle(title);
    centred(wxString::Format(wxS("%s %d"), wxDateTime::GetMonthName(start.GetMonth()), start.GetYear()), title,
            c[kTitleText]);
    // The arrows stand in the outer titles of the first row.
    dc.SetBrush(wxBrush(c[kTitleText]));
    if (k == 0) {
      const wxRect r = PreviousRect();
      const wxPoint left[] = {{r.x + 2, r.y + r.height / 2}, {r.GetRight() - 2, r.y + 2}, {r.GetRight() - 2, r.GetBottom() - 2}};
      dc.DrawPolygon(3, left);
    }
    if (k == m_settings.monthsAcross - 1) {
      const wxRect r = NextRect();
      const wxPoint right[] = {{r.GetRight() - 2, r.y + r.height / 2}, {r.x + 2, r.y + 2}, {r.x + 2, r.GetBottom() - 2}};
      dc.DrawPolygon(3, right);
    }
    const int x0 = month.x + kMargin + m.weekWidth, namesTop = month.y + m.titleHeight;
    const int firstWeekDay = (m_settings.firstDayOfWeek + 1) % 7;
    for (int col = 0; col < 7; ++col)
      centred(ShortDayName((firstWeekDay + col) % 7), wxRect(x0 + col * m.cellWidth, namesTop, m.cellWidth, m.cellHeight),
              c[kTitleBackground]);
    dc.SetPen(wxPen(c[kTitleBackground]));
    dc.DrawLine(x0, namesTop + m.cellHeight, x0 + 7 * m.cellWidth, namesTop + m.cellHeight);
    const wxDateTime block = BlockStart(k);
    const int daysTop = namesTop + m.namesHeight + 2;
    if (m.weekWidth) {
      dc.DrawLine(x0 - 2, daysTop, x0 - 2, daysTop + 6 * m.cellHeight);
      for (int row = 0; row < 6; ++row) {
        const wxDateTime thursday = block + wxDateSpan::Days(row * 7 + 3);
        centred(wxString::Format(wxS("%d"), thursday.GetWeekOfYear(wxDateTime::Monday_First)),
                wxRect(x0 - m.weekWidth, daysTop + row * m.cellHeight, m.weekWidth - 3, m.cellHeight),
                c[kTitleBackground]);
      }
    }
    for (int i = 0; i < 42; ++i) {
      const wxDateTime day = Noon(block + wxDateSpan::Days(i));
      if (!DayShown(k, day)) continue;
      const wxRect r(x0 + (i % 7) * m.cellWidth, daysTop + (i / 7) * m.cellHeight, m.cellWidth, m.cellHeight);
      const bool own = SameMonth(day, start);
      wxColour text = own ? c[kText] : c[kTrailingText];
      if (own && day.IsSameDate(m_selected)) {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(c[kTitleBackground]));
        dc.DrawRectangle(r);
        text = c[kTitleText];
      }
      centred(wxString::Format(wxS("%d"), day.GetDay()), r, text);
      if (own && circle && day.IsSameDate(today)) {
        dc.SetPen(wxPen(kTodayFrame));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(r);
      }
    }
  }
  if (m.todayHeight) {
    const wxRect& line = m_todayRect;
    int x = line.x + kMargin;
    if (circle) {
      dc.SetPen(wxPen(kTodayFrame));
      dc.SetBrush(*wxTRANSPARENT_BRUSH);
      dc.DrawRectangle(x, line.y + 3, m.cellWidth, line.height - 6);
      x += m.cellWidth + kMargin;
    }
    dc.SetTextForeground(c[kText]);
    const wxString text = TodayText();
    dc.DrawText(text, x, line.y + (line.height - dc.GetTextExtent(text).y) / 2);
  }
}
