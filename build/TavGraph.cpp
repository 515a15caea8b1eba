#include "build/TavGraph.h"

#include "model/ObjectSupport.h"

CPOTavGraph::CPOTavGraph(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

BOOL CPOTavGraph::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
