#include "model/LiveObjects.h"

#include <unordered_map>
#include <vector>

#include "model/ProjectObject.h"

namespace {

struct Registry {
  ObjectSerial next = 1;
  std::unordered_map<ObjectSerial, CProjectObject*> bySerial;
  std::unordered_map<const CProjectObject*, ObjectSerial> byAddress;
  std::vector<std::unique_ptr<CProjectObject>> pending;
  int depth = 0;
};

// Objects live on the user-interface thread only. Never destroyed, so objects that
// outlive static destruction can still unregister.
Registry& Reg() {
  static Registry* registry = new Registry;
  return *registry;
}

void Drain() {
  Registry& r = Reg();
  // Destructors may remove further objects; they join the same drain.
  ++r.depth;
  while (!r.pending.empty()) {
    std::vector<std::unique_ptr<CProjectObject>> batch;
    batch.swap(r.pending);
    batch.clear();
  }
  --r.depth;
}

}  // namespace

namespace live {

ObjectSerial Register(CProjectObject* object) {
  Registry& r = Reg();
  const ObjectSerial serial = r.next++;
  r.bySerial[serial] = object;
  r.byAddress[object] = serial;
  return serial;
}

void Unregister(const CProjectObject* object) {
  Registry& r = Reg();
  auto it = r.byAddress.find(object);
  if (it == r.byAddress.end()) return;
  r.bySerial.erase(it->second);
  r.byAddress.erase(it);
}

bool IsRegistered(const CProjectObject* object) {
  return object && Reg().byAddress.count(object) != 0;
}

ObjectSerial SerialOf(const CProjectObject* object) {
  auto it = Reg().byAddress.find(object);
  return it == Reg().byAddress.end() ? 0 : it->second;
}

CProjectObject* Find(ObjectSerial serial) {
  auto it = Reg().bySerial.find(serial);
  return it == Reg().bySerial.end() ? nullptr : it->second;
}

void QueueForDeletion(std::unique_ptr<CProjectObject> object) {
  if (!object) return;
  Reg().pending.push_back(std::move(object));
  if (Reg().depth == 0) Drain();
}

std::size_t LiveCount() { return Reg().bySerial.size(); }
std::size_t PendingDeletions() { return Reg().pending.size(); }

}  // namespace live

DispatchScope::DispatchScope() { ++Reg().depth; }

DispatchScope::~DispatchScope() {
  if (--Reg().depth == 0) Drain();
}

bool DispatchScope::IsActive() { return Reg().depth > 0; }

ObjectRef::ObjectRef(const CProjectObject* object) : m_serial(live::SerialOf(object)) {}
