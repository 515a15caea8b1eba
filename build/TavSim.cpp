#include "build/TavSim.h"

#include "model/ObjectSupport.h"

CPOTavSim::CPOTavSim(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

std::span<ColumnDef> CPOTavSim::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::TavSim); }

BOOL CPOTavSim::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
