#include "model/DataPointFields.h"

namespace {

wxString Trimmed(wxString s) {
  s.Trim(true);
  return s;
}

}  // namespace

void FillRow(hv::db::DatpktRow& row, const DataPointFields& f, const DataPointExtra& x, std::uint16_t deviceNumber) {
  row.name = f.name.Left(30);
  row.description = f.description.Left(48);
  row.address = f.address.Left(48);
  row.type = static_cast<std::uint16_t>(f.type & 0xFFFF);
  row.device = deviceNumber;
  row.logId = f.logicalId;
  row.unit = x.unit.Left(20);
  row.start = x.start.Left(16);
  row.sigMin = x.sigMin.Left(16);
  row.sigMax = x.sigMax.Left(16);
  row.measMin = x.measMin.Left(16);
  row.measMax = x.measMax.Left(16);
  row.access = x.access;
  row.pickerAccess = x.capabilities;
  row.value32 = x.value32;
  for (size_t i = 0; i < row.free.size(); ++i) row.free[i] = x.free[i].Left(30);
}

void ReadRow(const hv::db::DatpktRow& row, DataPointFields& f, DataPointExtra& x) {
  f.name = Trimmed(row.name);
  f.id = row.id;
  f.description = Trimmed(row.description);
  f.address = Trimmed(row.address);
  f.type = row.type;
  f.logicalId = row.logId;
  f.readable = (row.access & 1) ? TRUE : FALSE;
  x.unit = Trimmed(row.unit);
  const bool text = IsTextType(row.type);
  x.start = text ? wxString() : Trimmed(row.start);
  x.sigMin = text ? wxString() : Trimmed(row.sigMin);
  x.sigMax = text ? wxString() : Trimmed(row.sigMax);
  x.measMin = text ? wxString() : Trimmed(row.measMin);
  x.measMax = text ? wxString() : Trimmed(row.measMax);
  x.access = row.access;
  x.capabilities = row.pickerAccess;
  x.value32 = row.value32;
  for (size_t i = 0; i < row.free.size(); ++i) x.free[i] = Trimmed(row.free[i]);
}

void ArchiveDataPointRecord(hv::Archive& ar, hv::db::DatpktRow& row) {
  struct Text {
    wxString* text;
    size_t width;
  };
  const Text head[] = {{&row.description, 48}, {&row.address, 48}};
  const Text tail[] = {{&row.unit, 20},   {&row.measMin, 16}, {&row.measMax, 16}, {&row.name, 30},
                       {&row.start, 16},  {&row.sigMin, 16},  {&row.sigMax, 16},  {&row.free[0], 30},
                       {&row.free[1], 30}, {&row.free[2], 30}, {&row.free[3], 30}, {&row.free[4], 30},
                       {&row.free[5], 30}};
  if (ar.IsStoring()) {
    ar.WriteU32(row.id);
    for (const Text& t : head) ar.WriteString(*t.text, false);
    ar.WriteU16(row.type);
    ar.WriteU16(row.device);
    ar.WriteU16(row.access);
    ar.WriteU16(row.pickerAccess);
    ar.WriteU32(row.value32);
    ar.WriteU16(row.logId);
    for (const Text& t : tail) ar.WriteString(*t.text, false);
    return;
  }
  row.id = ar.ReadU32();
  for (const Text& t : head) *t.text = ar.ReadString().Left(t.width);
  row.type = ar.ReadU16();
  row.device = ar.ReadU16();
  row.access = ar.ReadU16();
  row.pickerAccess = ar.ReadU16();
  row.value32 = ar.ReadU32();
  row.logId = ar.ReadU16();
  for (const Text& t : tail) *t.text = ar.ReadString().Left(t.width);
}
