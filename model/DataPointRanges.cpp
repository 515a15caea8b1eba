#include "model/DataPointSheet.h"

namespace dpsheet {

RangesControls RangesState(const DataPointSheetRequest& sheet) {
  RangesControls c;
  const WORD caps = sheet.values.capabilities;
  const bool readable = caps & 0x1, writable = caps & 0x6;
  const bool text = IsTextType(sheet.dp.type);
  c.read = readable;
  c.write = writable;
  c.readWrite = readable && writable;
  c.persistent = caps & 0x100;
  c.retain = caps & 0x200;
  c.ranges = !text;
  const DpInit init = InitOf(sheet.values.access);
  c.alwaysChecked = init == DpInit::Always;
  c.start = init == DpInit::Always && !text;
  if (NoStartValue(sheet.dp.address)) {
    c.start = false;
    c.startDefault = true;
  }
  // A point the controller cannot initialise has no start value at all.
  if (caps & 0x40) {
    c.start = false;
    c.startDefault = false;
    c.startEmptied = true;
    c.always = false;
    c.alwaysChecked = false;
    if (!(readable && writable)) c.ranges = c.read = c.write = c.readWrite = false;
  }
  return c;
}

bool StartEnabledAfterClick(int id, DWORD type, bool noStartValue) {
  // The stored and the battery-buffered value replace the start value.
  if (id == 1186 || id == 1188) return false;
  return !noStartValue && type != 0x100 && type < 0x2000;
}

RangeEditor RangeEditorFor(DWORD type) {
  if (IsTextType(type)) return {};
  switch (type) {
    case 0x400: return {RangeEditor::Date};
    case 0x200: return {RangeEditor::Time};
    case 1: return {RangeEditor::Number, 4, 0, -128, 127};
    case 2: return {RangeEditor::Number, 3, 0, 0, 255};
    case 4: return {RangeEditor::Number, 1, 0, 0, 1};
    case 8: return {RangeEditor::Number, 6, 0, -32768, 32767};
    case 0x10: return {RangeEditor::Number, 5, 0, 0, 65535};
    case 0x20: return {RangeEditor::Number, 11, 0, -2147483647.0, 2147483647.0};
    case 0x40: return {RangeEditor::Number, 10, 0, 0, 4294967295.0};
    case 0x80: return {RangeEditor::Number, 16, 6, -3.4028234663852886e+38, 3.4028234663852886e+38};
    default: return {};   // no limits of its own: left as typed
  }
}

}  // namespace dpsheet
