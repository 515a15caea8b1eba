#include "build/CoDeSys.h"

#include "model/ObjectSupport.h"

CPOCoDeSys::CPOCoDeSys(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

BOOL CPOCoDeSys::Download(BOOL, int* error) {
  if (error) *error = CODESYS_NO_CONFIGURATION;
  return FALSE;
}

wxString CPOCoDeSys::GetColumnText(int column) {
  if (column == 1) return FormatFileTime(m_time);
  return CProjectObject::GetColumnText(column);
}

int CPOCoDeSys::Compare(const CProjectObject* other, int column) {
  const auto* o = dynamic_cast<const CPOCoDeSys*>(other);
  if (o && column == 1) return CompareValues(m_time, o->m_time);
  return CProjectObject::Compare(other, column);
}

BOOL CPOCoDeSys::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
