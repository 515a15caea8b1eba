#include "app/ViewHooks.h"

#include "model/ProjectObject.h"

namespace {

CProjectObject* FindKind(CProjectObject* object, TypeCode code) {
  for (CProjectObject* o = object; o; o = o->GetParent())
    if (o->GetTypeCode() == code) return o;
  return nullptr;
}

}  // namespace

CProjectObject* FindProjectObject(CProjectObject* object) { return FindKind(object, TypeCode::Project); }
CProjectObject* FindDeviceObject(CProjectObject* object) { return FindKind(object, TypeCode::PrjDevice); }
