#include "processdata/ADefFolder.h"

#include "model/ObjectSupport.h"
#include "platform/Localization.h"

CPOADefFolder::CPOADefFolder() { SetName(hv::LocalString(10969, wxS("Alarmdefinitionen"))); }

CPOADefFolder::CPOADefFolder(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  SetName(hv::LocalString(10969, wxS("Alarmdefinitionen")));
  PlaceBelow(*this, parent, device);
}

std::span<ColumnDef> CPOADefFolder::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::ADefFolder); }

BOOL CPOADefFolder::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  return CreateGroupingNode<CPOADefFolder>(parent, device);
}
