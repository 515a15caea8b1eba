#include "resources/ResMenu.h"

#include "model/ObjectSupport.h"
#include "platform/Localization.h"

CPOResMenu::CPOResMenu() { SetName(hv::LocalString(10966, wxS("Menüs"))); }

CPOResMenu::CPOResMenu(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  SetName(hv::LocalString(10966, wxS("Menüs")));
  PlaceBelow(*this, parent, device);
}

std::span<ColumnDef> CPOResMenu::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::ResMenu); }

BOOL CPOResMenu::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  return CreateGroupingNode<CPOResMenu>(parent, device);
}
