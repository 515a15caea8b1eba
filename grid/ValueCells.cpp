#include "grid/ValueCells.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "grid/TavDateTime.h"

namespace valuecells {

namespace {

std::string Trimmed(const wxString& text) {
  wxString t = text;
  t.Trim(true).Trim(false);
  return std::string(t.utf8_str().data());
}

template <class T>
bool ParseInteger(const wxString& text, T& value) {
  const std::string s = Trimmed(text);
  const char* first = s.data();
  if (!s.empty() && s[0] == '+') ++first;
  const auto [end, ec] = std::from_chars(first, s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size() && first != end;
}

}  // namespace

bool ParseWhole(const wxString& text, double& value) {
  const std::string s = Trimmed(text);
  const char* first = s.data();
  if (!s.empty() && s[0] == '+') ++first;
  const auto [end, ec] = std::from_chars(first, s.data() + s.size(), value, std::chars_format::fixed);
  return ec == std::errc() && end == s.data() + s.size() && first != end && std::isfinite(value);
}

CGridCell MakeCell(const Setup& setup, int spinIndex, int pickerIndex) {
  CGridCell cell;
  cell.SetText(setup.text);
  cell.SetExtraText(setup.message);
  cell.SetBackColour(setup.last);
  cell.SetReadOnly(setup.kind == 6 ? 1 : 0);
  if (setup.kind != 6) cell.SetIndex(kEditMarker);
  if (setup.kind == 9) {
    double value = 0.0;
    if (ParseWhole(setup.text, value)) cell.SetNumber(value);
    cell.SetDataType(gridcell::kFloat);
    // Single-precision bounds, kept exactly as the float values they are.
    cell.SetExtraNumber1(static_cast<double>(static_cast<float>(setup.minimum)));
    cell.SetExtraNumber2(static_cast<double>(static_cast<float>(setup.maximum)));
  } else if (setup.kind != 1 && setup.kind != 6) {
    cell.SetDataType(static_cast<std::uint16_t>(setup.kind));
    cell.SetExtraNumber1(static_cast<double>(static_cast<std::int32_t>(setup.minimum)));
    cell.SetExtraNumber2(static_cast<double>(static_cast<std::uint32_t>(static_cast<long long>(setup.maximum))));
  }
  int type = setup.typeCode;
  if (type == kCodeSpin) type = spinIndex;
  if (type == kCodePicker) type = pickerIndex;
  cell.SetCellTypeIndex(type > 0 ? type : 0);
  return cell;
}

bool SetCellValue(CGridCell& cell, int flags, const wxString& text) {
  switch (flags) {
    case 1: case 2: case 4: case 8: case 16: case 32: {
      std::int32_t v = 0;
      if (!ParseInteger(text, v)) return false;
      cell.SetNumber(v);
      cell.SetDataType(gridcell::kNumber);
      return true;
    }
    case 64: {
      std::uint32_t v = 0;
      if (!ParseInteger(text, v)) return false;
      cell.SetNumber(static_cast<double>(v));
      cell.SetDataType(gridcell::kNumber);
      return true;
    }
    case 128: {
      double v = 0.0;
      if (!ParseWhole(text, v)) return false;
      cell.SetNumber(v);
      cell.SetDataType(gridcell::kFloat);
      return true;
    }
    default:
      cell.SetText(text);
      return true;
  }
}

bool IsEditable(const CGridCell& cell, bool pickerCell) {
  if (pickerCell) return true;
  return cell.IsSet(gridcell::kIndex) && cell.GetIndex() == kEditMarker;
}

Check CheckEdit(const CGridCell& cell, bool pickerCell, bool spinCell, const wxString& text, bool cancelled) {
  if (cancelled) return Check::kAccept;
  if (pickerCell) {
    CTavDateTime d;
    return d.ParseDateTime(text, CTavDateTime::kDateValueOnly) ? Check::kAccept : Check::kRefuseSilently;
  }
  if (spinCell) {
    CTavDateTime d;
    return d.ParseDateTime(text) && d.GetDate() < 1.0 ? Check::kAccept : Check::kRefuseSilently;
  }
  if (!cell.IsSet(gridcell::kExtraNumber1) || !cell.IsSet(gridcell::kExtraNumber2)) return Check::kAccept;
  double value = 0.0;
  if (!ParseWhole(text, value)) return Check::kRefuseWithMessage;
  const double lo = cell.GetExtraNumber1(), hi = cell.GetExtraNumber2();
  bool inside;
  if (cell.GetDataType() == gridcell::kFloat) {
    // A float cell holds single precision: "0.1" is the bound 0.1f, not below it.
    const float v = static_cast<float>(value);
    inside = v >= static_cast<float>(lo) && v <= static_cast<float>(hi);
  } else {
    inside = value >= lo && value <= hi;
  }
  return inside ? Check::kAccept : Check::kRefuseWithMessage;
}

bool SpinStep(CGridCell& cell, int caret, bool up) {
  CTavDateTime d;
  if (!d.ParseDateTime(cell.GetText())) return false;
  int y, mo, da, h, mi, s;
  if (!d.GetParts(y, mo, da, h, mi, s)) return false;
  const int delta = up ? 1 : -1;
  if (caret <= 2) {
    h += delta;
  } else if (caret <= 5) {
    mi += delta;
  } else {
    s += delta;
  }
  if (h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59) return false;
  if (d.GetDate() < 1.0 && d.GetDate() >= 0.0) {
    // A time alone stays a time text, so the caret fields keep their places.
    cell.SetText(wxString::Format(wxS("%02d:%02d:%02d"), h, mi, s));
  } else {
    cell.SetDateTime(y, mo, da, h, mi, s);
  }
  return true;
}

}  // namespace valuecells
