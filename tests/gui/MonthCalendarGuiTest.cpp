// The picker's month calendar: months across and down sized as one month times their
// number, the arrows and Page keys stepping by the month delta, trailing days only
// before the first and after the last month in their own colour, the host's font; and
// the same through a value grid whose host changes the settings before it shows.
#include <gtest/gtest.h>

#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/uiaction.h>

#include "grid/TavDateTime.h"
#include "grid/ui/GridEditors.h"
#include "grid/ui/GridMonthCalendar.h"
#include "tests/gui/support/GridHost.h"
#include "tests/gui/support/WindowFixture.h"

using namespace hvtest;
using std::chrono::milliseconds;

namespace {

const wxColour kTrailing(0, 160, 0), kText(0, 0, 0), kMonth(255, 255, 255), kTitle(0, 0, 160), kBack(200, 200, 200);

wxDateTime Date(int day, int month, int year) {
  return wxDateTime(static_cast<wxDateTime::wxDateTime_t>(day), static_cast<wxDateTime::Month>(month - 1), year, 12);
}

CGridMonthCalendar::Settings Colourful() {
  CGridMonthCalendar::Settings s;
  s.colours[CGridMonthCalendar::kBackground] = kBack;
  s.colours[CGridMonthCalendar::kText] = kText;
  s.colours[CGridMonthCalendar::kMonthBackground] = kMonth;
  s.colours[CGridMonthCalendar::kTitleText] = *wxWHITE;
  s.colours[CGridMonthCalendar::kTitleBackground] = kTitle;
  s.colours[CGridMonthCalendar::kTrailingText] = kTrailing;
  return s;
}

class MonthCalendar : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new wxFrame(nullptr, wxID_ANY, wxS("Kalender"), wxPoint(30, 30), wxSize(900, 700));
    cal = new CGridMonthCalendar(frame);
    cal->SetPosition(wxPoint(0, 0));
    cal->Bind(EVT_GRID_DATE_CHOSEN, [this](wxDateEvent& e) { chosen.push_back(e.GetDate()); });
    frame->Show();
    ASSERT_TRUE(PumpUntil([&] { return cal->IsShownOnScreen(); }));
  }
  void TearDown() override {
    frame->Destroy();
    Pump(milliseconds(50));
  }
  wxBitmap Render() {
    const wxSize size = cal->NeededSize();
    wxBitmap bmp(size.x, size.y, 24);
    wxMemoryDC dc(bmp);
    cal->Draw(dc);
    dc.SelectObject(wxNullBitmap);
    return bmp;
  }
  // How many pixels of the rectangle have the colour.
  static int Count(const wxBitmap& bmp, const wxRect& r, const wxColour& colour) {
    const wxImage image = bmp.ConvertToImage();
    int n = 0;
    for (int y = r.y; y < r.GetBottom(); ++y)
      for (int x = r.x; x < r.GetRight(); ++x)
        n += image.GetRed(x, y) == colour.Red() && image.GetGreen(x, y) == colour.Green() &&
             image.GetBlue(x, y) == colour.Blue();
    return n;
  }
  void Click(const wxRect& r) {
    sim.MouseMove(cal->ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2)));
    Pump(milliseconds(40));
    sim.MouseClick();
    Pump(milliseconds(80));
  }

  wxFrame* frame = nullptr;
  CGridMonthCalendar* cal = nullptr;
  std::vector<wxDateTime> chosen;
  wxUIActionSimulator sim;
};

}  // namespace

TEST_F(MonthCalendar, MonthsAcrossAndDownAreOneMonthTimesTheirNumber) {
  cal->Apply(Colourful(), wxFont());
  const wxSize one = cal->NeededSize();
  const int todayLine = cal->TodayRect().height;
  ASSERT_GT(todayLine, 0);
  CGridMonthCalendar::Settings s = Colourful();
  s.monthsAcross = 3;
  s.monthsDown = 2;
  cal->Apply(s, wxFont());
  EXPECT_EQ(cal->NeededSize(), wxSize((one.x + 6) * 3 - 6, (one.y - todayLine) * 2 + todayLine));
  EXPECT_EQ(cal->GetClientSize(), cal->NeededSize());
  // More than 12 months show one.
  s.monthsAcross = 4;
  s.monthsDown = 4;
  cal->Apply(s, wxFont());
  EXPECT_EQ(cal->NeededSize(), one);
  // Without the today line, and with week numbers.
  s.monthsAcross = s.monthsDown = 1;
  s.styleBits = CGridMonthCalendar::kNoToday;
  cal->Apply(s, wxFont());
  EXPECT_EQ(cal->NeededSize().y, one.y - todayLine);
  EXPECT_TRUE(cal->TodayRect().IsEmpty());
  s.styleBits = CGridMonthCalendar::kWeekNumbers;
  cal->Apply(s, wxFont());
  EXPECT_GT(cal->NeededSize().x, one.x);
  // The font given is the one measured and drawn with.
  const wxFont big(wxFontInfo(22).Bold());
  cal->Apply(Colourful(), big);
  EXPECT_EQ(cal->GetFont().GetPointSize(), 22);
  EXPECT_GT(cal->NeededSize().x, one.x + 40);
  EXPECT_GT(cal->NeededSize().y, one.y + 40);
}

TEST_F(MonthCalendar, TrailingDaysOnlyBeforeTheFirstAndAfterTheLastMonthInTheirColour) {
  CGridMonthCalendar::Settings s = Colourful();
  s.monthsAcross = 3;
  s.monthsDown = 2;
  s.styleBits = CGridMonthCalendar::kNoTodayCircle;
  cal->Apply(s, wxFont());
  cal->SetDate(Date(24, 12, 2026));  // Dec 2026 .. May 2027; Dec 1 is a Tuesday
  EXPECT_TRUE(cal->FirstMonth().IsSameDate(Date(1, 12, 2026)));
  const wxBitmap bmp = Render();
  const wxRect leading = cal->DateRect(Date(30, 11, 2026));
  const wxRect following = cal->DateRect(Date(2, 6, 2027));
  ASSERT_FALSE(leading.IsEmpty());
  ASSERT_FALSE(following.IsEmpty());
  EXPECT_GT(Count(bmp, leading, kTrailing), 3);
  EXPECT_GT(Count(bmp, following, kTrailing), 3);
  // Days of their own month are in the text colour.
  const wxRect first = cal->DateRect(Date(1, 12, 2026));
  EXPECT_EQ(Count(bmp, first, kTrailing), 0);
  EXPECT_GT(Count(bmp, first, kText), 3);
  // Between months nothing of the neighbour shows: January 2027 starts on a Friday, the
  // four cells before it are bare month background.
  const wxRect jan1 = cal->DateRect(Date(1, 1, 2027));
  const wxRect before(jan1.x - 4 * jan1.width, jan1.y, 4 * jan1.width, jan1.height);
  EXPECT_EQ(Count(bmp, before, kMonth), (before.width - 1) * (before.height - 1));
  wxDateTime hit;
  EXPECT_EQ(cal->HitTest(wxPoint(before.x + 2, before.y + 2), hit), CGridMonthCalendar::kNowhere);
  // The selected day stands out in the title colours; the title band has its colour.
  EXPECT_GT(Count(bmp, cal->DateRect(Date(24, 12, 2026)), kTitle), 10);
  // Sunday first moves the block: 29 November is the first day shown.
  s.firstDayOfWeek = 6;
  cal->Apply(s, wxFont());
  EXPECT_FALSE(cal->DateRect(Date(29, 11, 2026)).IsEmpty());
  EXPECT_EQ(cal->DateRect(Date(29, 11, 2026)).x, cal->DateRect(Date(6, 12, 2026)).x);
}

TEST_F(MonthCalendar, TodayIsFramedUnlessTheStyleSaysNo) {
  cal->Apply(Colourful(), wxFont());
  cal->SetDate(wxDateTime::Today() + wxDateSpan::Days(wxDateTime::Today().GetDay() > 15 ? -3 : 3));
  const wxRect today = cal->DateRect(wxDateTime::Today());
  ASSERT_FALSE(today.IsEmpty());
  EXPECT_GT(Count(Render(), today, wxColour(255, 0, 0)), 10);
  CGridMonthCalendar::Settings s = Colourful();
  s.styleBits = CGridMonthCalendar::kNoTodayCircle;
  cal->Apply(s, wxFont());
  EXPECT_EQ(Count(Render(), today, wxColour(255, 0, 0)), 0);
}

TEST_F(MonthCalendar, ArrowsAndPageKeysStepByTheMonthDeltaAndAClickChooses) {
  CGridMonthCalendar::Settings s = Colourful();
  s.monthsAcross = 2;
  s.monthDelta = 3;
  cal->Apply(s, wxFont());
  cal->SetDate(Date(10, 3, 2027));
  frame->SetClientSize(cal->GetSize());
  Pump(milliseconds(50));
  Click(cal->NextRect());
  EXPECT_TRUE(cal->FirstMonth().IsSameDate(Date(1, 6, 2027)));
  Click(cal->PreviousRect());
  Click(cal->PreviousRect());
  EXPECT_TRUE(cal->FirstMonth().IsSameDate(Date(1, 12, 2026)));
  EXPECT_TRUE(chosen.empty());
  // Keys move the selection; the view follows by the delta.
  cal->SetFocus();
  cal->SetDate(Date(10, 3, 2027));
  EXPECT_TRUE(cal->FirstMonth().IsSameDate(Date(1, 3, 2027)));  // not in sight: shown first
  auto key = [&](int code) {
    wxKeyEvent e(wxEVT_KEY_DOWN);
    e.m_keyCode = code;
    e.SetEventObject(cal);
    cal->GetEventHandler()->ProcessEvent(e);
  };
  key(WXK_PAGEDOWN);
  EXPECT_TRUE(cal->GetDate().IsSameDate(Date(10, 6, 2027)));
  EXPECT_TRUE(cal->FirstMonth().IsSameDate(Date(1, 6, 2027)));
  key(WXK_LEFT);
  key(WXK_UP);
  EXPECT_TRUE(cal->GetDate().IsSameDate(Date(2, 6, 2027)));
  key(WXK_END);
  EXPECT_TRUE(cal->GetDate().IsSameDate(Date(30, 6, 2027)));
  key(WXK_RETURN);
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_TRUE(chosen[0].IsSameDate(Date(30, 6, 2027)));
  // A click on a trailing day after the last month chooses that day.
  const wxRect next = cal->DateRect(Date(1, 8, 2027));
  ASSERT_FALSE(next.IsEmpty());
  wxDateTime hit;
  EXPECT_EQ(cal->HitTest(wxPoint(next.x + 2, next.y + 2), hit), CGridMonthCalendar::kDateNext);
  Click(next);
  ASSERT_EQ(chosen.size(), 2u);
  EXPECT_TRUE(chosen[1].IsSameDate(Date(1, 8, 2027)));
}

using PickerCalendar = GridHost;

TEST_F(PickerCalendar, TheHostsMonthsDeltaAndTrailingColourReachTheCalendar) {
  CGridCalendarSettings settings;
  settings.monthsAcross = 2;
  settings.monthsDown = 1;
  settings.monthDelta = 2;
  settings.colours[5] = Rgb(0, 160, 0);
  grid->calendar = &settings;
  valuecells::Setup s;
  s.kind = 1;
  s.text = wxS("15.01.2027");
  s.typeCode = valuecells::kCodePicker;
  grid->SetupValueCell(s, 1, 1, 4, 4);
  ClickAt(CellPoint(4, 1, 0.95));
  ASSERT_TRUE(PumpUntil([&] { return grid->Calendar()->IsShown(); }));
  CGridMonthCalendar* cal = grid->Calendar()->CalendarCtrl();
  EXPECT_EQ(cal->GetSettings().monthsAcross, 2);
  EXPECT_EQ(cal->GetSettings().colours[CGridMonthCalendar::kTrailingText], wxColour(0, 160, 0));
  // Opened as a new calendar: today's month first, the cell's date selected in sight.
  EXPECT_TRUE(cal->GetDate().IsSameDate(Date(15, 1, 2027)));
  EXPECT_FALSE(cal->DateRect(Date(15, 1, 2027)).IsEmpty());
  EXPECT_GE(grid->Calendar()->GetClientSize().x, cal->NeededSize().x);
  // The arrow steps two months; a trailing day after the last month is chosen with a click.
  const wxDateTime first = cal->FirstMonth();
  const wxRect next = cal->NextRect();
  ClickAt(cal->ClientToScreen(wxPoint(next.x + next.width / 2, next.y + next.height / 2)));
  EXPECT_TRUE(cal->FirstMonth().IsSameDate(first + wxDateSpan::Months(2)));
  const wxDateTime after = first + wxDateSpan::Months(4);  // the day after the last month shown
  const wxRect trailing = cal->DateRect(after);
  ASSERT_FALSE(trailing.IsEmpty());
  ClickAt(cal->ClientToScreen(wxPoint(trailing.x + trailing.width / 2, trailing.y + trailing.height / 2)));
  ASSERT_TRUE(PumpUntil([&] { return grid->Has("notify 200"); }));
  EXPECT_EQ(grid->GetCellText(4, 1), wxString::Format(wxS("01.%02d.%04d"), static_cast<int>(after.GetMonth()) + 1,
                                                      after.GetYear()));
  EXPECT_FALSE(grid->Calendar()->IsShown());
  // Keys typed into the open calendar: a day on, a week back, Enter takes it.
  Apart();
  ClickAt(CellPoint(4, 1, 0.95));
  ASSERT_TRUE(PumpUntil([&] { return grid->Calendar()->IsShown(); }));
  ASSERT_TRUE(PumpUntil([&] { return cal->HasFocus(); }));
  sim.Char(WXK_RIGHT);
  sim.Char(WXK_UP);
  sim.Char(WXK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return !grid->Calendar()->IsShown(); }));
  const wxDateTime typed = after + wxDateSpan::Days(1) - wxDateSpan::Weeks(1);
  EXPECT_EQ(grid->GetCellText(4, 1), wxString::Format(wxS("%02d.%02d.%04d"), typed.GetDay(),
                                                      static_cast<int>(typed.GetMonth()) + 1, typed.GetYear()));
}
