#include "resources/Mask.h"

#include "model/ObjectSupport.h"

CPOMask::CPOMask(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

std::span<ColumnDef> CPOMask::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::Mask); }

wxString CPOMask::GetColumnText(int column) {
  switch (column) {
    case 1: return wxString::Format(wxS("%lu"), static_cast<unsigned long>(m_header.screenId));
    case 2: return FormatLogicalId(m_header.logicalId);
    case 3: return m_header.title;
    case 4: return m_header.autoOpen ? wxS("x") : wxString();
    case 5: return m_header.focus ? wxS("o") : wxString();
    default: return CProjectObject::GetColumnText(column);
  }
}

int CPOMask::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  const auto* o = dynamic_cast<const CPOMask*>(other);
  if (!o) return CProjectObject::Compare(other, column);
  const Header& a = m_header;
  const Header& b = o->m_header;
  switch (column) {
    case 1: return CompareValues(a.screenId, b.screenId);
    case 2: return CompareValues(a.logicalId, b.logicalId);
    case 3: return a.title.Cmp(b.title) < 0 ? -1 : (a.title == b.title ? 0 : 1);
    case 4: return CompareValues(a.autoOpen != 0, b.autoOpen != 0);
    case 5: return CompareValues(a.focus != 0, b.focus != 0);
    default: return CProjectObject::Compare(other, column);
  }
}

wxString CPOMask::GetListCaption() { return wxS("Elemente der Maske '") + GetName() + wxS("'"); }

BOOL CPOMask::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
