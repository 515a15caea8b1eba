#include "processdata/RDefFolder.h"

#include "model/ObjectSupport.h"
#include "platform/Localization.h"

CPORDefFolder::CPORDefFolder() { SetName(hv::LocalString(10970, wxS("Rezeptdefinitionen"))); }

CPORDefFolder::CPORDefFolder(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  SetName(hv::LocalString(10970, wxS("Rezeptdefinitionen")));
  PlaceBelow(*this, parent, device);
}

BOOL CPORDefFolder::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  return CreateGroupingNode<CPORDefFolder>(parent, device);
}
