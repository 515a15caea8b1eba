#include "build/PrgProGRIPS.h"

#include "model/ObjectSupport.h"
#include "platform/Localization.h"

CPOPrgProGRIPS::CPOPrgProGRIPS() { SetName(hv::LocalString(10973, wxS("ProGRIPS-Programme"))); }

CPOPrgProGRIPS::CPOPrgProGRIPS(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  SetName(hv::LocalString(10973, wxS("ProGRIPS-Programme")));
  PlaceBelow(*this, parent, device);
}

std::span<ColumnDef> CPOPrgProGRIPS::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::PrgProGRIPS); }

BOOL CPOPrgProGRIPS::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  return CreateGroupingNode<CPOPrgProGRIPS>(parent, device);
}
