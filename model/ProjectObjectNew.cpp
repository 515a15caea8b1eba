// "&Neu...": the kind comes from the new-object dialog; where the new object goes
// follows from the two type codes, making missing grouping folders on the way. Also
// the shared handlers of delete, new object and new copy.
#include <vector>

#include "model/ChildLoads.h"
#include "model/NewObjectRequests.h"
#include "model/ObjectSupport.h"
#include "model/ProjectObject.h"
#include "platform/Ui.h"

void CProjectObject::OnNew() {
  DispatchScope scope;
  // A new object is made once, for the first selected object.
  m_multipleSelection = false;

  const TypeCode own = GetTypeCode();
  if (m_name.empty() && own == TypeCode::PrjFolder) {
    // The stand-in folder of an empty selection: a new top-level folder.
    CreateNew(nullptr, nullptr, nullptr);
    return;
  }

  NewObjectRequest request;
  request.object = this;
  if (hv::Ui().Run(request) != IDOK) return;
  const TypeCode kind = request.typeCode;

  std::unique_ptr<CProjectObject> prototype = CreateObjectOfType(kind);
  if (!prototype) {
    // Offered but not made by this version: the user is told, not ignored.
    ShowNotAvailable(kind);
    return;
  }

  const TypeCode kindParent = GetParentTypeCode(kind);
  const TypeCode ownParent = GetParentTypeCode(own);
  if (kind == TypeCode::PrjFolder) {
    prototype->CreateNew(this, m_device, nullptr);
  } else if (kind == TypeCode::Project) {
    prototype->CreateNew(own == TypeCode::PrjFolder ? this : m_parent, m_device, nullptr);
  } else if (IsPasteTarget() && kind == own) {
    prototype->CreateNew(this, m_device, nullptr);
  } else if (kindParent == ownParent) {
    prototype->CreateNew(m_parent, m_device, nullptr);
  } else if (kindParent == own) {
    prototype->CreateNew(this, m_device, nullptr);
  } else {
    const TypeCode inner = kindParent;
    const TypeCode outer = GetParentTypeCode(inner);
    if (outer == own)
      CreateInContainers(*prototype, inner, TypeCode::None);
    else if (GetParentTypeCode(outer) == own)
      CreateInContainers(*prototype, outer, inner);
  }
  Discard(std::move(prototype));
}

void CProjectObject::OnDelete() {
  DispatchScope scope;
  if (!Delete()) return;
  // Delete may have asked questions meanwhile: the parent is looked at afterwards.
  if (CProjectObject* parent = GetParent(); parent && IsValidObject(parent)) parent->RemoveChild(this);
}

void CProjectObject::OnNewObject() {
  DispatchScope scope;
  m_multipleSelection = false;
  CreateNew(m_parent, m_device, nullptr);
}

void CProjectObject::OnNewCopy() {
  DispatchScope scope;
  m_multipleSelection = false;
  CreateNew(m_parent, m_device, this);
}

// Creates the prototype's object inside this object's child of kind `first` and, when
// `second` is given, inside that one's child of kind `second`. Missing containers are
// made first; when anything fails, the containers made here are removed again,
// innermost first.
CProjectObject* CProjectObject::CreateInContainers(CProjectObject& prototype, TypeCode first, TypeCode second) {
  std::vector<ObjectRef> made;
  auto rollback = [&made] {
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
      // Removing the inner one may already have taken the outer one with it.
      CProjectObject* container = it->Get();
      if (container && container->GetParent()) container->GetParent()->RemoveChild(container);
    }
  };

  // Each holder's children are read once in this command, as a view reads what it
  // shows: a container not loaded yet is found, not made twice; the new object joins
  // all of its siblings; and the views take the children as they are for the rest of
  // the command, so a container made here, still empty, is not dropped by a view
  // reading them again when it is announced.
  auto load = [](CProjectObject& holder) {
    if (childloads::Fresh(holder, false)) return true;
    const ObjectRef ref(&holder);
    childloads::Load(holder);
    return ref.IsValid();
  };
  CProjectObject* holder = this;
  for (TypeCode kind : {first, second}) {
    if (kind == TypeCode::None) break;
    if (!load(*holder)) {
      rollback();
      return nullptr;
    }
    CProjectObject* container = holder->FindChildOfType(kind);
    if (!container) {
      std::unique_ptr<CProjectObject> maker = CreateObjectOfType(kind);
      if (!maker) {
        // A container this version cannot make: the user is told, not ignored.
        rollback();
        ShowNotAvailable(prototype.GetTypeCode());
        return nullptr;
      }
      maker->CreateNew(holder, m_device, nullptr);
      Discard(std::move(maker));
      container = holder->FindChildOfType(kind);
      if (!container) {
        rollback();
        return nullptr;
      }
      made.emplace_back(container);
    }
    holder = container;
  }
  if (!load(*holder)) {
    rollback();
    return nullptr;
  }
  if (!prototype.CreateNew(holder, m_device, nullptr)) {
    rollback();
    return nullptr;
  }
  return holder;
}
