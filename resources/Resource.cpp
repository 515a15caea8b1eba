#include "resources/Resource.h"

#include <functional>

#include "model/ObjectSupport.h"
#include "platform/Localization.h"
#include "resources/ResBitmap.h"
#include "resources/ResFont.h"
#include "resources/ResKeypad.h"
#include "resources/ResMask.h"
#include "resources/ResString.h"

namespace {

using FolderMaker = std::function<std::unique_ptr<CProjectObject>(CProjectObject*, CPOPrjDevice*)>;

template <class T>
FolderMaker Maker() {
  return [](CProjectObject* parent, CPOPrjDevice* device) { return std::make_unique<T>(parent, device); };
}

struct FolderKind {
  TypeCode code;
  FolderMaker make;
};

// The folders in the order they are listed.
const std::vector<FolderKind>& Folders() {
  static const std::vector<FolderKind> folders = {
      {TypeCode::ResMask, Maker<CPOResMask>()},     {TypeCode::ResBitmap, Maker<CPOResBitmap>()},
      {TypeCode::ResFont, Maker<CPOResFont>()},     {TypeCode::ResString, Maker<CPOResString>()},
      {TypeCode::ResKeypad, Maker<CPOResKeypad>()},
  };
  return folders;
}

}  // namespace

CPOResource::CPOResource() { SetName(hv::LocalString(10961, wxS("Ressourcen"))); }

CPOResource::CPOResource(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  SetName(hv::LocalString(10961, wxS("Ressourcen")));
  PlaceBelow(*this, parent, device);
}

BOOL CPOResource::HasTreeChildren() {
  if (!GetDevice()) return FALSE;
  for (const FolderKind& kind : Folders()) {
    std::unique_ptr<CProjectObject> probe = kind.make(this, GetDevice());
    const BOOL has = probe->HasListChildren();
    Discard(std::move(probe));
    if (has) return TRUE;
  }
  return FALSE;
}

BOOL CPOResource::LoadChildren() {
  ChildPool pool(*this);
  for (const FolderKind& kind : Folders()) {
    std::unique_ptr<CProjectObject> folder = pool.TakeType(kind.code);
    const bool reused = folder != nullptr;
    if (!folder) folder = kind.make(this, GetDevice());
    if (folder->HasListChildren()) {
      AddChild(std::move(folder));
    } else if (reused) {
      Dispose(std::move(folder));   // the views still show it
    } else {
      Discard(std::move(folder));
    }
  }
  return TRUE;
}

// A kind whose folder filled or emptied since the children were loaded (a paste into
// another node registered pictures or texts, say) makes the list out of date.
BOOL CPOResource::IsStale() {
  if (HasNoChildren()) return FALSE;
  for (const FolderKind& kind : Folders()) {
    CProjectObject* have = FindChildOfType(kind.code);
    bool filled = false;
    if (have) {
      filled = have->HasListChildren() != FALSE;
    } else {
      std::unique_ptr<CProjectObject> probe = kind.make(this, GetDevice());
      filled = probe->HasListChildren() != FALSE;
      Discard(std::move(probe));
    }
    if (filled != (have != nullptr)) return TRUE;
  }
  return FALSE;
}

BOOL CPOResource::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  return CreateGroupingNode<CPOResource>(parent, device);
}
