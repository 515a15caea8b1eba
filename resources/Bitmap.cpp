#include "resources/Bitmap.h"

#include "model/ObjectSupport.h"

CPOBitmap::CPOBitmap(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

wxString CPOBitmap::GetColumnText(int column) {
  switch (column) {
    case 1: return m_listing.recordNumber ? wxString::Format(wxS("%lu"), static_cast<unsigned long>(m_listing.recordNumber)) : wxString();
    case 2: return FormatLogicalId(m_listing.logicalId);
    case 3: return FormatSizeKB(m_listing.fileSize);
    case 4: return FormatFileTime(m_listing.fileTime);
    case 5: return m_listing.dimension;
    case 6: return m_listing.colours;
    default: return CProjectObject::GetColumnText(column);
  }
}

int CPOBitmap::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  const auto* o = dynamic_cast<const CPOBitmap*>(other);
  if (!o) return CProjectObject::Compare(other, column);
  const Listing& a = m_listing;
  const Listing& b = o->m_listing;
  switch (column) {
    case 1: return CompareValues(a.recordNumber, b.recordNumber);
    case 2: return CompareValues(a.logicalId, b.logicalId);
    case 3: return CompareValues(a.fileSize, b.fileSize);
    case 4: return CompareValues(a.fileTime, b.fileTime);
    case 5: return CompareValues(a.dimension, b.dimension);
    case 6: {
      long x = 0;
      long y = 0;
      a.colours.ToCLong(&x);
      b.colours.ToCLong(&y);
      return CompareValues(x, y);
    }
    default: return CProjectObject::Compare(other, column);
  }
}

BOOL CPOBitmap::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
