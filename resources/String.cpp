#include "resources/String.h"

#include "model/DeviceServices.h"
#include "model/ObjectSupport.h"
#include "resources/ResString.h"

CPOString::CPOString(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

wxString CPOString::GetText(WORD language) {
  if (language == devsvc::DefaultLanguage(GetProject())) return GetName();
  auto it = m_texts.find(language);
  return it == m_texts.end() ? wxString() : it->second;
}

wxString CPOString::GetColumnText(int column) {
  switch (column) {
    case 0: return GetName();
    case 1: return wxString::Format(wxS("%lu"), static_cast<unsigned long>(m_number));
    case 2: return FormatLogicalId(m_logicalId);
    default: {
      auto* folder = dynamic_cast<CPOResString*>(GetParent());
      WORD language = 0;
      if (!folder || !folder->LanguageOfColumn(column, language)) return wxString();
      return GetText(language);
    }
  }
}

int CPOString::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  const auto* o = dynamic_cast<const CPOString*>(other);
  if (!o) return CProjectObject::Compare(other, column);
  switch (column) {
    case 1: return CompareValues(m_number, o->m_number);
    case 2: return CompareValues(m_logicalId, o->m_logicalId);
    case 0: return CProjectObject::Compare(other, column);
    default: {
      const wxString a = GetColumnText(column);
      const wxString b = const_cast<CPOString*>(o)->GetColumnText(column);
      return a.CmpNoCase(b);
    }
  }
}

BOOL CPOString::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
