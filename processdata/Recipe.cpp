#include "processdata/Recipe.h"

#include "model/ObjectSupport.h"

CPORecipe::CPORecipe(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

BOOL CPORecipe::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) {
  ShowNotAvailable(GetTypeCode());
  return FALSE;
}
