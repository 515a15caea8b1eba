#include "build/ProGRIPS.h"

#include "model/ObjectSupport.h"

CPOProGRIPS::CPOProGRIPS(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

BOOL CPOProGRIPS::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
