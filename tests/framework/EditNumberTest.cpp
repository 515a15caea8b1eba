#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "framework/EditNumber.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

TEST(EditNumber, PrintFixedRoundsExactHalvesAwayFromZero) {
  struct Row {
    double value;
    int decimals;
    const char* text;
  } const rows[] = {
      {2.5, 0, "3"},      {-2.5, 0, "-3"},   {0.5, 0, "1"},        {9.5, 0, "10"},
      {99.5, 0, "100"},   {-99.5, 0, "-100"}, {0.125, 2, "0.13"},  {-0.125, 2, "-0.13"},
      {12.125, 2, "12.13"}, {1.005, 2, "1.00"},  // 1.005 is just below the half in binary
      {2.675, 2, "2.67"}, {0.1, 6, "0.100000"}, {0.0, 6, "0.000000"}, {-0.001, 2, "0.00"},
      {1e20, 0, "100000000000000000000"},       {3.14159, 3, "3.142"}, {-0.5, 0, "-1"},
  };
  for (const Row& r : rows) EXPECT_EQ(PrintFixed(r.value, r.decimals), r.text) << r.value << " " << r.decimals;
  EXPECT_EQ(PrintFixed(NAN, 2), "nan");
  EXPECT_EQ(PrintFixed(-INFINITY, 2), "-inf");
  EXPECT_EQ(PrintFixed(-1.7976931348623157e308, 0).length(), 310u);
}

TEST(EditNumber, ScanReadsTheLeadingNumberOnly) {
  bool ok = false;
  EXPECT_DOUBLE_EQ(ScanNumber("12.5", &ok), 12.5);
  EXPECT_TRUE(ok);
  EXPECT_DOUBLE_EQ(ScanNumber("  -3kg"), -3.0);
  EXPECT_DOUBLE_EQ(ScanNumber("+4"), 4.0);
  EXPECT_DOUBLE_EQ(ScanNumber(".5"), 0.5);
  EXPECT_DOUBLE_EQ(ScanNumber("1e3"), 1000.0);
  EXPECT_DOUBLE_EQ(ScanNumber("2,5"), 2.0);
  for (const char* unreadable : {"", ".", "-.", "+.", "-", "abc"}) {
    EXPECT_EQ(ScanNumber(unreadable, &ok), 0.0) << unreadable;
    EXPECT_FALSE(ok) << unreadable;
  }
}

TEST(EditNumber, NumbersIgnoreTheLocale) {
  struct LocaleGuard {
    std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    ~LocaleGuard() { std::setlocale(LC_NUMERIC, saved.c_str()); }
  } guard;
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
    FAIL() << "no German locale installed (tools/install-deps.sh generates de_DE.UTF-8)";
  EXPECT_DOUBLE_EQ(ScanNumber("2.05"), 2.05);
  EXPECT_EQ(PrintFixed(2.05, 2), "2.05");
}

TEST(EditNumber, FinalFormatWithoutDigitLimits) {
  CLongDoubleEditRules r;
  const char* const rows[][2] = {
      {"2.50000", "2.5"}, {"3.000000", "3"}, {"-", "0"},   {"+", "0"},      {"", "0"},
      {".", "0"},         {"-.", "0"},       {"+.", "0"}, {"-0", "0"},     {"12", "12"},
      {"0.1234567", "0.123457"}, {"100", "100"}, {"-10.50", "-10.5"}, {"123.5", "123.5"},
  };
  for (const auto& row : rows) EXPECT_EQ(r.GetFinalFormatedString(row[0]), row[1]) << row[0];
  EXPECT_EQ(r.MaxLength(), 0);  // no limit, so "123.5" kept its digits
}

TEST(EditNumber, FinalFormatWithDigitLimits) {
  CLongDoubleEditRules r;
  r.Attach(0, -1000, 1000, 3);
  EXPECT_EQ(r.MaxLength(), 3);
  EXPECT_EQ(r.GetFinalFormatedString("12.7"), "13");
  EXPECT_EQ(r.GetFinalFormatedString("1234"), "1230");  // digits past the limit keep the magnitude
  EXPECT_EQ(r.GetFinalFormatedString("-1234.5"), "-1230");
  r.SetDigits(3, 2);
  EXPECT_EQ(r.MaxLength(), 5);
  EXPECT_EQ(r.GetFinalFormatedString("12.125"), "12.13");
  EXPECT_EQ(r.GetFinalFormatedString("12.10"), "12.1");
  EXPECT_EQ(r.GetFinalFormatedString("1234.56"), "1234.5");  // the fifth digit is the last kept

  // Attached with no integer digits: no length limit rather than digits turned to "0"
  CLongDoubleEditRules free;
  EXPECT_EQ(free.Attach(123.5, -1000, 1000, 0), "123.5");
}

TEST(EditNumber, AttachRangeAndDigits) {
  CLongDoubleEditRules r;
  EXPECT_EQ(r.Attach(5, 0, 0, 2), "5");
  EXPECT_EQ(r.Minimum(), -99.0);
  EXPECT_EQ(r.Maximum(), 99.0);
  EXPECT_EQ(r.GetAllowedCharset().Chars(), "0123456789-+");
  EXPECT_EQ(r.Attach(-3.25, -10, 10, 2), "-3");
  EXPECT_EQ(r.Attach(0, 0, 0, 3), "0");
  EXPECT_EQ(r.Maximum(), 999.0);
  EXPECT_EQ(r.IntegerDigits(), 3);
  EXPECT_EQ(r.FractionDigits(), 0);
  r.SetDigits(3, 2);
  r.SetDigits(4, 1);
  EXPECT_EQ(r.MaxLength(), 5);
  EXPECT_DOUBLE_EQ(r.GetValue(""), 0.0);
  EXPECT_DOUBLE_EQ(r.GetValue("-"), 0.0);
  EXPECT_DOUBLE_EQ(r.GetValue("12.5"), 12.5);
}

TEST(EditNumber, AllowedCharacters) {
  struct Row {
    double min, max;
    int intDigits, fracDigits;
    const char* set;
  } const rows[] = {
      {-1, 1, 0, 0, "0123456789.-+"}, {0, 255, 3, 0, "0123456789+"}, {-5, -1, 3, 2, "0123456789.-"},
      {0, 1, 0, 2, "0123456789+"},    {0, 0, 2, 0, "0123456789-+"}, {1, 2, 1, 1, "0123456789.+"},
  };
  for (const Row& row : rows) {
    CLongDoubleEditRules r;
    r.Attach(0, row.min, row.max, row.intDigits);
    r.SetDigits(row.intDigits, row.fracDigits);
    EXPECT_EQ(r.GetAllowedCharset().Chars(), row.set) << row.min << ".." << row.max;
  }
}

TEST(EditNumber, DigitLimitsWhileTyping) {
  CLongDoubleEditRules r;
  r.Attach(0, -999, 999, 3);
  r.SetDigits(3, 2);
  EXPECT_TRUE(r.IsValid("123.45"));
  EXPECT_FALSE(r.IsValid("1234"));
  EXPECT_FALSE(r.IsValid("1.234"));
  EXPECT_TRUE(r.IsValid("-123"));
  EXPECT_TRUE(r.IsValid(""));
  EXPECT_TRUE(r.IsValid(".45"));

  auto type = [&](const char* text, long caret, wxUniChar ch) {
    EditState s{text, caret, caret};
    return r.OnChar(s, ch);
  };
  EXPECT_EQ(type("12", 2, '3'), CharResult::Default);
  EXPECT_EQ(type("123", 3, '4'), CharResult::Refused);
  EXPECT_EQ(type("1.23", 4, '4'), CharResult::Refused);
  EXPECT_EQ(type("1.2", 3, '.'), CharResult::Refused);
  EXPECT_EQ(type("12", 0, '-'), CharResult::Default);
  EXPECT_EQ(type("1", 1, '-'), CharResult::Refused);
  EXPECT_EQ(type("1", 1, 'a'), CharResult::Refused);
  EXPECT_EQ(type("1", 1, ','), CharResult::Refused);
  EXPECT_EQ(type("123", 3, '\b'), CharResult::Default);
  EditState all{"999", 0, 3};
  EXPECT_EQ(r.OnChar(all, '7'), CharResult::Default);  // replaces the selection
  EXPECT_TRUE(r.AcceptsInsertion(EditState{}, "-12.5"));
  EXPECT_FALSE(r.AcceptsInsertion(EditState{}, "1e5"));
  EXPECT_FALSE(r.AcceptsInsertion(EditState{"5", 1, 1}, "0000"));
}

TEST(EditNumber, RangeAndStepping) {
  CLongDoubleEditRules r;
  r.Attach(0, 0, 10, 2);
  EXPECT_TRUE(r.CheckRange("10"));
  EXPECT_TRUE(r.CheckRange(""));
  EXPECT_FALSE(r.CheckRange("10.5"));
  EXPECT_FALSE(r.CheckRange("-1"));
  EXPECT_EQ(r.OnScroll("9", 1), "10");
  EXPECT_EQ(r.OnScroll("10", 1), "10");  // clamps to the maximum
  EXPECT_EQ(r.OnScroll("0", -1), "0");   // and to the minimum
  EXPECT_EQ(r.OnScroll("", 1), "1");
  EXPECT_EQ(r.OnScroll("-5", 1), "0");
  r.SetDigits(2, 1);
  EXPECT_EQ(r.OnScroll("2.5", 1), "3.5");
  EXPECT_EQ(r.OnScroll("9.5", 1), "10");
}

TEST(EditNumber, RangeErrorIsReportedAndClamped) {
  hvtest::ScriptedUi ui;
  CLongDoubleEditRules r;
  r.Attach(0, 0, 255, 3);
  ui.ExpectMessage(10211);
  EXPECT_EQ(r.ReportRangeError("300"), "255");
  ui.ExpectMessage(10211);
  EXPECT_EQ(r.ReportRangeError("-5"), "0");
  ASSERT_EQ(ui.MessageTexts().size(), 2u);
  EXPECT_EQ(ui.MessageTexts()[0], S("'300' ist kein gültiger Wert.\nEs sind nur Werte von 0 bis 255 erlaubt!\n"));
  EXPECT_EQ(ui.MessageCaptions()[0], S("Falscheingabe"));

  CLongDoubleEditRules frac;
  frac.Attach(0, -1.5, 2.25, 1);
  frac.SetDigits(1, 2);
  ui.ExpectMessage(10211);
  EXPECT_EQ(frac.ReportRangeError("3.1"), "2.25");
  EXPECT_EQ(ui.MessageTexts().back(), S("'3.1' ist kein gültiger Wert.\nEs sind nur Werte von -1.5 bis 2.25 erlaubt!\n"));

  // without digit limits the message keeps the fractions
  CLongDoubleEditRules plain;
  plain.Attach(1, 0.5, 3.2, 0);
  ui.ExpectMessage(10211);
  EXPECT_EQ(plain.ReportRangeError("5.4"), "3.2");
  EXPECT_EQ(ui.MessageTexts().back(), S("'5.4' ist kein gültiger Wert.\nEs sind nur Werte von 0.5 bis 3.2 erlaubt!\n"));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST(EditNumber, FocusLossAndSave) {
  hvtest::ScriptedUi ui;
  CLongDoubleEditRules r;
  r.Attach(0, 0, 255, 3);
  r.SetDigits(3, 2);

  FocusLossResult f = r.OnKillFocus("12.125");
  EXPECT_FALSE(f.keepFocus);
  EXPECT_EQ(f.text, "12.13");
  EXPECT_EQ(r.OnKillFocus(".").text, "0");
  ui.ExpectMessage(10211);
  f = r.OnKillFocus("300");
  EXPECT_EQ(f.text, "255");
  EXPECT_FALSE(f.keepFocus);

  SaveResult s = r.OnSave("12");
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.text, "12");
  ui.ExpectMessage(10211);
  s = r.OnSave("300");
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.text, "255");
  ui.ExpectMessage(10211);
  s = r.OnSave("-3");
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.text, "0");
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(ui.MessageIds().size(), 3u);
}
