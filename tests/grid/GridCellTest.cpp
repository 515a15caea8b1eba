// Cells: value text, layering and conversions, with the fixed and an injected number format.
#include <gtest/gtest.h>

#include "grid/GridCell.h"
#include "grid/TavDateTime.h"
#include "RecordingGrid.h"

using namespace gridcell;

namespace {
CGridNumberFormat Comma() {
  CGridNumberFormat f;
  f.decimal = wxS(",");
  f.thousands = wxS(".");
  f.currency = wxString::FromUTF8("€");
  return f;
}
}  // namespace

TEST(GridCell, NumberTexts) {
  struct Row {
    double value;
    int type;
    int decimals;  // -1 none
    const char* fixed;
    const char* comma;
  } rows[] = {
      {2.5, kNumber, -1, "2.5", "2,5"},
      {1234567, kNumber, -1, "1234567", "1234567"},
      {0, kNumber, -1, "0", "0"},
      {3, kNumber, 2, "3.00", "3,00"},
      {-0.5, kNumber, -1, "-0.5", "-0,5"},
      // Shortest round trip, no representation noise.
      {0.1, kNumber, -1, "0.1", "0,1"},
      {100, kNumber, -1, "100", "100"},
      // Single precision: exponents and integer zeros stay.
      {1e20, kFloat, -1, "1e+20", "1e+20"},
      {1e-10, kFloat, -1, "1e-10", "1e-10"},
      {1000000, kFloat, -1, "1000000", "1000000"},
      {0, kFloat, -1, "0", "0"},
      {0.1, kFloat, -1, "0.1", "0,1"},
  };
  for (const Row& r : rows) {
    CGridCell c;
    c.SetNumber(r.value);
    if (r.type == kFloat) c.SetDataType(kFloat);
    if (r.decimals >= 0) c.SetDecimals(r.decimals);
    EXPECT_EQ(c.GetText(), wxString(r.fixed)) << r.value;
    EXPECT_EQ(c.GetText(Comma()), wxString(r.comma)) << r.value;
  }
}

TEST(GridCell, EmptyTextLeavesValueUnset) {
  CGridCell c;
  c.SetText(wxS(""));
  EXPECT_FALSE(c.IsSet(kValue));
  EXPECT_EQ(c.GetText(), wxString());
  EXPECT_EQ(c.GetNumber(), 0.0);
}

TEST(GridCell, ParseNumber) {
  EXPECT_DOUBLE_EQ(CGridCell::ParseNumber(wxString::FromUTF8("1.234,5 €"), Comma()), 1234.5);
  EXPECT_DOUBLE_EQ(CGridCell::ParseNumber(wxS("  -12.5abc")), -12.5);
  EXPECT_DOUBLE_EQ(CGridCell::ParseNumber(wxS("abc")), 0.0);
  EXPECT_DOUBLE_EQ(CGridCell::ParseNumber(wxS("0x10")), 0.0);
  EXPECT_DOUBLE_EQ(CGridCell::ParseNumber(wxS("+3e2")), 300.0);
}

TEST(GridCell, MergeLayers) {
  CGridCell coloured;
  coloured.SetBackColour(Rgb(1, 2, 3));
  coloured.SetAlignment(kRight);
  coloured.SetText(wxS("x"));
  // A mask-0 cell changes nothing but the style flag and the extra object.
  CGridCell empty;
  empty.SetMask(0);
  empty.SetUseVisualStyles(false);
  CGridCell target = coloured;
  target.MergeFrom(empty);
  EXPECT_EQ(target.GetBackColour(), Rgb(1, 2, 3));
  EXPECT_EQ(target.GetAlignment(), kRight);
  EXPECT_FALSE(target.GetUseVisualStyles());
  // A freshly reset cell restores system colours and left alignment, keeps the value.
  CGridCell reset;
  target.MergeFrom(reset);
  EXPECT_EQ(target.GetBackColour(), SysColour(kColWindow));
  EXPECT_EQ(target.GetAlignment(), kLeft);
  EXPECT_EQ(target.GetText(), wxS("x"));
}

TEST(GridCell, SharedAttachmentsAreReferences) {
  auto memory = std::make_shared<std::vector<std::uint8_t>>(3, 7);
  CGridCell a;
  a.SetExtraMemory(memory);
  CGridCell b;
  b.MergeFrom(a);
  EXPECT_EQ(b.GetExtraMemory(), memory);
  a.ClearExtras();
  EXPECT_FALSE(a.IsSet(kExtraMemory));
  EXPECT_EQ(memory.use_count(), 2);  // b and the test still hold it, nothing leaks
}

TEST(GridCell, DataTypeConversions) {
  CGridCell c;
  c.SetText(wxS("12.25"));
  c.SetDataType(kNumber);
  EXPECT_EQ(c.GetRawText(), wxString());
  EXPECT_DOUBLE_EQ(c.GetNumber(), 12.25);
  c.SetDataType(kCurrency);
  EXPECT_EQ(c.GetRawText(), wxS("12.25"));
  CGridCell d;
  d.SetText(wxS("24.12.2026"));
  d.SetDataType(kDate);
  int y, m, day, h, mi, s;
  d.GetDateTime(&y, &m, &day, &h, &mi, &s);
  EXPECT_EQ(y * 10000 + m * 100 + day, 20261224);
  CGridCell bad;
  bad.SetText(wxS("31.02.2026"));
  bad.GetDateTime(&y, &m, &day, &h, &mi, &s);
  EXPECT_EQ(y, -1);
  EXPECT_EQ(s, -1);
}

TEST(TavDateTime, PartsTextAndSerial) {
  const CTavDateTime dt(2026, 12, 7, 14, 30, 5);
  ASSERT_TRUE(dt.IsValid());
  EXPECT_EQ(dt.Format(), wxS("07.12.2026 14:30:05"));
  EXPECT_EQ(dt.Format(CTavDateTime::kDateValueOnly), wxS("07.12.2026"));
  EXPECT_DOUBLE_EQ(CTavDateTime(1899, 12, 30, 0, 0, 0).GetDate(), 0.0);
  EXPECT_DOUBLE_EQ(CTavDateTime(1900, 1, 1, 12, 0, 0).GetDate(), 2.5);
  // Before day 0 the fraction still counts forward from midnight.
  EXPECT_DOUBLE_EQ(CTavDateTime(1899, 12, 29, 6, 0, 0).GetDate(), -1.25);
  CTavDateTime p;
  EXPECT_TRUE(p.ParseDateTime(wxS(" 7.1.2027 8:05 ")));
  EXPECT_EQ(p.Format(), wxS("07.01.2027 08:05:00"));
  EXPECT_FALSE(p.ParseDateTime(wxS("2027-01-07")));
  EXPECT_FALSE(p.IsValid());
  EXPECT_FALSE(CTavDateTime(2026, 13, 1, 0, 0, 0).IsValid());
  EXPECT_EQ(CTavDateTime(2026, 2, 29, 0, 0, 0).Format(), wxString());
}

namespace {
// The user's number format for one test, as start-up would set it.
struct UserFormat {
  explicit UserFormat(const CGridNumberFormat& f) { CGridNumberFormat::SetUser(f); }
  ~UserFormat() { CGridNumberFormat::SetUser(CGridNumberFormat::Fixed()); }
};
}  // namespace

TEST(GridCell, NumbersInTheUsersFormatWhereverCellsShowAndReadThem) {
  CGridNumberFormat german;
  german.decimal = wxS(",");
  german.thousands = wxS(".");
  german.currency = wxString::FromUTF8("€");
  {
    UserFormat user(german);
    CGridCell cell;
    cell.SetNumber(2.5);
    EXPECT_EQ(cell.GetText(), wxS("2,5"));
    cell.SetNumber(0.1);
    EXPECT_EQ(cell.GetText(), wxS("0,1"));  // the shortest form, never noise
    cell.SetNumber(1234567);
    EXPECT_EQ(cell.GetText(), wxS("1234567"));
    EXPECT_DOUBLE_EQ(CGridCell::ParseNumber(wxS("2,5")), 2.5);
    // Through the grid: an edited number cell reads "2,5" and shows it back the same way.
    RecordingGrid g;
    CGridCell number;
    number.SetNumber(0);
    g.SetCell(1, 1, number);
    ASSERT_EQ(g.StartEdit(1, 1), 0);
    EXPECT_EQ(g.EditorKeyDown(WXK_RETURN, 0, wxS("2,5"), 3, 3, 3), 2);
    CGridCell stored;
    g.GetCell(1, 1, stored);
    EXPECT_EQ(stored.GetDataType(), gridcell::kNumber);
    EXPECT_DOUBLE_EQ(stored.GetNumber(), 2.5);
    EXPECT_EQ(g.GetCellText(1, 1), wxS("2,5"));
  }
  CGridCell cell;
  cell.SetNumber(2.5);
  EXPECT_EQ(cell.GetText(), wxS("2.5"));
  EXPECT_DOUBLE_EQ(CGridCell::ParseNumber(wxS("2.5")), 2.5);
  // The "C" locale and a locale that is not there both give the fixed record.
  EXPECT_EQ(CGridNumberFormat::FromLocale("C"), CGridNumberFormat::Fixed());
  EXPECT_EQ(CGridNumberFormat::FromLocale("xx_NOWHERE.UTF-8"), CGridNumberFormat::Fixed());
}
