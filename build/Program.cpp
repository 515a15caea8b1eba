#include "build/Program.h"

#include "build/PrgCoDeSys.h"
#include "model/ObjectSupport.h"
#include "platform/Localization.h"

CPOProgram::CPOProgram() { SetName(hv::LocalString(10971, wxS("Programme"))); }

CPOProgram::CPOProgram(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  SetName(hv::LocalString(10971, wxS("Programme")));
  PlaceBelow(*this, parent, device);
}

BOOL CPOProgram::HasListChildren() {
  if (!GetDevice()) return FALSE;
  CPOPrgCoDeSys codesys(this, GetDevice());
  return codesys.HasListChildren();
}

BOOL CPOProgram::LoadChildren() {
  ChildPool pool(*this);
  std::unique_ptr<CProjectObject> codesys = pool.TakeType(TypeCode::PrgCoDeSys);
  const bool reused = codesys != nullptr;
  if (!codesys) codesys = std::make_unique<CPOPrgCoDeSys>(this, GetDevice());
  if (codesys->HasListChildren()) AddChild(std::move(codesys));
  else if (reused) Dispose(std::move(codesys));
  else Discard(std::move(codesys));
  return TRUE;
}

BOOL CPOProgram::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  return CreateGroupingNode<CPOProgram>(parent, device);
}
