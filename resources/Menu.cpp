#include "resources/Menu.h"

#include "model/ObjectSupport.h"

CPOMenu::CPOMenu(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

BOOL CPOMenu::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
