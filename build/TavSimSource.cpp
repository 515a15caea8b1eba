#include "build/TavSimSource.h"

#include "model/ObjectSupport.h"

CPOTavSimSource::CPOTavSimSource(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

BOOL CPOTavSimSource::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
