#include "resources/Font.h"

#include "model/ObjectSupport.h"

CPOFont::CPOFont(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

int CPOFont::GetImage() {
  const wxString& name = GetName();
  return name.Lower().EndsWith(wxS("ttf")) || name.Find('.') == wxNOT_FOUND ? 42 : 9;
}

wxString CPOFont::GetColumnText(int column) {
  switch (column) {
    case 1: return m_listing.recordNumber ? wxString::Format(wxS("%lu"), static_cast<unsigned long>(m_listing.recordNumber)) : wxString();
    case 2: return FormatLogicalId(m_listing.logicalId);
    case 3: return FormatSizeKB(m_listing.fileSize);
    case 4: return FormatFileTime(m_listing.fileTime);
    default: return CProjectObject::GetColumnText(column);
  }
}

int CPOFont::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  const auto* o = dynamic_cast<const CPOFont*>(other);
  if (!o) return CProjectObject::Compare(other, column);
  switch (column) {
    case 1: return CompareValues(m_listing.recordNumber, o->m_listing.recordNumber);
    case 2: return CompareValues(m_listing.logicalId, o->m_listing.logicalId);
    case 3: return CompareValues(m_listing.fileSize, o->m_listing.fileSize);
    case 4: return CompareValues(m_listing.fileTime, o->m_listing.fileTime);
    default: return CProjectObject::Compare(other, column);
  }
}

BOOL CPOFont::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
