#include "processdata/AlarmDef.h"

#include "model/ObjectSupport.h"

CPOAlarmDef::CPOAlarmDef(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

BOOL CPOAlarmDef::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
