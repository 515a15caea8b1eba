#include "model/FieldBusRecords.h"

namespace hv {
namespace {

void Text(Archive& ar, wxString& text, size_t width) {
  if (ar.IsStoring()) {
    ar.WriteString(text.Left(width), false);
  } else {
    text = ar.ReadString().Left(width);
  }
}

void U16(Archive& ar, std::uint16_t& v) {
  if (ar.IsStoring()) ar.WriteU16(v);
  else v = ar.ReadU16();
}

void U32(Archive& ar, std::uint32_t& v) {
  if (ar.IsStoring()) ar.WriteU32(v);
  else v = ar.ReadU32();
}

}  // namespace

void ArchiveDeviceRecord(Archive& ar, db::GeraetRow& row) {
  Text(ar, row.name, 48);
  U16(ar, row.number);
  U16(ar, row.network);
  Text(ar, row.type, 8);
  Text(ar, row.node, 10);
  Text(ar, row.param, 255);
  U16(ar, row.marker);
  for (wxString& t : row.texts) Text(ar, t, 30);
}

// The name travels too: a pasted point without its name could not be told apart.
void ArchiveDataPointRecord(Archive& ar, db::DatpktRow& row) {
  U32(ar, row.id);
  Text(ar, row.name, 30);
  Text(ar, row.description, 48);
  Text(ar, row.address, 48);
  U16(ar, row.type);
  U16(ar, row.device);
  U16(ar, row.access);
  U16(ar, row.pickerAccess);
  U32(ar, row.value32);
  U16(ar, row.logId);
  Text(ar, row.unit, 20);
  Text(ar, row.measMin, 16);
  Text(ar, row.measMax, 16);
  Text(ar, row.start, 16);
  Text(ar, row.sigMin, 16);
  Text(ar, row.sigMax, 16);
  for (wxString& t : row.free) Text(ar, t, 30);
}

}  // namespace hv
