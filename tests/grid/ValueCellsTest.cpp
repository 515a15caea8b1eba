#include <gtest/gtest.h>

#include "grid/ValueCells.h"

using namespace valuecells;

namespace {

valuecells::Setup Range(int kind, double lo, double hi, const char* message = "Wert ausserhalb") {
  valuecells::Setup s;
  s.kind = kind;
  s.minimum = lo;
  s.maximum = hi;
  s.text = wxS("1");
  s.message = wxString::FromUTF8(message);
  return s;
}

}  // namespace

TEST(ValueCells, SetupByKind) {
  const CGridCell text = MakeCell(Range(1, 0, 0), 5, 4);
  EXPECT_EQ(text.GetDataType(), gridcell::kText);
  EXPECT_EQ(text.GetIndex(), kEditMarker);
  EXPECT_EQ(text.GetReadOnly(), 0);

  const CGridCell readOnly = MakeCell(Range(6, 0, 0), 5, 4);
  EXPECT_FALSE(readOnly.IsSet(gridcell::kIndex));
  EXPECT_EQ(readOnly.GetReadOnly(), 1);
  EXPECT_FALSE(IsEditable(readOnly, false));

  // The unsigned maximum stays positive.
  const CGridCell number = MakeCell(Range(2, -5, 4294967295.0), 5, 4);
  EXPECT_EQ(number.GetDataType(), gridcell::kNumber);
  EXPECT_EQ(number.GetExtraNumber1(), -5.0);
  EXPECT_EQ(number.GetExtraNumber2(), 4294967295.0);

  valuecells::Setup spin = Range(1, 0, 0);
  spin.typeCode = kCodeSpin;
  EXPECT_EQ(MakeCell(spin, 5, 4).GetCellTypeIndex(), 5);
  spin.typeCode = kCodePicker;
  EXPECT_EQ(MakeCell(spin, 5, 4).GetCellTypeIndex(), 4);
  // A type that failed to register is never named.
  EXPECT_EQ(MakeCell(spin, 5, -1).GetCellTypeIndex(), 0);
}

TEST(ValueCells, RangeCheckAtTheCellsPrecision) {
  valuecells::Setup fs = Range(9, 0.5, 1.5);
  fs.text = wxS("1.25");
  const CGridCell f = MakeCell(fs, -1, -1);
  EXPECT_EQ(f.GetText(), wxS("1.25"));
  EXPECT_EQ(CheckEdit(f, false, false, wxS("1.5"), false), Check::kAccept);
  EXPECT_EQ(CheckEdit(f, false, false, wxS("1.51"), false), Check::kRefuseWithMessage);
  // The float bound 0.1f is slightly above 0.1: "0.1" must still pass.
  const CGridCell tenth = MakeCell(Range(9, 0.1, 2.0), -1, -1);
  EXPECT_EQ(CheckEdit(tenth, false, false, wxS("0.1"), false), Check::kAccept);
  EXPECT_EQ(CheckEdit(tenth, false, false, wxS("0.09"), false), Check::kRefuseWithMessage);
  // Text that is no number is refused, not read as 0.
  const CGridCell withZero = MakeCell(Range(2, 0, 10), -1, -1);
  EXPECT_EQ(CheckEdit(withZero, false, false, wxS("abc"), false), Check::kRefuseWithMessage);
  EXPECT_EQ(CheckEdit(withZero, false, false, wxS("5x"), false), Check::kRefuseWithMessage);
  EXPECT_EQ(CheckEdit(withZero, false, false, wxS(" 7 "), false), Check::kAccept);
  // A cancelled edit always passes; a cell without bounds takes anything.
  EXPECT_EQ(CheckEdit(withZero, false, false, wxS("abc"), true), Check::kAccept);
  EXPECT_EQ(CheckEdit(MakeCell(Range(1, 0, 0), -1, -1), false, false, wxS("abc"), false), Check::kAccept);
}

TEST(ValueCells, DatesAndTimesAreCheckedSilently) {
  const CGridCell cell = MakeCell(Range(1, 0, 0), -1, -1);
  EXPECT_EQ(CheckEdit(cell, true, false, wxS("24.12.2026"), false), Check::kAccept);
  EXPECT_EQ(CheckEdit(cell, true, false, wxS("32.12.2026"), false), Check::kRefuseSilently);
  EXPECT_EQ(CheckEdit(cell, false, true, wxS("12:30:00"), false), Check::kAccept);
  EXPECT_EQ(CheckEdit(cell, false, true, wxS("25:00"), false), Check::kRefuseSilently);
}

TEST(ValueCells, PickerCellsStayEditableWithoutTheMarker) {
  CGridCell cell = MakeCell(Range(1, 0, 0), -1, 4);
  cell.SetIndex(0);  // what opening the calendar does
  EXPECT_FALSE(IsEditable(cell, false));
  EXPECT_TRUE(IsEditable(cell, true));
}

TEST(ValueCells, SetCellValueByFlags) {
  CGridCell cell;
  EXPECT_TRUE(SetCellValue(cell, 64, wxS("4294967295")));
  EXPECT_EQ(cell.GetNumber(), 4294967295.0);
  EXPECT_TRUE(SetCellValue(cell, 128, wxS("2.5")));
  EXPECT_EQ(cell.GetDataType(), gridcell::kFloat);
  EXPECT_EQ(cell.GetNumber(), 2.5);
  EXPECT_TRUE(SetCellValue(cell, 0, wxS("frei")));
  EXPECT_EQ(cell.GetText(), wxS("frei"));
  // A 32-bit value that does not fit is refused and the cell kept.
  EXPECT_FALSE(SetCellValue(cell, 32, wxS("4294967296")));
  EXPECT_EQ(cell.GetText(), wxS("frei"));
  EXPECT_TRUE(SetCellValue(cell, 32, wxS("-2147483648")));
  EXPECT_EQ(cell.GetNumber(), -2147483648.0);
  EXPECT_FALSE(SetCellValue(cell, 1, wxS("12abc")));
}

TEST(ValueCells, SpinStepsTheFieldUnderTheCaretWithoutWrapping) {
  CGridCell cell;
  cell.SetText(wxS("23:00:59"));
  EXPECT_FALSE(SpinStep(cell, 0, true));  // 24 hours do not exist
  EXPECT_EQ(cell.GetText(), wxS("23:00:59"));
  EXPECT_FALSE(SpinStep(cell, 4, false));  // 0 minutes minus one
  EXPECT_FALSE(SpinStep(cell, 7, true));   // seconds do not carry
  EXPECT_TRUE(SpinStep(cell, 1, false));
  EXPECT_EQ(cell.GetText(), wxS("22:00:59"));
  EXPECT_TRUE(SpinStep(cell, 3, true));
  EXPECT_EQ(cell.GetText(), wxS("22:01:59"));
  EXPECT_TRUE(SpinStep(cell, 6, false));
  EXPECT_EQ(cell.GetText(), wxS("22:01:58"));
}
