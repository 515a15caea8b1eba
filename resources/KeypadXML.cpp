#include "resources/KeypadXML.h"

#include "model/ObjectSupport.h"

CPOKeypadXML::CPOKeypadXML(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

void CPOKeypadXML::SetFile(const wxString& path, std::int64_t time, std::uint32_t size) {
  m_path = path;
  m_fileTime = time;
  m_fileSize = size;
}

wxString CPOKeypadXML::GetColumnText(int column) {
  switch (column) {
    case 3: return FormatSizeKB(m_fileSize);
    case 4: return FormatFileTime(m_fileTime);
    default: return CProjectObject::GetColumnText(column);
  }
}

int CPOKeypadXML::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  const auto* o = dynamic_cast<const CPOKeypadXML*>(other);
  if (o && column == 3) return CompareValues(m_fileSize, o->m_fileSize);
  if (o && column == 4) return CompareValues(m_fileTime, o->m_fileTime);
  return CProjectObject::Compare(other, column);
}

BOOL CPOKeypadXML::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
