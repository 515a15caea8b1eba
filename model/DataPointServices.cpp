#include "model/DataPointServices.h"

#include "model/DirectDataPoint.h"

std::unique_ptr<CProjectObject> CDataPointConversion::Convert(CProjectObject& object, CProjectObject& target) {
  auto* source = dynamic_cast<CPODataPoint*>(&object);
  if (!source) return nullptr;
  std::unique_ptr<CPODataPoint> made;
  if (target.GetTypeCode() == TypeCode::PrjDataPoint)
    made = std::make_unique<CPODirectDataPoint>(&target, target.GetDevice());
  else if (target.GetTypeCode() == TypeCode::Device)
    made = std::make_unique<CPODataPoint>(&target, target.GetDevice());
  else
    return nullptr;
  made->SetFields(source->Fields());
  made->SetName(source->GetName());
  return made;
}
