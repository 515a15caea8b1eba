#include "resources/Pal.h"

#include "model/ObjectSupport.h"

CPOPal::CPOPal(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

CPOResPal::CPOResPal(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}
