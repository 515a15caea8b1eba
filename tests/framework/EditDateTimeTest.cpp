#include <gtest/gtest.h>

#include <wx/datetime.h>

#include "framework/EditDateTime.h"
#include "tests/support/TestEnv.h"

namespace {

struct KeyCase {
  const char* before;
  long selStart;
  long selEnd;
  char key;
  const char* after;  // nullptr = refused, text unchanged
  long caret;         // caret afterwards (typing) or -1 to keep the selection (stepping)
};

template <class Rules>
void RunKeys(Rules& rules, const KeyCase* begin, const KeyCase* end) {
  for (const KeyCase* c = begin; c != end; ++c) {
    SCOPED_TRACE(std::string("\"") + c->before + "\" at " + std::to_string(c->selStart) + " key " + c->key);
    EditState s{c->before, c->selStart, c->selEnd};
    const CharResult r = rules.OnChar(s, wxUniChar(c->key));
    if (!c->after) {
      EXPECT_EQ(r, CharResult::Refused);
      EXPECT_EQ(s.text, c->before);
      continue;
    }
    EXPECT_EQ(r, CharResult::Handled);
    EXPECT_EQ(s.text, c->after);
    EXPECT_EQ(s.selStart, c->caret < 0 ? c->selStart : c->caret);
    EXPECT_EQ(s.selEnd, c->caret < 0 ? c->selEnd : c->caret);
  }
}

}  // namespace

TEST(EditTime, TypingPerPosition) {
  const KeyCase cases[] = {
      {"", 0, 0, '1', "1", 1},
      {"1", 1, 1, '2', "12:", 3},  // the colon comes by itself
      {"12:", 3, 3, '3', "12:3", 4},
      {"12:3", 4, 4, '4', "12:34:", 6},
      {"12:34:", 6, 6, '5', "12:34:5", 7},
      {"12:34:5", 7, 7, '9', "12:34:59", 8},
      {"12:34:59", 8, 8, '1', nullptr, 0},  // never longer than eight characters
      {"", 0, 0, '3', nullptr, 0},           // hours start with 0 to 2
      {"12:", 3, 3, '6', nullptr, 0},        // minutes with 0 to 5
      {"12:34:", 6, 6, '7', nullptr, 0},     // seconds too
      {"12:", 3, 3, ':', nullptr, 0},
      {"", 0, 0, ':', nullptr, 0},
      {"12", 2, 2, '3', "12:3", 4},                 // a digit at the colon jumps over it
      {"12:34:56", 2, 2, '4', "12:44:56", 4},       // and overwrites the minute
      {"12:34:56", 5, 5, '0', "12:34:06", 7},
      {"12:34:56", 0, 0, '0', "02:34:56", 1},       // typing overwrites, the text does not grow
      {"12:34:56", 1, 1, '3', "13:34:56", 3},       // and steps over the colon behind
      {"12:34:56", 0, 8, '2', "2", 1},              // a selection is replaced
      {"12:34:56", 2, 2, ':', "12:34:56", 3},
      {"12:34:56", 0, 0, 'x', nullptr, 0},
      {"12:34:56", 0, 0, ' ', nullptr, 0},
  };
  CTimeEditRules rules;
  RunKeys(rules, std::begin(cases), std::end(cases));
  EditState s{"12:34:56", 8, 8};
  EXPECT_EQ(rules.OnChar(s, '\b'), CharResult::Default);
}

TEST(EditTime, PlusAndMinusStepTheFieldAtTheCaret) {
  const KeyCase cases[] = {
      {"23:59:59", 6, 6, '+', "00:00:00", -1},  // carries up to the hours, which wrap
      {"00:00:00", 0, 0, '-', "23:00:00", -1},
      {"00:00:00", 7, 7, '-', "23:59:59", -1},
      {"12:59:30", 3, 3, '+', "13:00:30", -1},
      {"23:30:00", 1, 1, '+', "00:30:00", -1},  // hours wrap without carrying anywhere
      {"10:20:30", 2, 2, '+', "11:20:30", -1},
      {"10:20:30", 5, 5, '-', "10:19:30", -1},
      {"10:20:30", 3, 5, '+', "10:21:30", -1},  // the selection stays
      {"", 0, 0, '+', "01:00:00", -1},
      {"7", 0, 0, '-', "06:00:00", -1},
      {"10:20:30", 8, 8, '+', nullptr, 0},  // behind the seconds nothing steps
  };
  CTimeEditRules rules;
  RunKeys(rules, std::begin(cases), std::end(cases));
}

TEST(EditTime, CompletedAtFocusLossAndSave) {
  const char* const rows[][2] = {
      {"7", "07:00:00"},        {"25:70", "23:59:00"}, {"12:300", "12:59:00"}, {"", "00:00:00"},
      {"1:2:3", "01:02:03"},    {"12:34:56", "12:34:56"}, {"99", "23:00:00"}, {"123", "12:00:00"},
      {"-5:-3", "00:00:00"},    {"12:34:", "12:34:00"}, {":5", "00:05:00"},
  };
  CTimeEditRules rules;
  for (const auto& row : rows) {
    const FocusLossResult f = rules.OnKillFocus(row[0]);
    EXPECT_EQ(f.text, row[1]) << row[0];
    EXPECT_FALSE(f.keepFocus);
    const SaveResult s = rules.OnSave(row[0]);
    EXPECT_TRUE(s.ok);
    EXPECT_EQ(s.text, row[1]);
  }
  EXPECT_TRUE(rules.AcceptsInsertion(EditState{}, "12:34:56"));
  EXPECT_FALSE(rules.AcceptsInsertion(EditState{}, "12:34:567"));
  EXPECT_FALSE(rules.AcceptsInsertion(EditState{}, "1h"));
  EXPECT_TRUE(rules.AcceptsInsertion(EditState{"12:34:56", 0, 2}, "09"));
}

TEST(EditDate, CalendarRules) {
  EXPECT_EQ(DaysInMonth(2, 1900), 28);
  EXPECT_EQ(DaysInMonth(2, 2000), 29);
  EXPECT_EQ(DaysInMonth(2, 2024), 29);
  EXPECT_EQ(DaysInMonth(2, 2023), 28);
  EXPECT_EQ(DaysInMonth(2, 96), 28);  // before the year 100 no date is valid
  EXPECT_EQ(DaysInMonth(2, 0), 28);
  EXPECT_EQ(DaysInMonth(4, 2024), 30);
  EXPECT_EQ(DaysInMonth(12, 2024), 31);
  EXPECT_TRUE(IsValidCalendarDate(9999, 12, 31));
  EXPECT_FALSE(IsValidCalendarDate(10000, 1, 1));
  EXPECT_TRUE(IsValidCalendarDate(100, 1, 1));
  EXPECT_FALSE(IsValidCalendarDate(99, 12, 31));
  EXPECT_FALSE(IsValidCalendarDate(2023, 2, 29));
  EXPECT_FALSE(IsValidCalendarDate(2024, 4, 31));
  EXPECT_FALSE(IsValidCalendarDate(2024, 13, 1));
  EXPECT_FALSE(IsValidCalendarDate(2024, 1, 0));
}

TEST(EditDate, TypingPerPosition) {
  const KeyCase cases[] = {
      {"", 0, 0, '3', "3", 1},
      {"", 0, 0, '4', nullptr, 0},  // days start with 0 to 3
      {"3", 1, 1, '1', "31.", 3},
      {"31.", 3, 3, '2', nullptr, 0},  // months with 0 or 1
      {"31.", 3, 3, '1', "31.1", 4},
      {"31.1", 4, 4, '2', "31.12.", 6},
      {"31.12.", 6, 6, '0', nullptr, 0},  // years with 1 or 2
      {"31.12.", 6, 6, '.', nullptr, 0},
      {"31.12.", 6, 6, '2', "31.12.2", 7},
      {"31.12.2", 7, 7, '0', "31.12.20", 8},
      {"31.12.202", 9, 9, '4', "31.12.2024", 10},
      {"31.12.2024", 10, 10, '1', nullptr, 0},  // never longer than ten characters
      {"", 0, 0, '.', ".", 1},                   // the limits are upper limits only
      {"12", 2, 2, '0', "12.0", 4},
      {"12.05.2024", 0, 0, '0', "02.05.2024", 1},
      {"12.05.2024", 1, 1, '3', "13.05.2024", 3},
      {"12.05.2024", 5, 5, '1', "12.05.1024", 7},
      {"12.05.2024", 0, 10, '1', "1", 1},
      {"12.05.2024", 0, 0, '/', nullptr, 0},
  };
  CDateEditRules rules([] { return 2030; });
  RunKeys(rules, std::begin(cases), std::end(cases));
}

TEST(EditDate, PlusAndMinusStepTheFieldAtTheCaret) {
  const KeyCase cases[] = {
      {"28.02.2023", 0, 0, '+', "01.03.2023", -1},
      {"28.02.2024", 1, 1, '+', "29.02.2024", -1},
      {"01.03.2023", 0, 0, '-', "28.02.2023", -1},
      {"01.11.2024", 0, 0, '-', "31.10.2024", -1},
      {"31.01.2024", 3, 3, '+', "29.02.2024", -1},  // the day is cut to the month
      {"15.01.2024", 4, 4, '-', "15.12.2023", -1},
      {"31.12.2024", 2, 2, '+', "01.01.2025", -1},
      {"01.01.2024", 0, 0, '-', "31.12.2023", -1},
      {"29.02.1900", 0, 0, '+', "01.03.1900", -1},
      {"28.02.2000", 0, 0, '+', "29.02.2000", -1},
      {"15.06.2024", 6, 6, '+', "15.06.2025", -1},
      {"15.06.0000", 7, 7, '-', "15.06.0000", -1},  // no year below 0
      {"15.06.9999", 9, 9, '+', "15.06.9999", -1},  // nor above 9999
      {"01.01.0000", 0, 0, '-', "31.12.0000", -1},
      {"15.06.2024", 10, 10, '+', nullptr, 0},
  };
  CDateEditRules rules([] { return 2030; });
  RunKeys(rules, std::begin(cases), std::end(cases));
}

TEST(EditDate, CompletedAtFocusLossAndSave) {
  const char* const rows[][2] = {
      {"5.13", "05.12.2030"},       {"31.04.2024", "30.04.2024"}, {"29.02.2023", "28.02.2023"},
      {"29.2.2000", "29.02.2000"},  {"29.2.1900", "28.02.1900"},  {"1.1.-5", "01.01.0000"},
      {"15", "15.01.2030"},         {"45", "31.01.2030"},         {"", "01.01.2030"},
      {"0.0.2024", "01.01.2024"},   {"1.1.12345", "01.01.9999"},  {"3.7.24", "03.07.0024"},
      {"31.12.2024", "31.12.2024"}, {"..", "01.01.0000"},
  };
  CDateEditRules rules([] { return 2030; });
  for (const auto& row : rows) {
    const FocusLossResult f = rules.OnKillFocus(row[0]);
    EXPECT_EQ(f.text, row[1]) << row[0];
    EXPECT_FALSE(f.keepFocus);
    const SaveResult s = rules.OnSave(row[0]);
    EXPECT_TRUE(s.ok);
    EXPECT_EQ(s.text, row[1]);
  }
  EXPECT_TRUE(rules.AcceptsInsertion(EditState{}, "24.12.2024"));
  EXPECT_FALSE(rules.AcceptsInsertion(EditState{}, "24/12/2024"));
  EXPECT_FALSE(rules.AcceptsInsertion(EditState{"24.12.2024", 10, 10}, "1"));

  CDateEditRules now;  // the real current year when none is given
  EXPECT_EQ(now.Complete("1.1").Right(4), wxString::Format("%04d", wxDateTime::Now().GetYear()));
}
