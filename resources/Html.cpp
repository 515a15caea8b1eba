#include "resources/Html.h"

#include <string_view>

#include "model/ObjectSupport.h"
#include "platform/Paths.h"
#include "resources/HtmlFolder.h"

CPOHtml::CPOHtml(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

wxString CPOHtml::GetPath() const {
  const auto* folder = dynamic_cast<const CPOHtmlFolder*>(GetParent());
  const wxString base = folder ? folder->GetPath() : DeviceSubFolder(GetDevice(), wxS("Web"));
  return base.empty() ? wxString() : hv::ResolvePath(hv::JoinPath(base, GetName()));
}

wxString CPOHtml::GetColumnText(int column) {
  if (column == 1) return FormatFileTime(m_time);
  return CProjectObject::GetColumnText(column);
}

int CPOHtml::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  if (column != 0 && column != 1) return 0;
  if (std::string_view(other->ClassName()) == CPOHtmlFolder::kClassName) return 1;
  if (column == 0) return CProjectObject::Compare(other, column);
  const auto* o = dynamic_cast<const CPOHtml*>(other);
  return o ? CompareValues(m_time, o->m_time) : 0;
}

BOOL CPOHtml::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
